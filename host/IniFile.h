#pragma once
// INI files with the semantics of the Windows profile functions: section and key
// names compare without letter case, values are trimmed, a missing file, section or
// key yields the caller's default while a key present with an empty value yields the
// empty text, and a write rewrites that one key in place keeping every other line.
// Values are taken as text: commas and ';' inside a value are part of it.
#include <string>
#include <vector>

namespace zox::host {

class IniFile {
public:
    // Files larger than this are not read (treated like a missing file).
    static constexpr std::size_t kMaxFileSize = 4 * 1024 * 1024;

    explicit IniFile(std::string path);

    const std::string &path() const { return m_path; }

    // Reads the key; the file is read anew at each call.
    std::string ReadString(const std::string &section, const std::string &key,
                           const std::string &defaultValue) const;

    // Writes one key: replaces its line in place, adds it to the end of its section,
    // or adds the section at the end of the file. The file is replaced atomically.
    // Returns false when the file cannot be written.
    bool WriteString(const std::string &section, const std::string &key,
                     const std::string &value) const;

    // Parsing from memory, for the reader and for tests.
    static bool Lookup(const std::string &content, const std::string &section,
                       const std::string &key, std::string *value);
    static std::string Rewrite(const std::string &content, const std::string &section,
                               const std::string &key, const std::string &value);

private:
    std::string m_path;
};

} // namespace zox::host
