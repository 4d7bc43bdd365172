#include "core/NumberUtils.h"

#include <cstring>

int DecodeBcdDigits(const uint8_t *field, std::size_t length, std::string &out)
{
    out.clear();
    if (!field || length == 0)
        return -1;
    bool allZero = true;
    for (std::size_t i = 0; i < length; ++i) {
        if (field[i] != 0x00) {
            allZero = false;
            break;
        }
    }
    if (allZero)
        return -1;
    for (std::size_t i = 0; i < length; ++i) {
        const uint8_t nibbles[2] = {uint8_t(field[i] & 0x0F), uint8_t(field[i] >> 4)};
        for (uint8_t n : nibbles) {
            if (n == 0x0F)
                return 0;
            if (n > 9)
                return -1;
            out.push_back(char('0' + n));
        }
    }
    return 0;
}

int EncodeBcdDigits(const std::string &number, uint8_t *field, std::size_t length)
{
    if (!field)
        return -1;
    std::memset(field, 0xFF, length);
    const std::size_t count = number.size() < 2 * length ? number.size() : 2 * length;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = number[i];
        if (c < '0' || c > '9')
            return -1;
        const uint8_t d = uint8_t(c - '0');
        uint8_t &b = field[i / 2];
        if (i % 2 == 0)
            b = uint8_t((b & 0xF0) | d);
        else
            b = uint8_t((b & 0x0F) | (d << 4));
    }
    return 0;
}

std::string BytesToHex(const uint8_t *bytes, std::size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    if (!bytes)
        return out;
    out.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0x0F]);
    }
    return out;
}

int MakeAddressRecord(const in_addr &address, MediaAddressRecord &record)
{
    std::memset(record.bytes, 0, sizeof record.bytes);
    record.bytes[0] = 0x00;
    record.bytes[1] = 0x01;
    record.bytes[2] = 0x18;
    record.bytes[3] = 0x00;
    std::memcpy(record.bytes + 4, &address.s_addr, 4);
    return 0;
}

int ParseAddressRecord(const MediaAddressRecord &record, in_addr &address)
{
    if (record.bytes[0] != 0x00 || record.bytes[1] == 0x00)
        return -1;
    std::memcpy(&address.s_addr, record.bytes + 4, 4);
    return 0;
}

std::string MakeDisplayName(const std::string &number, const std::string &name)
{
    if (!name.empty() && name != number)
        return name + " (" + number + ")";
    return number;
}

int SplitDisplayName(const std::string &text, std::string &number, std::string &name)
{
    number.clear();
    name.clear();
    const std::size_t len = text.size();
    if (len > 0 && text[len - 1] == ')') {
        // Right-most " (" whose blank lies at 1-based p, from len - 3 down to 1.
        for (std::size_t p = len >= 3 ? len - 3 : 0; p >= 1; --p) {
            if (text[p - 1] == ' ' && text[p] == '(') {
                number = text.substr(p + 1, len - 1 - (p + 1));
                name = text.substr(0, p - 1);
                break;
            }
        }
    } else {
        number = text;
    }
    return 0;
}

bool GetTalkBurstTakenName(const uint8_t *body, std::size_t length, std::string &out)
{
    if (!body || length < 6)
        return false;
    const std::size_t l1 = body[5];
    if (length < l1 + 8)
        return false;
    const std::size_t l2 = body[l1 + 7];
    if (length < l1 + 8 + l2)
        return false;
    for (std::size_t i = 0; i < l2; ++i)
        out.push_back(char(body[l1 + 8 + i]));
    return true;
}

std::string UserIdToHexKey(int32_t id)
{
    const std::string dec = std::to_string(id);
    std::string key = BytesToHex(reinterpret_cast<const uint8_t *>(dec.data()), dec.size());
    while (key.size() < 8)
        key.push_back('0');
    return key;
}

namespace {

// Length of the UTF-8 sequence that begins with this byte; a stray continuation
// or invalid lead byte counts as one character of one byte.
std::size_t utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Byte offsets of each character start, up to `limit` characters; returns the
// number of characters found (stops counting past limit + 1).
std::size_t byteOffsetOfChar(const std::string &text, std::size_t charIndex, std::size_t &charsSeen)
{
    std::size_t pos = 0;
    charsSeen = 0;
    while (pos < text.size() && charsSeen < charIndex) {
        std::size_t n = utf8SequenceLength(static_cast<unsigned char>(text[pos]));
        // A sequence cut short by the end of the text or by a non-continuation byte
        // is taken one byte at a time.
        for (std::size_t k = 1; k < n; ++k) {
            if (pos + k >= text.size() || (static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80) {
                n = 1;
                break;
            }
        }
        pos += n;
        ++charsSeen;
    }
    return pos;
}

} // namespace

std::string EllipsizeText(const std::string &text, int maxChars)
{
    if (maxChars < 0)
        maxChars = 0;
    std::size_t seen = 0;
    // Longer than maxChars characters: is there a character behind the first maxChars?
    const std::size_t endOfMax = byteOffsetOfChar(text, std::size_t(maxChars), seen);
    if (endOfMax >= text.size())
        return text;
    const std::size_t keep = maxChars >= 2 ? std::size_t(maxChars - 2) : 0;
    const std::size_t cut = byteOffsetOfChar(text, keep, seen);
    return text.substr(0, cut) + "...";
}

std::string ReplaceAll(const std::string &text, const std::string &pattern, const std::string &replacement)
{
    if (pattern.empty())
        return text;
    // A replacement holding the pattern would restart forever; search behind it then.
    const bool selfContaining = replacement.find(pattern) != std::string::npos;
    std::string out = text;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = out.find(pattern, selfContaining ? from : 0);
        if (at == std::string::npos)
            break;
        out.replace(at, pattern.size(), replacement);
        from = at + replacement.size();
    }
    return out;
}

time_t GetTimeNow() { return time(nullptr); }

double SecondsSince(time_t then) { return difftime(time(nullptr), then); }
