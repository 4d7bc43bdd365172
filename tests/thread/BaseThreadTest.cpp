// The worker-thread template: order, unknown messages, the stop handshake, and a stop
// while a handler is blocked.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "core/BaseThread.h"
#include "core/Log.h"
#include "tests/support/TempDir.h"

using namespace std::chrono_literals;

namespace {

constexpr uint32_t kMsgA = WM_APP + 700;
constexpr uint32_t kMsgB = WM_APP + 701;
constexpr uint32_t kMsgGate = WM_APP + 702;
constexpr uint32_t kMsgUnknown = WM_APP + 799;

// Records the handled messages; kMsgGate blocks until Open() (bounded).
class CRecorder : public CBaseThread<CRecorder> {
public:
    CRecorder()
    {
        if (Create() == 0) {
            m_handlers[kMsgA] = &CRecorder::OnA;
            m_handlers[kMsgB] = &CRecorder::OnB;
            m_handlers[kMsgGate] = &CRecorder::OnGate;
        }
    }
    ~CRecorder() override { Destroy(); }

    std::vector<uint32_t> Handled()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_handled;
    }
    void Open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_cond.notify_all();
    }
    bool WaitInGate(std::chrono::milliseconds timeout)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cond.wait_for(lock, timeout, [this] { return m_inGate; });
    }

private:
    int OnA() { return record(kMsgA); }
    int OnB() { return record(kMsgB); }
    int OnGate()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_inGate = true;
        m_cond.notify_all();
        m_cond.wait_for(lock, 20s, [this] { return m_open; });
        m_handled.push_back(kMsgGate);
        return 0;
    }
    int record(uint32_t m)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_handled.push_back(m);
        return 0;
    }

    std::mutex m_mutex;
    std::condition_variable m_cond;
    std::vector<uint32_t> m_handled;
    bool m_open = false;
    bool m_inGate = false;
};

} // namespace

TEST(BaseThread, HandlesInPostingOrderAndIgnoresUnknownNumbers)
{
    CRecorder r;
    ASSERT_TRUE(r.IsRunning());
    EXPECT_EQ(r.Post(kMsgA), 0);
    EXPECT_EQ(r.Post(kMsgUnknown), 0); // accepted, but nothing runs for it
    EXPECT_EQ(r.Post(kMsgB), 0);
    EXPECT_EQ(r.Post(kMsgA), 0);
    EXPECT_EQ(r.Destroy(), 0);
    EXPECT_EQ(r.Handled(), (std::vector<uint32_t> {kMsgA, kMsgB, kMsgA}));
}

TEST(BaseThread, PostWithoutWorkerFails)
{
    struct CIdle : CBaseThread<CIdle> {
        ~CIdle() override { Destroy(); }
    } never;
    EXPECT_EQ(never.Post(kMsgA), -1); // Create never called
    EXPECT_EQ(never.Destroy(), 0);    // releases nothing, still fine

    CRecorder r;
    EXPECT_EQ(r.Destroy(), 0);
    EXPECT_EQ(r.Post(kMsgA), -1);
    EXPECT_FALSE(r.IsRunning());
    EXPECT_EQ(r.Destroy(), 0); // a second stop is harmless
}

