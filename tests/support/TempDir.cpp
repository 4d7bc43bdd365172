#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace zoxtest {

TempDir::TempDir()
{
    std::string tmpl = (fs::temp_directory_path() / "zoxtest-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void TempDir::write(const std::string &rel, const std::string &bytes) const
{
    fs::path p = m_path / rel;
    fs::create_directories(p.parent_path());
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempDir::read(const std::string &rel) const
{
    std::ifstream f(m_path / rel, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

ScopedCwd::ScopedCwd(const fs::path &dir) : m_old(fs::current_path())
{
    fs::current_path(dir);
}

ScopedCwd::~ScopedCwd()
{
    std::error_code ec;
    fs::current_path(m_old, ec);
}

} // namespace zoxtest
