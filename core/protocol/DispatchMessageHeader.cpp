#include "core/protocol/DispatchMessageHeader.h"

#include "core/protocol/WireBytes.h"

void DispatchMessageHeader::Write(uint8_t *out) const
{
    zox::wire::PutU32(out, senderId);
    zox::wire::PutU32(out + 4, messageCode);
    zox::wire::PutU32(out + 8, senderRef);
    zox::wire::PutU32(out + 12, receiverRef);
}

bool DispatchMessageHeader::Read(const uint8_t *data, std::size_t length, DispatchMessageHeader &out)
{
    if (!data || length < kDispatchHeaderSize)
        return false;
    out.senderId = zox::wire::GetU32(data);
    out.messageCode = zox::wire::GetU32(data + 4);
    out.senderRef = zox::wire::GetU32(data + 8);
    out.receiverRef = zox::wire::GetU32(data + 12);
    return true;
}
