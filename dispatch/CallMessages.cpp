#include "dispatch/CallMessages.h"

#include <algorithm>
#include <cstring>

#include "core/protocol/WireBytes.h"

namespace zox::call {

namespace {

using K = FieldKind;
using M = CallMessage;

constexpr FieldDef Word(uint16_t offset, K kind, uint32_t M::*member) { return {offset, kind, member, nullptr, nullptr}; }
constexpr FieldDef Num(uint16_t offset, TbcdNumber M::*member) { return {offset, K::Number, nullptr, member, nullptr}; }
constexpr FieldDef Blk(uint16_t offset, MediaBlock M::*member) { return {offset, K::Block, nullptr, nullptr, member}; }
constexpr FieldDef Members(uint16_t offset) { return {offset, K::Members, nullptr, nullptr, nullptr}; }

constexpr FieldDef kSetupRequestFields[] = {
    Word(16, K::U32, &M::serviceType),  Num(24, &M::lineNumber),          Blk(32, &M::audio),
    Blk(56, &M::audioCopy),             Word(80, K::U32, &M::mediaCode),  Blk(84, &M::video),
    Word(132, K::U32, &M::groupFlag),   Word(136, K::U32, &M::memberCount), Word(140, K::U32, &M::groupFlag),
    Word(144, K::U32Little, &M::groupId), Members(208),
};
constexpr FieldDef kSetupResponseFields[] = {
    Word(16, K::U8, &M::result),       Blk(20, &M::audio),  Blk(44, &M::audioCopy),
    Word(68, K::U32, &M::mediaCode),   Blk(72, &M::video),  Blk(96, &M::videoCopy),
    Word(124, K::U32, &M::memberCount), Members(196),
};
constexpr FieldDef kModifyRequestFields[] = {
    Word(16, K::U32, &M::serviceType), Num(20, &M::lineNumber), Num(28, &M::target),
};
constexpr FieldDef kResultOnlyFields[] = {
    Word(16, K::U8, &M::result),
};
constexpr FieldDef kReleaseRequestFields[] = {
    Word(16, K::U32, &M::serviceType), Num(20, &M::lineNumber), Num(28, &M::target), Word(36, K::U32, &M::groupId),
};
constexpr FieldDef kReleaseResponseFields[] = {
    Word(16, K::U8, &M::result), Word(20, K::U32, &M::serviceType),
};
constexpr FieldDef kJoinRequestFields[] = {
    Word(16, K::U32, &M::serviceType), Num(20, &M::lineNumber), Num(28, &M::target),
    Blk(36, &M::audio),                Blk(60, &M::audioCopy),  Word(84, K::U32, &M::groupId),
};
constexpr FieldDef kJoinResponseFields[] = {
    Word(16, K::U8, &M::result), Word(20, K::U32, &M::serviceType), Blk(24, &M::audio),
    Word(72, K::U32, &M::memberCount), Members(76),
};
constexpr FieldDef kVpNotifyFields[] = {
    Word(16, K::U32, &M::serviceType), Num(20, &M::target), Word(28, K::U32, &M::memberCount), Members(32),
};
constexpr FieldDef kVpNotifyInFields[] = {
    Word(16, K::U32, &M::serviceType), Word(20, K::U32, &M::pushInstance), Num(32, &M::target),
};
constexpr FieldDef kVpSetupRequestFields[] = {
    Num(16, &M::target), Blk(24, &M::video), Word(72, K::U32, &M::serviceType),
};
constexpr FieldDef kVpSetupResponseFields[] = {
    Word(16, K::U8, &M::result), Blk(28, &M::video),
};

void writeBlock(uint8_t *p, const MediaBlock &b)
{
    std::memcpy(p, b.record.bytes, kMediaAddressRecordSize);
    wire::PutU16(p + kMediaAddressRecordSize, b.port);
}

MediaBlock readBlock(const uint8_t *p)
{
    MediaBlock b;
    std::memcpy(b.record.bytes, p, kMediaAddressRecordSize);
    b.port = wire::GetU16(p + kMediaAddressRecordSize);
    b.present = true;
    return b;
}

} // namespace

const MessageLayout kSetupRequestLayout {"setup request", kSetupRequest, 208, true, 30, kSetupRequestFields};
const MessageLayout kSetupResponseLayout {"setup response", kSetupResponse, 196, true, 0, kSetupResponseFields};
const MessageLayout kModifyRequestLayout {"modify request", kModifyRequest, 36, false, 0, kModifyRequestFields};
const MessageLayout kModifyResponseLayout {"modify response", kModifyResponse, 20, false, 0, kResultOnlyFields};
const MessageLayout kReleaseRequestLayout {"release request", kReleaseRequest, 40, false, 0, kReleaseRequestFields};
const MessageLayout kReleaseResponseLayout {"release response", kReleaseResponse, 24, false, 0,
                                            kReleaseResponseFields};
const MessageLayout kJoinRequestLayout {"join request", kJoinRequest, 88, false, 0, kJoinRequestFields};
const MessageLayout kJoinResponseLayout {"join response", kJoinResponse, 332, false, 0, kJoinResponseFields};
const MessageLayout kVpNotifyLayout {"vp notify", kVpNotify, 164, false, 16, kVpNotifyFields};
const MessageLayout kVpNotifyInLayout {"vp notify", kVpNotify, 164, false, 0, kVpNotifyInFields};
const MessageLayout kVpNotifyResponseLayout {"vp notify response", kVpNotifyResponse, 20, false, 0, kResultOnlyFields};
const MessageLayout kVpSetupRequestLayout {"vp setup request", kVpSetupRequest, 76, false, 0, kVpSetupRequestFields};
const MessageLayout kVpSetupResponseLayout {"vp setup response", kVpSetupResponse, 76, false, 0,
                                            kVpSetupResponseFields};
const MessageLayout kVpReleaseRequestLayout {"vp release request", kVpReleaseRequest, 16, false, 0, {}};
const MessageLayout kVpReleaseResponseLayout {"vp release response", kVpReleaseResponse, 20, false, 0,
                                              kResultOnlyFields};

const MessageLayout *InboundLayout(uint32_t code)
{
    static const MessageLayout *const inbound[] = {
        &kSetupRequestLayout,    &kSetupResponseLayout,   &kModifyResponseLayout, &kReleaseRequestLayout,
        &kReleaseResponseLayout, &kJoinResponseLayout,    &kVpNotifyInLayout,     &kVpNotifyResponseLayout,
        &kVpSetupResponseLayout, &kVpReleaseRequestLayout, &kVpReleaseResponseLayout,
    };
    for (const MessageLayout *l : inbound)
        if (l->code == code)
            return l;
    return nullptr;
}

Bytes WriteMessage(const MessageLayout &layout, const CallMessage &msg)
{
    std::size_t written = 0;
    for (const FieldDef &f : layout.fields)
        if (f.kind == K::Members)
            written = std::min(msg.members.size(), layout.maxMembers);
    Bytes out(layout.length + (layout.growsWithMembers ? written * kNumberSize : 0), 0);
    DispatchMessageHeader h = msg.header;
    h.messageCode = layout.code;
    h.Write(out.data());
    for (const FieldDef &f : layout.fields) {
        uint8_t *p = out.data() + f.offset;
        switch (f.kind) {
        case K::U8:
            p[0] = uint8_t(msg.*f.word);
            break;
        case K::U32:
            wire::PutU32(p, msg.*f.word);
            break;
        case K::U32Little: {
            const uint32_t v = msg.*f.word;
            p[0] = uint8_t(v);
            p[1] = uint8_t(v >> 8);
            p[2] = uint8_t(v >> 16);
            p[3] = uint8_t(v >> 24);
            break;
        }
        case K::Number:
            std::memcpy(p, (msg.*f.number).data(), kNumberSize);
            break;
        case K::Block:
            if ((msg.*f.block).present)
                writeBlock(p, msg.*f.block);
            break;
        case K::Members:
            for (std::size_t i = 0; i < written; ++i)
                std::memcpy(p + i * kNumberSize, msg.members[i].data(), kNumberSize);
            break;
        }
    }
    return out;
}

int ReadMessage(const MessageLayout &layout, const uint8_t *data, std::size_t length, CallMessage &out)
{
    CallMessage m;
    if (!data || length < layout.length || !DispatchMessageHeader::Read(data, length, m.header))
        return kParseTooShort;
    const FieldDef *members = nullptr;
    for (const FieldDef &f : layout.fields) {
        const uint8_t *p = data + f.offset;
        switch (f.kind) {
        case K::U8:
            m.*f.word = p[0];
            break;
        case K::U32:
            m.*f.word = wire::GetU32(p);
            break;
        case K::U32Little:
            m.*f.word = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
            break;
        case K::Number:
            std::memcpy((m.*f.number).data(), p, kNumberSize);
            break;
        case K::Block:
            m.*f.block = readBlock(p);
            break;
        case K::Members:
            members = &f; // read once every count is known
            break;
        }
    }
    int rc = kParseOk;
    if (members) {
        // In 64 bits: no count can wrap the test.
        const uint64_t end = uint64_t(members->offset) + uint64_t(m.memberCount) * kNumberSize;
        if (end > length) {
            rc = kParseMalformed;
        } else {
            m.members.resize(m.memberCount);
            for (uint32_t i = 0; i < m.memberCount; ++i)
                std::memcpy(m.members[i].data(), data + members->offset + i * kNumberSize, kNumberSize);
        }
    }
    out = std::move(m);
    return rc;
}

DispatchMessageHeader SwappedAnswerHeader(uint32_t ownId, uint32_t code, const DispatchMessageHeader &request)
{
    return DispatchMessageHeader {ownId, code, request.receiverRef, request.senderRef};
}

} // namespace zox::call
