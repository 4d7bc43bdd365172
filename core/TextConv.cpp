#include "core/TextConv.h"

#include <QString>

#include <cstring>
#include <new>

char *WideToAnsiDup(const char16_t *wide)
{
    if (!wide)
        return nullptr;
    const QByteArray bytes = QString::fromUtf16(wide).toUtf8();
    // The size with the terminating zero; 0 would be a failed measure.
    const std::size_t size = std::size_t(bytes.size()) + 1;
    char *out = new (std::nothrow) char[size + 1]();
    if (!out)
        return nullptr;
    std::memcpy(out, bytes.constData(), std::size_t(bytes.size()));
    return out;
}

char16_t *Utf8ToWideDup(const char *utf8)
{
    if (!utf8)
        return nullptr;
    const QString text = QString::fromUtf8(utf8);
    // Units with the terminating zero, plus one more zero unit.
    const std::size_t units = std::size_t(text.size()) + 1;
    char16_t *out = new (std::nothrow) char16_t[units + 1]();
    if (!out)
        return nullptr;
    std::memcpy(out, text.utf16(), std::size_t(text.size()) * sizeof(char16_t));
    return out;
}

std::string Utf8ToAnsiString(const char *utf8)
{
    char16_t *wide = Utf8ToWideDup(utf8);
    if (!wide)
        return std::string();
    char *ansi = WideToAnsiDup(wide);
    delete[] wide;
    if (!ansi)
        return std::string();
    std::string out(ansi);
    delete[] ansi;
    return out;
}

std::string Utf8ToAnsiString(const std::string &utf8)
{
    return Utf8ToAnsiString(utf8.c_str());
}

std::string ToValidUtf8(std::string_view text)
{
    static constexpr char kReplacement[] = "\xEF\xBF\xBD";
    const auto *p = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t n = text.size();
    std::string out;
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out.push_back(char(lead));
            ++i;
            continue;
        }
        // Bytes after the lead, and the range of the first of them (no overlong forms,
        // no surrogates, nothing above U+10FFFF).
        std::size_t trail = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            if (lead == 0xE0)
                lo = 0xA0;
            else if (lead == 0xED)
                hi = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            if (lead == 0xF0)
                lo = 0x90;
            else if (lead == 0xF4)
                hi = 0x8F;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        std::size_t good = 1; // bytes of the sequence that fit so far, the lead included
        while (good <= trail && i + good < n) {
            const unsigned char b = p[i + good];
            if (b < (good == 1 ? lo : 0x80) || b > (good == 1 ? hi : 0xBF))
                break;
            ++good;
        }
        if (good == trail + 1) {
            out.append(text.data() + i, good);
        } else if (i + good == n) {
            break; // the text ends inside the character: it was cut, drop it
        } else {
            out += kReplacement;
        }
        i += good;
    }
    return out;
}
