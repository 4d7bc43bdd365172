#pragma once
// The online check of one IP camera: an RTSP OPTIONS to the camera's stream URL on a
// poll timer, from the check's own worker, on its own RTSP stack. The owner hears when
// the camera became reachable (200 to an OPTIONS) or stopped being reachable (three
// OPTIONS without a reply since the connection closed).
//
// Threads: the worker sends; the stack's reader thread takes responses and closes; the
// timer manager's thread polls. Everything these threads share is atomic. The owner's
// two calls may come from the stack's and the timer's threads.
#include "core/BaseThread.h"
#include "core/ZoxCacheRecords.h"
#include "medialib/RtspStack.h"
#include "medialib/TimerManager.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class IPingSessionOwner {
public:
    virtual ~IPingSessionOwner() = default;
    // Whether the camera (owner type 2, the id in decimal) is being previewed.
    virtual bool IsPlaying(int ownerType, const std::string &number) = 0;
    // The camera became online (1) or offline (0).
    virtual void OnCameraState(uint32_t cid, int online) = 0;
};

// Poll periods: the first, the usual one, and that of a healthy online camera.
struct PingTiming {
    uint64_t firstMs = 10000;
    uint64_t pollMs = 10000;
    uint64_t healthyMs = 30000;
};

class CPingSession : public CBaseThread<CPingSession> {
public:
    // Takes the camera from the row. An enabled camera gets its stack, RTSP session,
    // worker and poll timer; a disabled one nothing.
    CPingSession(const ST_ZOX_RTSP_CAMERA &row, IPingSessionOwner *owner, const PingTiming &timing = {});
    ~CPingSession() override;

    // Sets stopping, cancels the poll timer and stops the stack.
    void Stop();

    uint32_t GetCameraId() const { return m_cid; }
    bool IsOnline() const { return m_online.load(); }
    bool IsEnabled() const { return m_enabled; }
    bool HasStack() const { return m_stack != nullptr; }
    bool HasTimerManager() const { return m_timerManager != nullptr; }

    static constexpr int kOwnerCamera = 2;
    static constexpr int kSendTimeoutMs = 2500;
    // OPTIONS without a reply since the last close after which an online camera is offline.
    static constexpr uint32_t kUnansweredLimit = 3;

protected:
    int CreateStack();
    int CreateSession();
    int StartStack();
    int StartWorkThread();
    int StartPollTimer(uint64_t periodMs);

    // Worker.
    int SendOptions();
    void OnSendError(int error);

    // Stack's thread.
    static int OnStackEvent(const trtsp_event_t *e);
    void OnResponse(const trtsp_event_t *e);
    void OnAuthFailed(const trtsp_event_t *e);
    void OnClosed();
    void OnOptionsResponse(int status);

    // Timer manager's thread.
    static int OnTimer(const void *arg, tsk_timer_id_t id);
    void OnPollTimer(tsk_timer_id_t id);

    void CancelBlockingWork() override;

private:
    // Milliseconds of a monotonic clock, never 0 (0 means "none").
    static int64_t NowMs();

    const uint32_t m_cid;
    const bool m_auth;
    std::atomic<bool> m_online;
    const bool m_enabled;
    const std::string m_host;
    const uint16_t m_port;
    const std::string m_url;
    const std::string m_user;
    const std::string m_password;
    std::atomic<int> m_cseq{1};
    std::atomic<int> m_count401{0};
    std::atomic<bool> m_sending{false};
    std::atomic<bool> m_stopping{false};
    trtsp_stack_t *m_stack = nullptr;
    trtsp_session_t *m_session = nullptr;
    tsk_timer_manager_t *m_timerManager = nullptr;
    std::mutex m_timerLock;             // the poll timer's id against its own firing
    tsk_timer_id_t m_pollTimer = 0;     // m_timerLock
    std::atomic<uint32_t> m_sentSinceClose{0};
    std::atomic<int64_t> m_closeTime{0};
    std::atomic<int64_t> m_lastReplyTime{0};
    IPingSessionOwner *const m_owner;
    const PingTiming m_timing;
};
