#pragma once
// What the login session needs from the world around it: the dispatch link, the
// login window's timers and controls, the message box, the main window and the two
// platform links. The login window implements it; the tests implement it with fakes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/ZoxCacheRecords.h"

enum class EN_ZOX_LOGIN_TIMER { Login = 0, Retry = 1, Heartbeat = 2, CmsPoll = 3 };
inline constexpr int kLoginTimerCount = 4;

// A platform link as the login's platform steps see it.
class ILoginPlatformLink {
public:
    virtual ~ILoginPlatformLink() = default;
    // The link has received its list and can store it at once.
    virtual bool IsFetched() const = 0;
    // Asks the worker for the list unless it was fetched; the answer comes back later
    // as the link's ready message to the login window.
    virtual int StartSync() = 0;
    // Writes the received list into the cache (once per run).
    virtual int SyncToDatabase() = 0;
    // The vehicle link only: asks for the device states.
    virtual int PollDeviceStatus() { return 0; }
    // The vehicle link only: writes the received device states into the cache.
    virtual int ApplyDeviceStatus() { return 0; }
};

class ILoginHost {
public:
    virtual ~ILoginHost() = default;

    // The dispatch link: bytes sent, or 0 or below on failure.
    virtual int SendUdp(const uint8_t *data, std::size_t length) = 0;

    // Timers repeat until stopped; a period of 0 or below never fires.
    virtual void StartTimer(EN_ZOX_LOGIN_TIMER timer, int periodMs) = 0;
    virtual void StopTimer(EN_ZOX_LOGIN_TIMER timer) = 0;
    // Blocks the calling thread.
    virtual void SleepMs(int ms) = 0;

    // The login window.
    virtual std::string GetAccountField() const = 0;
    virtual std::string GetPasswordField() const = 0;
    virtual void SetFieldsEnabled(bool enabled) = 0;
    virtual void SetLoginButtonEnabled(bool enabled) = 0;
    virtual void SetCancelButtonEnabled(bool enabled) = 0;
    virtual void ShowLoginWindow(bool show) = 0;
    virtual void CloseLoginWindow() = 0;
    // The "Error" box (modal).
    virtual void ShowErrorBox(const std::string &text) = 0;

    // The splash window.
    virtual void ShowSplash(bool show) = 0;
    virtual void SetSplashText(const std::string &text) = 0;

    // The main window; each does nothing when it does not exist.
    virtual void HideMainWindow() = 0;
    // Its destroy duties: hot keys, sessions dropped without a release, RTSP client.
    virtual void TearDownMainWindow() = 0;
    // Completion: RTSP client, dispatch lines, lists, show, map window.
    virtual void StartMainWindow() = 0;
    virtual void RemoveUserFromLine(const std::string &number, uint8_t regState, const std::string &lineCallRef,
                                    uint32_t callState) = 0;
    virtual void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &user) = 0;

    // The platform links; null when the link does not exist.
    virtual ILoginPlatformLink *UapLink() = 0;
    virtual ILoginPlatformLink *CmsLink() = 0;
};
