#pragma once
// Message codes of the registration (0x5001) and notice (0x5003) families.
#include <cstddef>
#include <cstdint>

namespace zox::proto {

inline constexpr uint32_t kRegisterRequest = 0x50010001;
inline constexpr uint32_t kRegisterResponse = 0x50010002;
inline constexpr uint32_t kAuthRequest = 0x50010003;
inline constexpr uint32_t kAuthResponse = 0x50010004;
inline constexpr uint32_t kHeartbeatRequest = 0x50010005;
inline constexpr uint32_t kHeartbeatResponse = 0x50010006;
inline constexpr uint32_t kLineConfigRequest = 0x50010007;
inline constexpr uint32_t kLineConfigResponse = 0x50010008;
inline constexpr uint32_t kGetUserListRequest = 0x5001000B;
inline constexpr uint32_t kUserListResponse = 0x5001000C;
inline constexpr uint32_t kGetGroupListRequest = 0x5001000F;
inline constexpr uint32_t kGroupListResponse = 0x50010010;
inline constexpr uint32_t kResetIndicator = 0x50010011;
inline constexpr uint32_t kOperationNotice = 0x50010012;

inline constexpr uint32_t kUserStateNotice = 0x50030001;
inline constexpr uint32_t kUserStateNoticeReply = 0x50030002;
inline constexpr uint32_t kLineServiceNotice = 0x50030005;
inline constexpr uint32_t kLineServiceNoticeReply = 0x50030006;

// Lengths: exact for what the console sends, minimum for what it receives.
inline constexpr std::size_t kRegisterRequestLength = 36;
inline constexpr std::size_t kRegisterResponseMinLength = 48;
inline constexpr std::size_t kAuthRequestMinLength = 96;
inline constexpr std::size_t kAuthResponseLength = 100;
inline constexpr std::size_t kHeartbeatRequestLength = 16;
inline constexpr std::size_t kHeartbeatResponseMinLength = 20;
inline constexpr std::size_t kLineConfigRequestLength = 324;
inline constexpr std::size_t kLineConfigResponseMinLength = 328;
inline constexpr std::size_t kGetListRequestLength = 20;
inline constexpr std::size_t kUserListResponseMinLength = 32;
inline constexpr std::size_t kGroupListResponseMinLength = 736;
inline constexpr std::size_t kResetIndicatorMinLength = 16;
inline constexpr std::size_t kOperationNoticeMinLength = 48;
inline constexpr std::size_t kUserStateNoticeMinLength = 52;
inline constexpr std::size_t kLineServiceNoticeMinLength = 36;
inline constexpr std::size_t kNoticeReplyLength = 20;

} // namespace zox::proto
