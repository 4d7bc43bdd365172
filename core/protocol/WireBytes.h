#pragma once
// Big-endian (network order) integers in datagram bytes. The callers check lengths first.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zox::wire {

inline uint32_t GetU32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline uint16_t GetU16(const uint8_t *p) { return uint16_t((uint16_t(p[0]) << 8) | p[1]); }

inline void PutU32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

inline void PutU16(uint8_t *p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

// A fixed text field: the bytes up to the first zero, or the whole field.
inline std::string GetText(const uint8_t *p, std::size_t fieldSize)
{
    std::size_t n = 0;
    while (n < fieldSize && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char *>(p), n);
}

} // namespace zox::wire
