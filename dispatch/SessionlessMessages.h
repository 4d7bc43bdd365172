#pragma once
// The call-signalling and video-push messages the main window sends without a
// session: terminal kill and revive, forced hang-ups and group releases, adding a user
// to a group's PTT call, the withdrawal of a video push, and the answers to requests
// that no session takes (the request's two references exchanged).
#include <cstdint>
#include <string>

#include "dispatch/CallMessages.h"

namespace zox::call {

// Modify request of type 40 (kill) or 41 (revive) for a user's terminal, 36 bytes.
// Empty when the number does not encode.
Bytes BuildTerminalModify(uint32_t ownId, uint32_t type, const std::string &number);
// Release request without a session, 40 bytes: type 42 carries the group id at 36;
// types 8 and 39 (forced hang-up) carry the user's number at 28. Empty when the number
// does not encode.
Bytes BuildSessionlessRelease(uint32_t ownId, uint32_t type, uint32_t groupId, const std::string &number);
// Setup request of type 43 (add a user to the group's PTT call), 216 bytes. Empty when
// a number does not encode.
Bytes BuildAddUserToGroupCall(uint32_t ownId, const std::string &ownNumber, uint32_t groupId,
                              const std::string &number);
// The withdrawal (kind 7) of a video push about a user, 164 bytes. Empty when the
// number does not encode.
Bytes BuildStopVpNotify(uint32_t ownId, uint32_t sourceId, uint32_t destinationId, const std::string &number);

// Answers to a request no session takes: the refusal of a setup request (196 bytes,
// the result given), the release response (24 bytes, result 0, the request's type),
// the video-push notify response and release response (20 bytes, result 0).
Bytes BuildSetupRefusal(uint32_t ownId, const DispatchMessageHeader &request, uint8_t result);
Bytes BuildGenericReleaseResponse(uint32_t ownId, const DispatchMessageHeader &request, uint32_t requestType);
Bytes BuildVpNotifyResponse(uint32_t ownId, const DispatchMessageHeader &request);
Bytes BuildVpReleaseResponse(uint32_t ownId, const DispatchMessageHeader &request);

} // namespace zox::call
