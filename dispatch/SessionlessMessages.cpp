#include "dispatch/SessionlessMessages.h"

namespace zox::call {

namespace {

bool Encode(const std::string &number, TbcdNumber &out)
{
    out.fill(0);
    return !number.empty() && EncodeBcdDigits(number, out.data(), out.size()) == 0;
}

CallMessage Unanswering(uint32_t ownId, uint32_t senderRef)
{
    CallMessage m;
    m.header = {ownId, 0, senderRef, kNoReference};
    return m;
}

CallMessage Answer(uint32_t ownId, const MessageLayout &layout, const DispatchMessageHeader &request)
{
    CallMessage m;
    m.header = SwappedAnswerHeader(ownId, layout.code, request);
    return m;
}

} // namespace

Bytes BuildTerminalModify(uint32_t ownId, uint32_t type, const std::string &number)
{
    CallMessage m = Unanswering(ownId, SessionSenderRef(type, 0xFFFF));
    if (!Encode(number, m.target))
        return {};
    m.serviceType = type;
    return WriteMessage(kModifyRequestLayout, m);
}

Bytes BuildSessionlessRelease(uint32_t ownId, uint32_t type, uint32_t groupId, const std::string &number)
{
    CallMessage m = Unanswering(ownId, kNoReference);
    m.serviceType = type;
    if (type == 42)
        m.groupId = groupId;
    else if (!Encode(number, m.target))
        return {};
    return WriteMessage(kReleaseRequestLayout, m);
}

Bytes BuildAddUserToGroupCall(uint32_t ownId, const std::string &ownNumber, uint32_t groupId,
                              const std::string &number)
{
    CallMessage m = Unanswering(ownId, kNoReference);
    TbcdNumber user;
    if (!Encode(ownNumber, m.lineNumber) || !Encode(number, user))
        return {};
    m.serviceType = 43;
    m.groupFlag = 1;
    m.memberCount = 1;
    m.groupId = groupId;
    m.members.push_back(user);
    return WriteMessage(kSetupRequestLayout, m);
}

Bytes BuildStopVpNotify(uint32_t ownId, uint32_t sourceId, uint32_t destinationId, const std::string &number)
{
    CallMessage m;
    m.header = {ownId, 0, sourceId, destinationId};
    if (!Encode(number, m.target))
        return {};
    m.serviceType = 7;
    m.memberCount = 1;
    m.members.push_back(m.target);
    return WriteMessage(kVpNotifyLayout, m);
}

Bytes BuildSetupRefusal(uint32_t ownId, const DispatchMessageHeader &request, uint8_t result)
{
    CallMessage m = Answer(ownId, kSetupResponseLayout, request);
    m.result = result;
    return WriteMessage(kSetupResponseLayout, m);
}

Bytes BuildGenericReleaseResponse(uint32_t ownId, const DispatchMessageHeader &request, uint32_t requestType)
{
    CallMessage m = Answer(ownId, kReleaseResponseLayout, request);
    m.serviceType = requestType;
    return WriteMessage(kReleaseResponseLayout, m);
}

Bytes BuildVpNotifyResponse(uint32_t ownId, const DispatchMessageHeader &request)
{
    return WriteMessage(kVpNotifyResponseLayout, Answer(ownId, kVpNotifyResponseLayout, request));
}

Bytes BuildVpReleaseResponse(uint32_t ownId, const DispatchMessageHeader &request)
{
    return WriteMessage(kVpReleaseResponseLayout, Answer(ownId, kVpReleaseResponseLayout, request));
}

} // namespace zox::call
