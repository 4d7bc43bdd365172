#pragma once
// The connection of the server-data cache to the local MariaDB database zox_client
// (SOCI over ODBC). It lives from the network layer's start to its stop; the data
// module's query is attached to it and runs every statement of the cache on it, on
// the user-interface thread.
//
// A statement that fails marks the connection as suspect; the next statement first
// checks the link and, when it is gone (the server restarted, the connection was
// killed), opens the connection again; while the server stays away, the lines about
// the attempts are written at most once a minute. The driver's own reconnect is not
// used.
#include <exception>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "core/RateLimitedLog.h"

namespace soci { class session; }
class TZoxQuery;

// "DRIVER={%s};SERVER=%s;PORT=%d;DATABASE=%s;USER=%s;PASSWORD=%s;OPTION=3;" with the
// console's fixed values.
std::string ZoxDefaultConnectionString();
// The connection string that new connections use: the default unless replaced.
std::string ZoxConnectionString();
// Replaces the connection string for connections opened afterwards (tests and
// benchmarks run against their own server); an empty text restores the default.
void SetZoxConnectionString(const std::string &connectionString);

// A statement prepared once on a connection and run again with new values; it owns
// the values it is bound to. The connection drops its statements before it closes,
// and after any failed statement.
class TZoxPreparedStatement {
public:
    virtual ~TZoxPreparedStatement() = default;
};

class TNetTcpServiceForm {
public:
    // Holds the connection component; nothing is opened yet.
    explicit TNetTcpServiceForm(std::string connectionString = ZoxConnectionString());
    ~TNetTcpServiceForm();
    TNetTcpServiceForm(const TNetTcpServiceForm &) = delete;
    TNetTcpServiceForm &operator=(const TNetTcpServiceForm &) = delete;

    // Closes the connection and opens it again: 0 connected, -1 failed.
    int ConnectDatabase();
    // 0 when the query now uses this connection; -1 for no query or a connection that
    // was never opened.
    int AttachQuery(TZoxQuery *query);

    bool IsOpen() const;
    const std::string &ConnectionString() const { return m_connectionString; }

    // For the cache's statements: the session to run on, after re-opening a lost
    // connection; nullptr when there is no working connection.
    soci::session *AcquireSession();
    // A statement failed: logs it and has the next AcquireSession check the link.
    void StatementFailed(const char *operation, const std::exception &error);
    // False while the link is known to be lost (until a reconnect succeeds).
    bool IsLinkUp() const { return !m_lost; }

    // A query that goes away before the connection.
    void DetachQuery(TZoxQuery *query);

    // The statement kept under `key`, or nullptr.
    template <class T> T *Prepared(int key) const
    {
        auto it = m_prepared.find(key);
        return it == m_prepared.end() ? nullptr : dynamic_cast<T *>(it->second.get());
    }
    void KeepPrepared(int key, std::unique_ptr<TZoxPreparedStatement> statement);

private:
    bool LinkAlive();
    // Opens the connection again after a loss; failures are logged rate-limited.
    int Reconnect();

    std::string m_connectionString;
    std::unique_ptr<soci::session> c_pZoxConnection;
    bool m_opened = false;   // a connect succeeded once (the query may attach)
    bool m_suspect = false;  // the last statement failed
    bool m_lost = false;     // a reconnect was needed and has not succeeded yet
    CRateLimitedLog m_linkLog;
    std::set<TZoxQuery *> m_queries;
    // Declared after the session: destroyed before it.
    std::map<int, std::unique_ptr<TZoxPreparedStatement>> m_prepared;
};

// The network layer's hooks: the one process-wide connection of the cache.
// Registers the three functions below with the network facade (NetSetDatabaseService),
// so that NetStart connects the cache, NetStop frees it and NetAttachQuery reaches it.
void ZoxCacheRegisterNetService();
// Creates it when none exists and connects it: 0, or -1 when the connect failed.
int ZoxCacheConnect();
// Frees it (statements of an attached query then fail with -1).
void ZoxCacheRelease();
// The process-wide connection, or nullptr.
TNetTcpServiceForm *ZoxCacheService();
// TNetTcpServiceForm::AttachQuery on the process-wide connection; -1 when none exists.
int ZoxCacheAttachQuery(TZoxQuery *query);
// The same for the facade, whose query pointer is untyped: a TZoxQuery.
int ZoxCacheAttachQueryUntyped(void *query);
