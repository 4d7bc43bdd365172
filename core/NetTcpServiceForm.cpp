#include "core/NetTcpServiceForm.h"

#include "core/Log.h"
#include "core/ZoxQuery.h"
#include "core/net/NetFacade.h"

#include <soci/odbc/soci-odbc.h>
#include <soci/soci.h>

#include <cstdio>
#include <mutex>

namespace {

constexpr const char *kDriver = "MySQL ODBC 8.0 Unicode Driver";
constexpr const char *kServer = "localhost";
constexpr int kPort = 3306;
constexpr const char *kDatabase = "zox_client";
constexpr const char *kUser = "zox_client";
constexpr const char *kPassword = "5869.wxyz";

std::mutex g_stringLock;
std::string g_connectionString; // empty: the default

TNetTcpServiceForm *g_pNetTcpServiceForm = nullptr;

} // namespace

std::string ZoxDefaultConnectionString()
{
    char text[512];
    std::snprintf(text, sizeof text, "DRIVER={%s};SERVER=%s;PORT=%d;DATABASE=%s;USER=%s;PASSWORD=%s;OPTION=3;",
                  kDriver, kServer, kPort, kDatabase, kUser, kPassword);
    return text;
}

std::string ZoxConnectionString()
{
    std::lock_guard<std::mutex> lock(g_stringLock);
    return g_connectionString.empty() ? ZoxDefaultConnectionString() : g_connectionString;
}

void SetZoxConnectionString(const std::string &connectionString)
{
    std::lock_guard<std::mutex> lock(g_stringLock);
    g_connectionString = connectionString;
}

TZoxQuery::~TZoxQuery()
{
    if (m_connection)
        m_connection->DetachQuery(this);
}

TNetTcpServiceForm::TNetTcpServiceForm(std::string connectionString)
    : m_connectionString(std::move(connectionString))
{
}

TNetTcpServiceForm::~TNetTcpServiceForm()
{
    for (TZoxQuery *query : m_queries)
        query->SetConnection(nullptr);
    m_queries.clear();
    m_prepared.clear();
    try {
        c_pZoxConnection.reset();
    } catch (...) {
    }
}

int TNetTcpServiceForm::ConnectDatabase()
{
    m_prepared.clear();
    try {
        c_pZoxConnection.reset();
    } catch (...) {
    }
    m_suspect = false;
    try {
        // No login prompt: the driver must fail instead of asking for the account.
        soci::connection_parameters parameters(*soci::factory_odbc(), m_connectionString);
        parameters.set_option(soci::odbc_option_driver_complete, "0");
        auto session = std::make_unique<soci::session>();
        session->open(parameters);
        c_pZoxConnection = std::move(session);
        m_opened = true;
        return 0;
    } catch (const std::exception &e) {
        WriteLog("zoxdb: connect failed: %s", e.what());
        c_pZoxConnection.reset();
        return -1;
    }
}

int TNetTcpServiceForm::AttachQuery(TZoxQuery *query)
{
    if (!query || !m_opened)
        return -1;
    if (query->Connection() && query->Connection() != this)
        query->Connection()->DetachQuery(query);
    query->SetConnection(this);
    m_queries.insert(query);
    return 0;
}

void TNetTcpServiceForm::DetachQuery(TZoxQuery *query)
{
    m_queries.erase(query);
    if (query && query->Connection() == this)
        query->SetConnection(nullptr);
}

void TNetTcpServiceForm::KeepPrepared(int key, std::unique_ptr<TZoxPreparedStatement> statement)
{
    m_prepared[key] = std::move(statement);
}

bool TNetTcpServiceForm::IsOpen() const
{
    return c_pZoxConnection != nullptr;
}

bool TNetTcpServiceForm::LinkAlive()
{
    if (!c_pZoxConnection)
        return false;
    try {
        int one = 0;
        *c_pZoxConnection << "SELECT 1", soci::into(one);
        return one == 1;
    } catch (const std::exception &) {
        return false;
    }
}

soci::session *TNetTcpServiceForm::AcquireSession()
{
    if (!m_opened)
        return nullptr;
    if (m_suspect || !c_pZoxConnection) {
        if (!LinkAlive()) {
            m_linkLog.Note("lost", "zoxdb: connection lost, reconnecting.");
            m_lost = true;
            if (Reconnect() != 0) {
                m_suspect = true;
                return nullptr;
            }
            WriteLog("zoxdb: reconnected.");
        }
        m_lost = false;
        m_suspect = false;
    }
    return c_pZoxConnection.get();
}

int TNetTcpServiceForm::Reconnect()
{
    m_prepared.clear();
    try {
        c_pZoxConnection.reset();
    } catch (...) {
    }
    try {
        soci::connection_parameters parameters(*soci::factory_odbc(), m_connectionString);
        parameters.set_option(soci::odbc_option_driver_complete, "0");
        auto session = std::make_unique<soci::session>();
        session->open(parameters);
        c_pZoxConnection = std::move(session);
        return 0;
    } catch (const std::exception &e) {
        m_linkLog.Note("connect", "zoxdb: reconnect failed: %s", e.what());
        c_pZoxConnection.reset();
        return -1;
    }
}

void TNetTcpServiceForm::StatementFailed(const char *operation, const std::exception &error)
{
    // The driver's text ends with the statement and its bound values; values (a
    // camera password, say) stay out of the log, and the text is kept short.
    std::string text = error.what();
    std::size_t values = text.find("\" with :");
    if (values != std::string::npos)
        text.erase(values + 1);
    if (text.size() > 1000)
        text.erase(1000);
    WriteLog("zoxdb: %s failed: %s", operation, text.c_str());
    m_suspect = true;
    m_prepared.clear();
}

int ZoxCacheConnect()
{
    if (!g_pNetTcpServiceForm)
        g_pNetTcpServiceForm = new TNetTcpServiceForm();
    return g_pNetTcpServiceForm->ConnectDatabase();
}

void ZoxCacheRelease()
{
    delete g_pNetTcpServiceForm;
    g_pNetTcpServiceForm = nullptr;
}

TNetTcpServiceForm *ZoxCacheService()
{
    return g_pNetTcpServiceForm;
}

int ZoxCacheAttachQuery(TZoxQuery *query)
{
    return g_pNetTcpServiceForm ? g_pNetTcpServiceForm->AttachQuery(query) : -1;
}

int ZoxCacheAttachQueryUntyped(void *query)
{
    return ZoxCacheAttachQuery(static_cast<TZoxQuery *>(query));
}

void ZoxCacheRegisterNetService()
{
    NetDatabaseService service;
    service.connect = ZoxCacheConnect;
    service.disconnect = ZoxCacheRelease;
    service.attachQuery = ZoxCacheAttachQueryUntyped;
    NetSetDatabaseService(&service);
}
