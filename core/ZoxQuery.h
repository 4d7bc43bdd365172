#pragma once
// The one query object of the server-data cache's data module. It runs its statements
// on the connection it is attached to (TNetTcpServiceForm::AttachQuery).
class TNetTcpServiceForm;

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

private:
    TNetTcpServiceForm *m_connection = nullptr;
};
