#pragma once
// A scratch folder per test, removed when the test ends, and a guard that makes it
// the working folder for the test's duration (the console resolves data/ and log/
// against the working folder).
#include <filesystem>
#include <string>

namespace zoxtest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return m_path; }
    std::filesystem::path operator/(const std::string &rel) const { return m_path / rel; }

    // Writes a file below the folder, creating its parents.
    void write(const std::string &rel, const std::string &bytes) const;
    std::string read(const std::string &rel) const;
    bool exists(const std::string &rel) const { return std::filesystem::exists(m_path / rel); }

private:
    std::filesystem::path m_path;
};

class ScopedCwd {
public:
    explicit ScopedCwd(const std::filesystem::path &dir);
    ~ScopedCwd();

private:
    std::filesystem::path m_old;
};

} // namespace zoxtest
