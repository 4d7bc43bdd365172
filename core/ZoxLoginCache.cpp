#include "core/ZoxLoginCache.h"

#include "core/ZoxDataModule.h"

TZoxDataModule *g_pZoxDataModule = nullptr;

CZoxLoginCache::CZoxLoginCache(TNetTcpServiceForm *connection)
    : m_module(connection ? std::make_unique<TZoxDataModule>(connection) : std::make_unique<TZoxDataModule>())
{
    g_pZoxDataModule = m_module.get();
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, &m_context, [this] {
        if (Flush() != 0)
            m_retry.start();
    });
}

CZoxLoginCache::~CZoxLoginCache()
{
    m_retry.stop();
    m_module->FlushUserStates();
    if (g_pZoxDataModule == m_module.get())
        g_pZoxDataModule = nullptr;
}

int CZoxLoginCache::Flush()
{
    return m_module->FlushUserStates();
}

void CZoxLoginCache::ScheduleFlush()
{
    // While the database is away the retry timer asks; until then nothing is queued,
    // so a storm of notices does not knock at a closed door for every pass.
    if (m_flushQueued || m_retry.isActive())
        return;
    m_flushQueued = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_flushQueued = false;
            if (Flush() != 0)
                m_retry.start();
        },
        Qt::QueuedConnection);
}

int CZoxLoginCache::ClearAll() { return m_module->ClearAll(); }

int CZoxLoginCache::InsertSystemLine(const ST_ZOX_SYSTEM_LINE &line) { return m_module->InsertSystemLine(line); }

int CZoxLoginCache::GetSystemLines(std::vector<ST_ZOX_SYSTEM_LINE> &lines) { return m_module->GetSystemLines(lines); }

int CZoxLoginCache::InsertSystemGroup(const ST_ZOX_SYSTEM_GROUP &group) { return m_module->InsertSystemGroup(group); }

int CZoxLoginCache::InsertSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> users)
{
    return m_module->InsertSystemUsers(std::move(users));
}

int CZoxLoginCache::InsertGroupMembers(std::vector<ST_ZOX_GROUP_MEMBER> members)
{
    return m_module->InsertGroupMembers(std::move(members));
}

int CZoxLoginCache::DeleteGroupMembersOf(const std::vector<std::string> &numbers)
{
    return m_module->DeleteGroupMembersOf(numbers);
}

int CZoxLoginCache::GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user)
{
    return m_module->GetUserRow(number, user);
}

int CZoxLoginCache::UpdateUserState(const ST_ZOX_SYSTEM_USER &user)
{
    m_module->QueueUserState(user);
    ScheduleFlush();
    return 0;
}
