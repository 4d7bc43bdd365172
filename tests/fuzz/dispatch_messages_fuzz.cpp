// Dispatch datagrams: every reader of the registration, list, notice and call messages
// is given the same bytes. A reader that says OK must have taken only bytes the
// datagram holds; the per-entry texts must come out as valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include <QUtf8StringView>

#include "core/protocol/NoticeMessages.h"
#include "core/protocol/RegistrationMessages.h"
#include "dispatch/CallMessages.h"

using namespace zox::proto;

namespace {
// A text field of `max` bytes gives at most `max` characters (a byte that starts no
// character becomes U+FFFD), in valid UTF-8.
void CheckText(const std::string &s, std::size_t max)
{
    std::size_t characters = 0;
    for (unsigned char c : s)
        characters += (c & 0xC0) != 0x80;
    if (characters > max || !QUtf8StringView(s).isValidUtf8())
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    size_t seen = 0;
    DispatchMessageHeader header;
    DispatchMessageHeader::Read(data, size, header);
    { RegisterRequest m; ParseRegisterRequest(data, size, m); }
    { RegisterResponse m; ParseRegisterResponse(data, size, m); }
    { AuthRequest m; if (ParseAuthRequest(data, size, m) == kParseOk) seen += m.challenge1.size() + m.challenge2.size(); }
    { AuthResponse m; ParseAuthResponse(data, size, m); }
    { ResultResponse m; ParseResultResponse(data, size, m); }
    { LineConfigRequest m; ParseLineConfigRequest(data, size, m); }
    {
        LineConfigResponse m;
        if (ParseLineConfigResponse(data, size, m) == kParseOk && m.entries.size() * 16 > size)
            __builtin_trap();
    }
    { GetListRequest m; ParseGetListRequest(data, size, m); }
    {
        GroupListResponse m;
        if (ParseGroupListResponse(data, size, m) == kParseOk) {
            if (m.entries.size() > kMaxGroupEntries)
                __builtin_trap();
            for (const auto &e : m.entries)
                CheckText(e.groupName, 32);
        }
    }
    {
        UserListResponse m;
        if (ParseUserListResponse(data, size, m) == kParseOk) {
            if (m.entries.size() * kUserEntrySize > size)
                __builtin_trap();
            for (const auto &e : m.entries) {
                CheckText(e.displayName, 32);
                seen += e.GroupIds().size() + e.CallRefText().size() + e.IsMobile();
            }
        }
    }
    { DispatchMessageHeader m; ParseResetIndicator(data, size, m); }
    { OperationNotice m; ParseOperationNotice(data, size, m); }
    {
        UserStateNotice m;
        if (ParseUserStateNotice(data, size, m) == kParseOk)
            seen += m.CallRefText().size();
    }
    { LineServiceNotice m; ParseLineServiceNotice(data, size, m); }
    { DispatchMessageHeader m; ParseNoticeReply(data, size, m); }

    using namespace zox::call;
    for (const MessageLayout *layout :
         {&kSetupRequestLayout, &kSetupResponseLayout, &kModifyRequestLayout, &kModifyResponseLayout,
          &kReleaseRequestLayout, &kReleaseResponseLayout, &kJoinRequestLayout, &kJoinResponseLayout,
          &kVpNotifyLayout, &kVpNotifyInLayout, &kVpNotifyResponseLayout, &kVpSetupRequestLayout,
          &kVpSetupResponseLayout, &kVpReleaseRequestLayout, &kVpReleaseResponseLayout}) {
        CallMessage m;
        if (ReadMessage(*layout, data, size, m) == kParseOk) {
            if (m.members.size() != m.memberCount)
                __builtin_trap();
            // What was read can be written back (answers copy the request's fields).
            seen += WriteMessage(*layout, m).size();
        }
    }
    return seen == size_t(-1);
}
