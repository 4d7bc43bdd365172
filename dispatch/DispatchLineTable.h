#pragma once
// The dispatch-line table: one entry per line of the console that the dispatch server
// accepted at login, with its state, the pending operation and its time limit, the kind
// of call and the session that carries it; and the list of the sessions themselves
// (owned here, in creation order). The main window forwards to it; everything it needs
// from the window (sounds, status panes, buttons, the conference audio channel, the
// login's line users, the line timers) comes through IDispatchLineHost.
// User-interface thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ZoxCacheRecords.h"
#include "dispatch/DispatchSession.h"

enum EN_ZOX_LINE_STATE : int32_t {
    kLineIdle = 0,
    kLineRinging = 1,
    kLineCalling = 2,
    kLineConnected = 3,
    kLineReleasing = 5,
    kLineJoining = 7,
};

enum EN_ZOX_LINE_ACTION : int32_t {
    kActionNone = 0,
    kActionCall = 3,
    kActionRelease = 6,
    kActionMonitor = 8,
    kActionPttRelease = 9,
    kActionIntrude = 10,
    kActionForceRelease = 11,
    kActionAdHocGroup = 13,
    kActionConference = 14,
    kActionReleaseConference = 15,
    kActionAddConferenceMember = 16,
    kActionPttPrivate = 20,
    kActionPttGroup = 21,
    kActionPttJoinGroup = 23,
    kActionVideoUpload = 24,
    kActionStopVideoUpload = 25,
};

// The time limit of an action in ms; 0 for none or an unknown action.
int LineActionPeriodMs(int32_t action);

// A one-line timer; it repeats until stopped, its owner stops it on each expiry.
class ILineTimer {
public:
    virtual ~ILineTimer() = default;
    virtual void Start(int periodMs) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;
    virtual int Period() const = 0;
};

class IDispatchLineHost {
public:
    virtual ~IDispatchLineHost() = default;
    virtual std::unique_ptr<ILineTimer> CreateLineTimer(std::function<void()> onTimeout) = 0;
    virtual void StopRingIn() = 0;
    virtual void StopRingBack() = 0;
    // The call progress panel of a call started from it.
    virtual void OnCallLineStateChanged(int32_t oldState, int32_t newState) = 0;
    // The status panes show no call.
    virtual void ClearDispatchStatus() = 0;
    virtual void UpdateOperateButtons() = 0;
    virtual void ReleaseVideoConfAudio() = 0;
    // Whether the login ties this call reference to the line.
    virtual bool IsLineUser(const std::string &lineNumber, const std::string &callRef) const = 0;
    virtual bool IsVideoEnabled() const = 0;
};

struct ST_ZOX_DISPATCH_LINE_INFO {
    std::string lineNumber;
    std::string operation;
    std::string peer;
    uint8_t softPhone = 0;
    uint8_t confAudio = 0;
    uint8_t fromProgress = 0;
    int32_t state = kLineIdle;
    int32_t action = kActionNone;
    int32_t kind = kMediaNone;
    CDispatchSession *session = nullptr;
    std::unique_ptr<ILineTimer> timer;

    bool IsFree() const { return state == kLineIdle && action == kActionNone; }
    bool IsBusy() const { return state != kLineIdle; }
};

class CDispatchLineTable {
public:
    explicit CDispatchLineTable(IDispatchLineHost &host) : m_host(host) {}
    ~CDispatchLineTable();
    CDispatchLineTable(const CDispatchLineTable &) = delete;
    CDispatchLineTable &operator=(const CDispatchLineTable &) = delete;

    // One entry per accepted line (status 1), in list order. Sessions are not deleted.
    void RebuildDispatchLines(const std::vector<ST_ZOX_SYSTEM_LINE> &lines);
    const std::vector<std::unique_ptr<ST_ZOX_DISPATCH_LINE_INFO>> &Lines() const { return m_lines; }

    // Timers and actions.
    static void RestartTimer(ILineTimer *timer, int periodMs, bool on);
    // Sets a pending action with its texts and starts its time limit.
    void SetLineAction(ST_ZOX_DISPATCH_LINE_INFO *line, int32_t action, const std::string &operation,
                       const std::string &peer);
    void OnLineTimerOut(ST_ZOX_DISPATCH_LINE_INFO *line);

    // State changes.
    void SetLineState(ST_ZOX_DISPATCH_LINE_INFO *line, int32_t state);
    void ClearLineAction(ST_ZOX_DISPATCH_LINE_INFO *line);
    void ReleaseLine(ST_ZOX_DISPATCH_LINE_INFO *line);

    // Sessions: the list owns them.
    void AddSession(std::unique_ptr<CDispatchSession> session);
    const std::vector<std::unique_ptr<CDispatchSession>> &Sessions() const { return m_sessions; }
    CDispatchSession *FindSessionByInstance(int32_t instance) const;
    void DestroySession(CDispatchSession *session);
    // Deletes every session without a release (the window's end, a restart).
    void DropAllSessions();

    // Lookups (first match in table order; null or 0 when none).
    bool IsAnyLineInCall() const;
    int CountFreeLines() const;
    ST_ZOX_DISPATCH_LINE_INFO *GetFreeLine(bool video) const;
    ST_ZOX_DISPATCH_LINE_INFO *FindLineByName(const std::string &number) const;
    ST_ZOX_DISPATCH_LINE_INFO *FindLineByKey(int32_t kind) const;
    ST_ZOX_DISPATCH_LINE_INFO *FindLineBySession(const CDispatchSession *session) const;
    ST_ZOX_DISPATCH_LINE_INFO *FindLineBySessionUser(const std::string &number) const;
    ST_ZOX_DISPATCH_LINE_INFO *FindVideoCallLine(const std::string &number) const;
    ST_ZOX_DISPATCH_LINE_INFO *FindVideoUploadLine(const std::string &number) const;
    ST_ZOX_DISPATCH_LINE_INFO *FindActiveGroupLine() const;
    void CollectVideoCallSessions(std::vector<CDispatchSession *> &out) const;

    // Membership updates from the user state notices.
    void RemoveUserFromLine(const std::string &number, uint8_t regState, const std::string &callRef,
                            uint32_t callState);
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &user);
    void RemoveLineMember(ST_ZOX_DISPATCH_LINE_INFO *line, const std::string &number);

private:
    ST_ZOX_DISPATCH_LINE_INFO *FindBusyWithMember(const std::string &number, bool (*kindMatches)(int32_t)) const;

    IDispatchLineHost &m_host;
    std::vector<std::unique_ptr<ST_ZOX_DISPATCH_LINE_INFO>> m_lines;
    std::vector<std::unique_ptr<CDispatchSession>> m_sessions;
};
