#pragma once
// TUAPDataModule: the link to the user platform (an HTTP JSON API that knows the
// personal names and organisations of the radio and telephone users).
//
// Its worker logs in once and fetches the platform's user list page by page; the
// complete list reaches the login window as WM_UAP_USERS_READY, and the login window
// lets the module write it into the server-data cache on the user-interface thread,
// where the dispatch users take the platform's names as display names.
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "core/BaseThread.h"
#include "core/LoginHost.h"
#include "core/ZoxCacheRecords.h"
#include "platforms/HttpClient.h"
#include "platforms/PlatformLinkEnv.h"

class TUAPDataModule : public CBaseThread<TUAPDataModule>, public ILoginPlatformLink {
public:
    static constexpr int kPageSize = 100;
    // Consecutive failed pages after which a fetch is given up.
    static constexpr int kMaxPageFailures = 4;
    // A "total" above this is taken as this many.
    static constexpr int kMaxUsers = 1000000;

    // Reads the configuration, starts the worker and posts the login.
    explicit TUAPDataModule(ST_PLATFORM_LINK_ENV env);
    ~TUAPDataModule() override;

    // 0 started; -1 configuration incomplete; else the worker-start failure.
    int StartResult() const { return m_nStartResult; }
    bool IsUsersFetched() const { return m_bUsersFetched.load(); }
    bool IsBusy() const { return m_bBusy.load(); }

    // ILoginPlatformLink (user-interface thread).
    bool IsFetched() const override { return IsUsersFetched(); }
    int StartSync() override;
    int SyncToDatabase() override;

    // Worker handlers.
    int Login();
    int FetchVoipUsers();

    // The request body of the page at the given offset.
    static std::string PageRequestBody(int offset);

protected:
    void CancelBlockingWork() override { m_http.Abort(); }

private:
    int LoadConfig();
    // One page: 0 or -1; answered is set when the reply carried the user count.
    int FetchVoipUserPage(bool &answered);
    int DoLogin();
    int DoFetchVoipUserPage(bool &answered);
    bool Send(const std::string &url, const char *headers, const std::string &data, int32_t &status, CBuffer &body);

    ST_PLATFORM_LINK_ENV m_env;
    int m_nStartResult = -1;
    std::string m_strBaseUrl;
    std::string m_strAppId;
    std::string m_strSecret;
    std::string m_strToken; // worker only
    int m_nExpires = 0;
    std::atomic<bool> m_bBusy{false};
    std::atomic<bool> m_bUsersFetched{false};
    bool m_bSynchronised = false; // user-interface thread only
    bool m_bNamesStored = false;  // the stored list holds at least one user
    CHttpClient m_http;
    int m_nTotal = 0;
    int m_nReceived = 0;
    std::vector<ST_ZOX_UAP_VOIPUSER> m_pending; // worker only: the fetch under way
    mutable std::mutex m_lock; // the complete user list
    std::vector<ST_ZOX_UAP_VOIPUSER> m_users;
};

// The one user-platform link of the console; null while none exists.
extern TUAPDataModule *g_pUAPDataModule;
