#pragma once
// The login session's view of the server-data cache, on the real data module.
#include "core/LoginCache.h"

#include <memory>

class TNetTcpServiceForm;
class TZoxDataModule;

// The one data module of the console (created by the login window when the console
// initialised, freed at its destruction); empty while none exists.
extern TZoxDataModule *g_pZoxDataModule;

class CZoxLoginCache : public ILoginCache {
public:
    // Creates the data module, its query attached to the given connection or (none
    // given) to the network layer's cache connection, and publishes it as
    // g_pZoxDataModule.
    explicit CZoxLoginCache(TNetTcpServiceForm *connection = nullptr);
    ~CZoxLoginCache() override;

    TZoxDataModule &Module() { return *m_module; }

    int ClearAll() override;
    int InsertSystemLine(const ST_ZOX_SYSTEM_LINE &line) override;
    int GetSystemLines(std::vector<ST_ZOX_SYSTEM_LINE> &lines) override;
    int InsertSystemGroup(const ST_ZOX_SYSTEM_GROUP &group) override;
    int InsertSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> users) override;
    int InsertGroupMembers(std::vector<ST_ZOX_GROUP_MEMBER> members) override;
    int DeleteGroupMembersOf(const std::vector<std::string> &numbers) override;
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override;
    int UpdateUserState(const ST_ZOX_SYSTEM_USER &user) override;

private:
    std::unique_ptr<TZoxDataModule> m_module;
};
