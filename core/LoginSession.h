#pragma once
// The console's session with the dispatch server: registration and authentication,
// the line configuration, the group and user download into the cache, the platform
// steps, heartbeats, the restart paths and the server's notices. A state machine on
// the user-interface thread, driven by datagrams (family 0x5001 and 0x5003), timer
// ticks and the platform links' results; it owns no window and no timer itself:
// everything outside goes through ILoginHost and ILoginCache.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/Edition.h"
#include "core/LoginCache.h"
#include "core/LoginHost.h"
#include "core/ZoxCacheRecords.h"

// Login states.
enum EN_ZOX_LOGIN_STATE : uint8_t {
    kLoginIdle = 0,
    kLoginRegisterSent = 1,
    kLoginAuthSent = 2,
    kLoginRegistered = 3,
    kLoginLines = 5,
    kLoginGroups = 6,
    kLoginUsers = 7,
#ifdef ZOX_EDITION_CN
    // No user-platform step in this build: its value is never entered.
    kLoginUapSync = 8,
    kLoginCmsSync = 9,
    kLoginRunning = 12,
#else
    kLoginUapSync = 9,
    kLoginCmsSync = 10,
    kLoginRunning = 13,
#endif
};

// Settings the session reads (from the configuration).
struct ST_ZOX_LOGIN_SETTINGS {
    uint32_t localRegIpAddr = 0; // network order
    uint16_t localUdpPort = 8888;
    int hbIntervalMs = 0;
    int heartbeat = 0; // restart when a heartbeat goes unanswered
    bool videoEnabled = false;
    bool uapEnabled = false;
    bool cmsEnabled = false;
};

class CLoginSession {
public:
    static constexpr int kStepTimeoutMs = 30000;
    static constexpr int kRetryMs = zox::edition::kLoginRetryMs;
    static constexpr int kCmsPollMs = 120000;
    static constexpr int kRegisterPauseMs = 1000;
    static constexpr std::size_t kMaxLines = 19;
    static constexpr uint32_t kMaxGroupsPerPage = 16;

    CLoginSession(ILoginHost &host, ILoginCache *cache, const ST_ZOX_LOGIN_SETTINGS &settings);

    // Start-up results (the program entry's duties).
    void SetInitialised(bool initialised) { m_bInitialised = initialised; }
    bool IsInitialised() const { return m_bInitialised; }
    void SetCmsStartResult(int result) { m_nCmsStartResult = result; }
    void SetCache(ILoginCache *cache) { m_pCache = cache; }

    // Form handlers.
    void OnReqFieldChange();
    void OnBtnOkClick();
    void OnBtnCancelClick();
    void OnLoginTimerOut();
    void OnRetryTimerOut();
    void OnHeartbeatTimerOut();
    void OnCmsPollTimerOut();
    void OnUapSyncDone();
    void OnCmsSyncDone();
    // The destroy duties: the logout when registered, timers stopped.
    void OnDestroy();

    // Datagrams of the two families (the caller keeps the bytes).
    void OnLoginMessage(const uint8_t *data, std::size_t length);
    void OnNotifyMessage(const uint8_t *data, std::size_t length);

    uint8_t GetLoginState() const { return c_nLoginState; }
    bool IsRunning() const { return c_nLoginState == kLoginRunning; }
    uint8_t GetPriority() const { return m_byPriority; }
    uint32_t GetSequence() const { return m_nSequence; }
    bool IsHeartbeatAnswered() const { return m_bHeartbeatAnswered; }
    bool IsLineUser(const std::string &lineNumber, const std::string &callRef) const;

    // The console's lines as proposed at the last registration.
    static std::vector<ST_ZOX_SYSTEM_LINE> &SystemLines();

    // Senders (public for the window's destroy duties and the tests).
    int SendRegister(uint32_t type);
    int SendHeartbeat();
    int SendAuthResponse();
    void ResetLogin();

    // The login state; other subsystems read it, the messaging bridge on its own thread.
    std::atomic<uint8_t> c_nLoginState{kLoginIdle};

private:
    uint32_t NextSequence() { return ++m_nSequence; }
    void SetSplashText(const std::string &text) { m_host.SetSplashText(text); }
    void Arm(EN_ZOX_LOGIN_TIMER timer, int ms) { m_host.StartTimer(timer, ms); }
    void Stop(EN_ZOX_LOGIN_TIMER timer) { m_host.StopTimer(timer); }
    // The timers of a login step: the time limit and, where the build re-sends every
    // step, the re-send.
    void ArmStepTimers();
    void StopStepTimers();
    void FailList(const char *boxText);

    void OnHeartbeatResponse(const uint8_t *d, std::size_t n);
    void OnAuthRequest(const uint8_t *d, std::size_t n);
    void OnRegisterResponse(const uint8_t *d, std::size_t n);
    void OnServerReset(const uint8_t *d, std::size_t n);

    void AddSystemLines();
    int SendLineConfig();
    void StartLineStep();
    void OnLineConfigResponse(const uint8_t *d, std::size_t n);
    int RequestGroupList(uint32_t startIndex);
    void OnGroupListResponse(const uint8_t *d, std::size_t n);
    int RequestUserList(uint32_t startIndex);
    void OnUserListResponse(const uint8_t *d, std::size_t n);
    void OnUserStateNotify(const uint8_t *d, std::size_t n);
    void OnLineServiceNotify(const uint8_t *d, std::size_t n);
    void OnOpNotify(const uint8_t *d, std::size_t n);

    void SyncPlatforms();
    void FinishLogin();

    ILoginHost &m_host;
    ILoginCache *m_pCache;
    ST_ZOX_LOGIN_SETTINGS m_settings;
    bool m_bInitialised = false;
    int m_nCmsStartResult = 0;
    bool m_bHeartbeatAnswered = false;
    uint32_t m_nSequence = 0;
    uint8_t m_byPriority = 8;
    std::string m_strAccount;
    std::string m_strPassword;
    // The auth response as built on receipt of the auth request, re-sent unchanged
    // (where the build re-sends every step).
    std::vector<uint8_t> m_authResponse;
    uint32_t m_nGroupStart = 0;
    uint32_t m_nUserStart = 0;
    // The user numbers stored by the running user list download.
    std::unordered_set<std::string> m_listedUsers;
    // Sender reference of the latest list request; only its answer is taken.
    uint32_t m_nListRequestRef = 0;
};
