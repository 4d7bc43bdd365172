// Settings files: the first two lines of the input name a section and a key, the rest
// is the file's content. A lookup and a rewrite of any content must terminate, and a
// rewritten key must read back as written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/IniFile.h"

using zox::host::IniFile;

namespace {
std::string TakeLine(std::string &rest)
{
    size_t nl = rest.find('\n');
    std::string line = rest.substr(0, nl);
    rest.erase(0, nl == std::string::npos ? rest.size() : nl + 1);
    return line;
}

bool Plain(const std::string &s)
{
    // Blanks around a name are not part of it (the reader trims them).
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    if (s.empty() || blank(s.front()) || blank(s.back()))
        return false;
    for (char c : s)
        if (c == '\r' || c == '\n' || c == '[' || c == ']' || c == '=' || c == ';' || c == '\0' || c == '#')
            return false;
    return true;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string rest(reinterpret_cast<const char *>(data), size);
    std::string section = TakeLine(rest);
    std::string key = TakeLine(rest);
    std::string value;
    IniFile::Lookup(rest, section, key, &value);
    std::string rewritten = IniFile::Rewrite(rest, section, key, "v1");
    if (Plain(section) && Plain(key)) {
        std::string back;
        if (!IniFile::Lookup(rewritten, section, key, &back) || back != "v1")
            __builtin_trap();
    }
    return 0;
}
