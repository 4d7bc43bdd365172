#include "core/ZoxLoginCache.h"

#include "core/ZoxDataModule.h"

TZoxDataModule *g_pZoxDataModule = nullptr;

CZoxLoginCache::CZoxLoginCache(TNetTcpServiceForm *connection)
    : m_module(connection ? std::make_unique<TZoxDataModule>(connection) : std::make_unique<TZoxDataModule>())
{
    g_pZoxDataModule = m_module.get();
}

CZoxLoginCache::~CZoxLoginCache()
{
    if (g_pZoxDataModule == m_module.get())
        g_pZoxDataModule = nullptr;
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
    return m_module->GetSystemUser(number, user);
}

int CZoxLoginCache::UpdateUserState(const ST_ZOX_SYSTEM_USER &user) { return m_module->UpdateUserState(user); }
