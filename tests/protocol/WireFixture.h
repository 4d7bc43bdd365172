#pragma once
// Byte fixtures written as hexadecimal text ("50 01 00 01"; blanks ignored).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace zoxtest {

inline std::vector<uint8_t> Hex(const std::string &text)
{
    std::vector<uint8_t> out;
    int high = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c == ' ' || c == '\n')
            continue;
        else
            throw std::invalid_argument("bad hex fixture");
        if (high < 0) {
            high = v;
        } else {
            out.push_back(uint8_t(high << 4 | v));
            high = -1;
        }
    }
    if (high >= 0)
        throw std::invalid_argument("odd hex fixture");
    return out;
}

inline std::vector<uint8_t> Fill(std::size_t n, uint8_t value = 0) { return std::vector<uint8_t>(n, value); }

inline std::vector<uint8_t> Text(const std::string &s, std::size_t field)
{
    std::vector<uint8_t> out(s.begin(), s.end());
    out.resize(field, 0);
    return out;
}

inline std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace zoxtest
