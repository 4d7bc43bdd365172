#pragma once
// The login session's view of the server-data cache, on the real data module.
//
// The state notices are compared with the data module's rows in memory and their
// changes kept there (TZoxDataModule::QueueUserState); the kept states are written
// together, in one transaction, once the notices already queued for the window have
// been handled (a queued call on this thread's event loop), and again every second
// while the database is away.
#include "core/LoginCache.h"

#include <QObject>
#include <QTimer>
#include <memory>

class TNetTcpServiceForm;
class TZoxDataModule;

// The one data module of the console (created by the login window when the console
// initialised, freed at its destruction); empty while none exists.
extern TZoxDataModule *g_pZoxDataModule;

class CZoxLoginCache : public ILoginCache {
public:
    static constexpr int kRetryMs = 1000;

    // Creates the data module, its query attached to the given connection or (none
    // given) to the network layer's cache connection, and publishes it as
    // g_pZoxDataModule.
    explicit CZoxLoginCache(TNetTcpServiceForm *connection = nullptr);
    // Writes what is still kept (when the database is there).
    ~CZoxLoginCache() override;

    TZoxDataModule &Module() { return *m_module; }

    int ClearAll() override;
    int InsertSystemLine(const ST_ZOX_SYSTEM_LINE &line) override;
    int GetSystemLines(std::vector<ST_ZOX_SYSTEM_LINE> &lines) override;
    int InsertSystemGroup(const ST_ZOX_SYSTEM_GROUP &group) override;
    int InsertSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> users) override;
    int InsertGroupMembers(std::vector<ST_ZOX_GROUP_MEMBER> members) override;
    int DeleteGroupMembersOf(const std::vector<std::string> &numbers) override;
    // The row in memory (TZoxDataModule::GetUserRow).
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override;
    // Keeps the state and has it written soon; always 0 (a state the database cannot
    // take now is kept until it can).
    int UpdateUserState(const ST_ZOX_SYSTEM_USER &user) override;

    // Writes the kept states now; 0 when none is left.
    int Flush();

private:
    void ScheduleFlush();

    std::unique_ptr<TZoxDataModule> m_module;
    QObject m_context;  // queued flush calls die with it
    QTimer m_retry;     // single shot, while states stay kept
    bool m_flushQueued = false;
};
