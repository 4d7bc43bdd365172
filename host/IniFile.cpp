#include "host/IniFile.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zox::host {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string trim(const std::string &s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool equalNoCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// One line of the file, split without copying the text away from its position.
struct Line {
    std::size_t begin = 0; // offset of the first byte of the line
    std::size_t end = 0;   // offset just past the line's text (before its line end)
    std::size_t next = 0;  // offset of the next line
};

std::vector<Line> splitLines(const std::string &c)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < c.size()) {
        std::size_t nl = c.find('\n', pos);
        Line l;
        l.begin = pos;
        if (nl == std::string::npos) {
            l.end = c.size();
            l.next = c.size();
        } else {
            l.end = nl;
            l.next = nl + 1;
        }
        if (l.end > l.begin && c[l.end - 1] == '\r')
            --l.end;
        lines.push_back(l);
        pos = l.next;
    }
    return lines;
}

// Section header: "[name]" after trimming. Returns false for other lines.
bool sectionName(const std::string &text, std::string *name)
{
    std::string t = trim(text);
    if (t.size() < 2 || t.front() != '[')
        return false;
    std::size_t close = t.find(']');
    if (close == std::string::npos)
        return false;
    *name = trim(t.substr(1, close - 1));
    return true;
}

// Key line: "key=value"; comment lines start with ';'.
bool keyValue(const std::string &text, std::string *key, std::string *value)
{
    std::string t = trim(text);
    if (t.empty() || t[0] == ';')
        return false;
    std::size_t eq = t.find('=');
    if (eq == std::string::npos)
        return false;
    *key = trim(t.substr(0, eq));
    *value = trim(t.substr(eq + 1));
    // The profile functions drop one pair of quotes around a value.
    if (value->size() >= 2 &&
        ((value->front() == '"' && value->back() == '"') || (value->front() == '\'' && value->back() == '\'')))
        *value = value->substr(1, value->size() - 2);
    return true;
}

bool readFile(const std::string &path, std::string *out)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (static_cast<std::size_t>(st.st_size) > IniFile::kMaxFileSize)
        return false;
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    std::ostringstream s;
    s << f.rdbuf();
    *out = s.str();
    if (out->size() > IniFile::kMaxFileSize)
        return false;
    return true;
}

} // namespace

IniFile::IniFile(std::string path) : m_path(std::move(path)) {}

bool IniFile::Lookup(const std::string &content, const std::string &section, const std::string &key,
                     std::string *value)
{
    bool inSection = false;
    for (const Line &l : splitLines(content)) {
        std::string text = content.substr(l.begin, l.end - l.begin);
        std::string name;
        if (sectionName(text, &name)) {
            inSection = equalNoCase(name, section);
            continue;
        }
        if (!inSection)
            continue;
        std::string k, v;
        if (keyValue(text, &k, &v) && equalNoCase(k, key)) {
            *value = v;
            return true;
        }
    }
    return false;
}

std::string IniFile::ReadString(const std::string &section, const std::string &key,
                                const std::string &defaultValue) const
{
    std::string content;
    if (!readFile(m_path, &content))
        return defaultValue;
    std::string value;
    if (!Lookup(content, section, key, &value))
        return defaultValue;
    return value;
}

std::string IniFile::Rewrite(const std::string &content, const std::string &section, const std::string &key,
                             const std::string &value)
{
    const std::string eol = content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    const std::string entry = key + "=" + value;
    std::vector<Line> lines = splitLines(content);

    bool inSection = false;
    bool sectionFound = false;
    std::size_t insertAt = std::string::npos; // just past the last non-blank line of the section
    for (const Line &l : lines) {
        std::string text = content.substr(l.begin, l.end - l.begin);
        std::string name;
        if (sectionName(text, &name)) {
            if (inSection)
                break; // the section ended without the key
            inSection = equalNoCase(name, section);
            if (inSection) {
                sectionFound = true;
                insertAt = l.next;
            }
            continue;
        }
        if (!inSection)
            continue;
        std::string k, v;
        if (keyValue(text, &k, &v) && equalNoCase(k, key))
            return content.substr(0, l.begin) + entry + content.substr(l.end);
        if (!trim(text).empty())
            insertAt = l.next;
    }

    std::string out = content;
    if (sectionFound) {
        // The last line of the file may have no line end of its own.
        std::string prefix = out.substr(0, insertAt);
        if (!prefix.empty() && prefix.back() != '\n')
            prefix += eol;
        return prefix + entry + eol + out.substr(insertAt);
    }
    if (!out.empty() && out.back() != '\n')
        out += eol;
    out += "[" + section + "]" + eol + entry + eol;
    return out;
}

bool IniFile::WriteString(const std::string &section, const std::string &key, const std::string &value) const
{
    std::string content;
    struct stat st {};
    bool exists = ::stat(m_path.c_str(), &st) == 0;
    if (exists && !readFile(m_path, &content))
        return false; // never replace a file that could not be read whole
    std::string updated = Rewrite(content, section, key, value);

    std::string tmp = m_path + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f)
            return false;
        f.write(updated.data(), static_cast<std::streamsize>(updated.size()));
        f.flush();
        if (!f) {
            f.close();
            ::unlink(tmp.c_str());
            return false;
        }
    }
    if (exists)
        ::chmod(tmp.c_str(), st.st_mode & 07777);
    if (std::rename(tmp.c_str(), m_path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace zox::host