// A quit posted while three messages wait behind a running handler is taken after them.
TEST(BaseThread, MessagesQueuedBeforeTheQuitAreHandled)
{
    CRecorder r;
    ASSERT_EQ(r.Post(kMsgGate), 0);
    ASSERT_TRUE(r.WaitInGate(5s));
    ASSERT_EQ(r.Post(kMsgA), 0);
    ASSERT_EQ(r.Post(kMsgB), 0);
    ASSERT_EQ(r.Post(kMsgA), 0);

    std::thread stopper([&] { r.Destroy(); });
    // Destroy has queued the quit once Post is refused.
    auto until = std::chrono::steady_clock::now() + 5s;
    while (r.Post(kMsgB) == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(1ms);
    r.Open();
    stopper.join();
    // The probes posted before the quit (if any) ran too; nothing after it.
    std::vector<uint32_t> h = r.Handled();
    ASSERT_GE(h.size(), 4u);
    EXPECT_EQ(std::vector<uint32_t>(h.begin(), h.begin() + 4), (std::vector<uint32_t> {kMsgGate, kMsgA, kMsgB, kMsgA}));
    for (std::size_t i = 4; i < h.size(); ++i)
        EXPECT_EQ(h[i], kMsgB);
}

TEST(BaseThread, ConcurrentPostersLoseNothing)
{
    struct CCounter : CBaseThread<CCounter> {
        CCounter()
        {
            Create();
            for (uint32_t i = 0; i < 4; ++i)
                m_handlers[kMsgA + i] = &CCounter::OnAny;
        }
        ~CCounter() override { Destroy(); }
        int OnAny() { return ++count, 0; }
        std::atomic<int> count {0};
    } c;
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t)
        posters.emplace_back([&c, t] {
            for (int i = 0; i < 2000; ++i)
                c.Post(kMsgA + uint32_t(t));
        });
    for (auto &p : posters)
        p.join();
    c.Destroy();
    EXPECT_EQ(c.count.load(), 8000);
}

namespace {
// A handler blocked in "network work" that only a cancel ends; it touches the object
// after it wakes. The object must not be freed before that.
std::atomic<bool> g_handlerTouchedObject {false};
std::atomic<bool> g_handlerDoneAtDestructorEnd {false};
std::atomic<bool> g_cancelled {false};

class CBlocked : public CBaseThread<CBlocked> {
public:
    CBlocked()
    {
        SetStopWait(200);
        if (Create() == 0)
            m_handlers[kMsgA] = &CBlocked::OnWork;
    }
    ~CBlocked() override
    {
        Destroy();
        g_handlerDoneAtDestructorEnd = g_handlerTouchedObject.load();
    }
    bool WaitStarted()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cond.wait_for(lock, 5s, [this] { return m_started; });
    }

protected:
    void CancelBlockingWork() override
    {
        g_cancelled = true;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abort = true;
        m_cond.notify_all();
    }

private:
    int OnWork()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_started = true;
        m_cond.notify_all();
        m_cond.wait_for(lock, 60s, [this] { return m_abort; });
        lock.unlock();
        std::this_thread::sleep_for(50ms); // still busy after the cancel
        m_result.assign(4096, 'x');        // writes into the object
        g_handlerTouchedObject = true;
        return 0;
    }

    std::mutex m_mutex;
    std::condition_variable m_cond;
    bool m_started = false;
    bool m_abort = false;
    std::string m_result;
};
} // namespace

TEST(BaseThread, DestroyWhileAHandlerIsBlockedCancelsAndWaits)
{
    zoxtest::TempDir dir;
    OpenLogFile((dir / "log.txt").string());
    auto *b = new CBlocked;
    ASSERT_EQ(b->Post(kMsgA), 0);
    ASSERT_TRUE(b->WaitStarted());
    auto t0 = std::chrono::steady_clock::now();
    delete b; // waits 200 ms, cancels, then waits for the handler
    auto took = std::chrono::steady_clock::now() - t0;
    CloseLogFile();
    EXPECT_TRUE(g_cancelled.load());
    EXPECT_TRUE(g_handlerDoneAtDestructorEnd.load());
    EXPECT_GE(took, 200ms);
    EXPECT_LT(took, 10s);
    std::string log = dir.read("log.txt");
    EXPECT_NE(log.find("base-thread:: worker did not stop within 200 ms, cancel its work."), std::string::npos);
    EXPECT_NE(log.find("base-thread:: thread terminated."), std::string::npos);
    EXPECT_NE(log.find("base-thread:: destroy."), std::string::npos);
}
