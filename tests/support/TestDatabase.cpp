#include "tests/support/TestDatabase.h"

#include <soci/odbc/soci-odbc.h>
#include <soci/soci.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace zoxtest {

namespace {

std::string ReadTrimmed(const fs::path &file)
{
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string Script()
{
    return std::string(ZOX_SOURCE_DIR) + "/scripts/mariadb-private.sh";
}

int RunScript(const std::string &args)
{
    std::string cmd = "bash '" + Script() + "' " + args + " >/dev/null 2>&1 </dev/null";
    return std::system(cmd.c_str());
}

} // namespace

std::string FixtureConnectionString()
{
    fs::path file = fs::path(ZOX_BINARY_DIR) / "test-db" / "connection.txt";
    std::string text = ReadTrimmed(file);
    if (text.empty())
        throw std::runtime_error("no test database: " + file.string() + " is missing (ctest fixture zox_db)");
    return text;
}

std::string WithDatabase(const std::string &connectionString, const std::string &database)
{
    const std::string key = "DATABASE=";
    std::size_t at = connectionString.find(key);
    if (at == std::string::npos)
        return connectionString + "DATABASE=" + database + ";";
    std::size_t end = connectionString.find(';', at);
    return connectionString.substr(0, at + key.size()) + database +
           (end == std::string::npos ? std::string(";") : connectionString.substr(end));
}

void LoadSchema(const std::string &connectionString)
{
    std::ifstream in(std::string(ZOX_SOURCE_DIR) + "/db/zox_client.sql");
    if (!in)
        throw std::runtime_error("db/zox_client.sql not found");
    soci::session s(*soci::factory_odbc(), connectionString);
    std::string line, statement;
    while (std::getline(in, line)) {
        if (line.rfind("--", 0) == 0)
            continue;
        statement += line + "\n";
        std::size_t last = line.find_last_not_of(" \t\r");
        if (last != std::string::npos && line[last] == ';') {
            s << statement;
            statement.clear();
        }
    }
}

void ExecSql(const std::string &connectionString, const std::string &sql)
{
    soci::session s(*soci::factory_odbc(), connectionString);
    s << sql;
}

long long QueryNumber(const std::string &connectionString, const std::string &sql)
{
    soci::session s(*soci::factory_odbc(), connectionString);
    long long n = -1;
    soci::indicator ind = soci::i_ok;
    s << sql, soci::into(n, ind);
    return (s.got_data() && ind == soci::i_ok) ? n : -1;
}

int KillOtherConnections(const std::string &connectionString)
{
    soci::session s(*soci::factory_odbc(), connectionString);
    std::vector<long long> ids(100);
    s << "SELECT ID FROM information_schema.PROCESSLIST WHERE ID <> CONNECTION_ID() AND USER = SUBSTRING_INDEX(CURRENT_USER(), '@', 1)"
         " AND COMMAND <> 'Killed'",
        soci::into(ids);
    int n = 0;
    for (long long id : ids) {
        try {
            s << "KILL CONNECTION " + std::to_string(id);
            ++n;
        } catch (const std::exception &) {
            // ended meanwhile
        }
    }
    return n;
}

ScratchDatabase::ScratchDatabase() : ScratchDatabase(FixtureConnectionString()) {}

ScratchDatabase::ScratchDatabase(const std::string &serverConnectionString) : m_server(serverConnectionString)
{
    static std::atomic<int> counter{0};
    std::random_device rd;
    m_name = "zox_t_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + "_" +
             std::to_string(rd() % 100000);
    {
        soci::session s(*soci::factory_odbc(), m_server);
        s << "CREATE DATABASE " + m_name + " CHARACTER SET utf8mb4 COLLATE utf8mb4_unicode_ci";
    }
    m_connectionString = WithDatabase(m_server, m_name);
    LoadSchema(m_connectionString);
}

ScratchDatabase::~ScratchDatabase()
{
    try {
        soci::session s(*soci::factory_odbc(), m_server);
        s << "DROP DATABASE IF EXISTS " + m_name;
    } catch (...) {
    }
}

void ScratchDatabase::exec(const std::string &sql) const
{
    soci::session s(*soci::factory_odbc(), m_connectionString);
    s << sql;
}

long long ScratchDatabase::count(const std::string &sql) const
{
    soci::session s(*soci::factory_odbc(), m_connectionString);
    long long n = -1;
    s << sql, soci::into(n);
    return n;
}

PrivateMariaDb::PrivateMariaDb(bool fullDurability) : m_fullDurability(fullDurability)
{
    std::string tmpl = (fs::temp_directory_path() / "zoxdb-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_dir = tmpl;
    if (!start())
        throw std::runtime_error("private MariaDB did not start in " + m_dir.string());
}

PrivateMariaDb::~PrivateMariaDb()
{
    stop();
    std::error_code ec;
    fs::remove_all(m_dir, ec);
}

bool PrivateMariaDb::start()
{
    // Fresh data at the first start only; a restart keeps the data and the port.
    const bool first = m_port.empty();
    const std::string test = m_fullDurability ? "" : " --test";
    if (RunScript("start '" + m_dir.string() + "' " + (first ? "--fresh" + test : m_port + test)) != 0)
        return false;
    m_port = ReadTrimmed(m_dir / "port");
    m_connectionString = ReadTrimmed(m_dir / "connection.txt");
    return !m_connectionString.empty();
}

bool PrivateMariaDb::stop()
{
    return RunScript("stop '" + m_dir.string() + "'") == 0;
}

} // namespace zoxtest
