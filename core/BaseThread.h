#pragma once
// CBaseThread<T>: one worker thread with its own message queue for an object of class T.
//
// Other threads Post() a message number (no parameters); the worker runs the member
// function of T registered for that number, one message at a time, in posting order.
//
//     class CPingSession : public CBaseThread<CPingSession> {
//     public:
//         int Start() {
//             if (Create() != 0) return -1;
//             m_handlers[WM_RTSP_SEND_OPTIONS] = &CPingSession::SendOptions;
//             return Post(WM_RTSP_SEND_OPTIONS);
//         }
//         ~CPingSession() override { Destroy(); }   // stop the worker before members go
//     protected:
//         void CancelBlockingWork() override { /* abort the running request */ }
//     };
//
// Rules for T:
// - Fill m_handlers on the thread that called Create(), before the first Post().
// - Call Destroy() first thing in ~T: the worker must stop while T's members still exist
//   (~CBaseThread calls it too, but by then T's part of the object is gone).
// - A handler that may block for long should be cancellable: when the worker has not
//   stopped within the stop wait (5000 ms), Destroy() calls CancelBlockingWork() (on the
//   destroying thread) and then waits for the worker to end. The object is never freed
//   under a running handler.
// - Never call Destroy() from a handler of the same object.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/Log.h"
#include "host/MessageNumbers.h"

template <class T>
class CBaseThread {
public:
    using Handler = int (T::*)();

    CBaseThread() = default;
    CBaseThread(const CBaseThread &) = delete;
    CBaseThread &operator=(const CBaseThread &) = delete;
    virtual ~CBaseThread()
    {
        Destroy();
        m_handlers.clear();
    }

    // Starts the worker and waits (at most the start wait) until it runs.
    // 0 when the thread was created, -1 when not (or a worker already runs).
    int Create()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_thread.joinable()) {
            WriteLog("base-thread:: failed to create thread!");
            return -1;
        }
        m_started = false;
        m_stopped = false;
        m_stopping = false;
        m_queue.clear();
        try {
            m_thread = std::thread(&CBaseThread::ThreadProc, this);
        } catch (const std::system_error &) {
            WriteLog("base-thread:: failed to create thread!");
            return -1;
        }
        m_cond.wait_for(lock, std::chrono::milliseconds(kStartWaitMs), [this] { return m_started; });
        lock.unlock();
        WriteLog("base-thread:: created.");
        return 0;
    }

    // Queues the message for the worker. -1 when no worker runs; 0 otherwise.
    // Callable from any thread.
    int Post(uint32_t message)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (!m_running)
            return -1;
        m_queue.push_back(message);
        m_cond.notify_all();
        return 0;
    }

    // The stop handshake: the quit message goes behind every message posted before it;
    // waits for the worker to end (cancelling blocking work after the stop wait), then
    // releases the thread. Returns 0. Safe to call more than once.
    int Destroy()
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (m_thread.joinable()) {
            if (!m_stopped)
                m_queue.push_back(WM_BASETHREAD_QUIT);
            m_running = false; // from now on Post() refuses
            m_stopping = true;
            m_cond.notify_all();
            bool stopped = m_cond.wait_for(lock, std::chrono::milliseconds(m_stopWaitMs),
                                           [this] { return m_stopped; });
            lock.unlock();
            if (!stopped) {
                WriteLog("base-thread:: worker did not stop within %d ms, cancel its work.", m_stopWaitMs);
                CancelBlockingWork();
            }
            m_thread.join();
            lock.lock();
        }
        m_queue.clear();
        lock.unlock();
        WriteLog("base-thread:: destroy.");
        return 0;
    }

    // True while a worker runs (between Create and the quit message).
    bool IsRunning() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_running;
    }

protected:
    // Called by Destroy() on the destroying thread when the worker has not stopped within
    // the stop wait: T aborts whatever its running handler is blocked in.
    virtual void CancelBlockingWork() {}

    // How long Destroy() waits before it cancels the running handler's work.
    void SetStopWait(int milliseconds) { m_stopWaitMs = milliseconds; }

    // Message number -> handler; filled by T after Create(), read by the worker.
    std::map<uint32_t, Handler> m_handlers;

private:
    static constexpr int kStartWaitMs = 5000;

    void ThreadProc()
    {
        WriteLog("base-thread:: thread start.");
        std::unique_lock<std::mutex> lock(m_lock);
        m_started = true;
        m_running = !m_stopping;
        m_cond.notify_all();
        for (;;) {
            m_cond.wait(lock, [this] { return !m_queue.empty(); });
            uint32_t message = m_queue.front();
            m_queue.pop_front();
            if (message == WM_BASETHREAD_QUIT)
                break;
            auto it = m_handlers.find(message);
            if (it == m_handlers.end())
                continue; // not ours: nothing to do
            Handler handler = it->second;
            lock.unlock();
            (static_cast<T *>(this)->*handler)();
            lock.lock();
        }
        m_running = false;
        m_stopped = true;
        m_queue.clear();
        m_cond.notify_all();
        lock.unlock();
        WriteLog("base-thread:: thread terminated.");
    }

    mutable std::mutex m_lock;
    std::condition_variable m_cond;
    std::deque<uint32_t> m_queue; // guarded by m_lock
    std::thread m_thread;
    bool m_started = false;       // guarded by m_lock
    bool m_stopped = false;       // guarded by m_lock
    bool m_running = false;       // guarded by m_lock
    bool m_stopping = false;      // guarded by m_lock
    int m_stopWaitMs = 5000;
};
