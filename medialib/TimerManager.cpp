#include "medialib/TimerManager.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;
struct Timer {
    tsk_timer_callback_f cb;
    const void *arg;
};
} // namespace

struct tsk_timer_manager_t {
    std::mutex lock;
    std::condition_variable cv;
    std::multimap<Clock::time_point, tsk_timer_id_t> due; // lock
    std::map<tsk_timer_id_t, Timer> timers;               // lock
    tsk_timer_id_t nextId = 1;
    bool running = false;
    bool stopping = false;
    std::thread thread;

    void Run()
    {
        std::unique_lock<std::mutex> lk(lock);
        while (!stopping) {
            if (due.empty()) {
                cv.wait(lk);
                continue;
            }
            auto first = due.begin();
            if (Clock::now() < first->first) {
                // A copy: the entry may be gone (stop, destroy) while this waits.
                Clock::time_point when = first->first;
                cv.wait_until(lk, when);
                continue;
            }
            tsk_timer_id_t id = first->second;
            due.erase(first);
            auto it = timers.find(id);
            if (it == timers.end())
                continue; // cancelled
            Timer t = it->second;
            timers.erase(it);
            lk.unlock();
            t.cb(t.arg, id);
            lk.lock();
        }
    }
};

tsk_timer_manager_t *tsk_timer_manager_create() { return new tsk_timer_manager_t; }

int tsk_timer_manager_start(tsk_timer_manager_t *m)
{
    if (!m)
        return -1;
    std::unique_lock<std::mutex> lk(m->lock);
    if (m->running)
        return 0;
    std::thread old = std::move(m->thread);
    lk.unlock();
    if (old.joinable())
        old.join();
    lk.lock();
    m->stopping = false;
    m->running = true;
    try {
        m->thread = std::thread([m] { m->Run(); });
    } catch (...) {
        m->running = false;
        return -1;
    }
    return 0;
}

tsk_timer_id_t tsk_timer_manager_schedule(tsk_timer_manager_t *m, uint64_t timeout_ms, tsk_timer_callback_f cb,
                                          const void *arg)
{
    if (!m || !cb)
        return 0;
    std::lock_guard<std::mutex> lk(m->lock);
    if (!m->running)
        return 0;
    tsk_timer_id_t id = m->nextId++;
    m->timers[id] = Timer{cb, arg};
    m->due.emplace(Clock::now() + std::chrono::milliseconds(timeout_ms), id);
    m->cv.notify_all();
    return id;
}

int tsk_timer_manager_cancel(tsk_timer_manager_t *m, tsk_timer_id_t id)
{
    if (!m)
        return -1;
    std::lock_guard<std::mutex> lk(m->lock);
    return m->timers.erase(id) ? 0 : -1;
}

int tsk_timer_manager_stop(tsk_timer_manager_t *m)
{
    if (!m)
        return -1;
    std::thread t;
    {
        std::lock_guard<std::mutex> lk(m->lock);
        m->stopping = true;
        m->running = false;
        m->timers.clear();
        m->due.clear();
        m->cv.notify_all();
        if (m->thread.joinable() && m->thread.get_id() != std::this_thread::get_id())
            t = std::move(m->thread);
    }
    if (t.joinable())
        t.join();
    return 0;
}

void tsk_timer_manager_destroy(tsk_timer_manager_t **m)
{
    if (!m || !*m)
        return;
    tsk_timer_manager_stop(*m);
    if ((*m)->thread.joinable())
        (*m)->thread.detach(); // destroyed from its own callback: it only returns
    delete *m;
    *m = nullptr;
}
