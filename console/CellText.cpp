#include "console/CellText.h"

#include <vector>

namespace zox::skin {
namespace {

// Length in bytes of the well-formed UTF-8 sequence at text[i], or 1 when the byte
// there does not start one.
std::size_t SequenceLength(const std::string &text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b = byte(i);
    std::size_t len;
    unsigned min;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        min = 0x10000;
    } else {
        return 1;
    }
    if (i + len > text.size())
        return 1;
    unsigned cp = b & (0xFF >> (len + 1));
    for (std::size_t k = 1; k < len; ++k) {
        const unsigned char c = byte(i + k);
        if ((c & 0xC0) != 0x80)
            return 1;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 1;
    return len;
}

} // namespace

std::size_t Utf8CharCount(const std::string &text)
{
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); i += SequenceLength(text, i))
        ++n;
    return n;
}

std::string EllipsizeChars(const std::string &text, int maxChars)
{
    if (maxChars < 0)
        maxChars = 0;
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += SequenceLength(text, i))
        starts.push_back(i);
    if (starts.size() <= static_cast<std::size_t>(maxChars))
        return text;
    const std::size_t keep = maxChars > 2 ? static_cast<std::size_t>(maxChars - 2) : 0;
    return text.substr(0, starts[keep]) + "...";
}

} // namespace zox::skin
