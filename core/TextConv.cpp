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
