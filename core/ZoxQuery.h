#pragma once
// The one query object of the server-data cache's data module. It runs its statements
// on the connection it is attached to (TNetTcpServiceForm::AttachQuery).
#include <functional>

class TNetTcpServiceForm;
namespace soci { class session; }

// A connection that is freed first detaches its queries, whose statements then fail.
class TZoxQuery {
public:
    TZoxQuery() = default;
    ~TZoxQuery();
    TZoxQuery(const TZoxQuery &) = delete;
    TZoxQuery &operator=(const TZoxQuery &) = delete;

    TNetTcpServiceForm *Connection() const { return m_connection; }
    // Called by the connection only.
    void SetConnection(TNetTcpServiceForm *connection) { m_connection = connection; }

    // Runs on the session before every statement of the query (the data module writes
    // its kept user states there, so that every statement sees them); an exception from
    // it fails the statement.
    void SetBeforeStatement(std::function<void(soci::session &)> hook) { m_before = std::move(hook); }
    const std::function<void(soci::session &)> &BeforeStatement() const { return m_before; }

private:
    TNetTcpServiceForm *m_connection = nullptr;
    std::function<void(soci::session &)> m_before;
};
