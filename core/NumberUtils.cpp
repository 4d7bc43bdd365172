#include "core/NumberUtils.h"

int DecodeBcdDigits(const uint8_t *field, std::size_t length, std::string &out)
{
    out.clear();
    bool allZero = true;
    for (std::size_t i = 0; i < length; ++i)
        if (field[i] != 0)
            allZero = false;
    if (length == 0 || allZero)
        return -1;
    for (std::size_t i = 0; i < length; ++i) {
        for (int half = 0; half < 2; ++half) {
            const uint8_t nibble = half == 0 ? (field[i] & 0x0F) : (field[i] >> 4);
            if (nibble == 0xF)
                return 0;
            if (nibble > 9)
                return -1;
            out.push_back(char('0' + nibble));
        }
    }
    return 0;
}

int EncodeBcdDigits(const std::string &number, uint8_t *field, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        field[i] = 0xFF;
    const std::size_t n = number.size() < 2 * length ? number.size() : 2 * length;
    for (std::size_t i = 0; i < n; ++i) {
        const char c = number[i];
        if (c < '0' || c > '9')
            return -1;
        const uint8_t d = uint8_t(c - '0');
        uint8_t &b = field[i / 2];
        b = (i % 2 == 0) ? uint8_t((b & 0xF0) | d) : uint8_t((b & 0x0F) | (d << 4));
    }
    return 0;
}

std::string BytesToHex(const uint8_t *bytes, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string s;
    s.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        s.push_back(digits[bytes[i] >> 4]);
        s.push_back(digits[bytes[i] & 0x0F]);
    }
    return s;
}
