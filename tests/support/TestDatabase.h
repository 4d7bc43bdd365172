#pragma once
// Databases for tests that need a real MariaDB.
//
// The ctest fixture zox_db (tests/CMakeLists.txt) starts one private server per build
// folder (scripts/mariadb-private.sh) and writes its connection string to
// <build>/test-db/connection.txt. A test takes its own scratch database on that server
// (ScratchDatabase), so tests run in parallel without sharing rows. A test that must
// stop and start the server runs its own (PrivateMariaDb).
#include <filesystem>
#include <memory>
#include <string>

namespace zoxtest {

// The connection string of the fixture's server (database zox_client). Throws when
// the fixture did not run.
std::string FixtureConnectionString();

// The same string naming another database.
std::string WithDatabase(const std::string &connectionString, const std::string &database);

// Runs the statements of db/zox_client.sql on the database of the connection string.
void LoadSchema(const std::string &connectionString);

// One statement on the database of the connection string (a connection of its own).
void ExecSql(const std::string &connectionString, const std::string &sql);
// The first column of the first row of a query as a number (-1 when there is none).
long long QueryNumber(const std::string &connectionString, const std::string &sql);
// Ends every other connection of the connection string's user on its server (as if the
// server had dropped them); the number ended.
int KillOtherConnections(const std::string &connectionString);

// A fresh database with the console's tables, dropped again at the end.
class ScratchDatabase {
public:
    // On the fixture's server, or on the server of the given connection string.
    ScratchDatabase();
    explicit ScratchDatabase(const std::string &serverConnectionString);
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;

    const std::string &name() const { return m_name; }
    const std::string &connectionString() const { return m_connectionString; }
    // Runs one statement on the database (set-up and checks of the tests).
    void exec(const std::string &sql) const;
    long long count(const std::string &sql) const;

private:
    std::string m_server;
    std::string m_name;
    std::string m_connectionString;
};

// A server of the test's own, under a temporary folder; stopped at the end.
class PrivateMariaDb {
public:
    // fullDurability: every commit flushed to disk (the server's default, as the
    // console's set-up runs it); otherwise the tests' faster setting.
    explicit PrivateMariaDb(bool fullDurability = false);
    ~PrivateMariaDb();
    PrivateMariaDb(const PrivateMariaDb &) = delete;
    PrivateMariaDb &operator=(const PrivateMariaDb &) = delete;

    // Starts (again, on the same port); false when it did not come up.
    bool start();
    bool stop();
    const std::string &connectionString() const { return m_connectionString; }

private:
    std::filesystem::path m_dir;
    bool m_fullDurability = false;
    std::string m_port;
    std::string m_connectionString;
};

} // namespace zoxtest
