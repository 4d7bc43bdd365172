#include "medialib/Fsm.h"

#include <atomic>

struct tsk_fsm_t {
    std::recursive_mutex lock;
    std::vector<tsk_fsm_entry_t> entries;
    std::atomic<int> current{0};
    int terminal = 0;
    int depth = 0;             // nesting of acts on the locking thread
    bool enteredTerminal = false;
    tsk_fsm_onterminated_f onTerminated = nullptr;
    const void *onTerminatedData = nullptr;
};

bool tsk_fsm_cond_always(const void *, const void *) { return true; }
int tsk_fsm_exec_nothing(const void *, const void *) { return 0; }

tsk_fsm_t *tsk_fsm_create(int initial_state, int terminal_state)
{
    auto *f = new tsk_fsm_t;
    f->current = initial_state;
    f->terminal = terminal_state;
    return f;
}

int tsk_fsm_set(tsk_fsm_t *fsm, const std::vector<tsk_fsm_entry_t> &entries)
{
    if (!fsm)
        return -1;
    std::lock_guard<std::recursive_mutex> lk(fsm->lock);
    fsm->entries.insert(fsm->entries.end(), entries.begin(), entries.end());
    return 0;
}

int tsk_fsm_act(tsk_fsm_t *fsm, int event, const void *cond_data1, const void *cond_data2, const void *arg1,
                const void *arg2)
{
    if (!fsm)
        return -1;
    std::unique_lock<std::recursive_mutex> lk(fsm->lock);
    if (fsm->current == fsm->terminal)
        return -2;
    int result = -1;
    ++fsm->depth;
    for (const tsk_fsm_entry_t &e : fsm->entries) {
        if (e.event != event || (e.from != tsk_fsm_state_any && e.from != fsm->current))
            continue;
        if (e.cond && !e.cond(cond_data1, cond_data2))
            continue;
        if (e.to != tsk_fsm_state_any) {
            fsm->current = e.to;
            if (e.to == fsm->terminal)
                fsm->enteredTerminal = true;
        }
        // The table may not change while acts run, and the entry is copied already.
        tsk_fsm_exec exec = e.exec;
        if (exec)
            exec(arg1, arg2);
        result = 0;
        break;
    }
    --fsm->depth;
    if (fsm->depth == 0 && fsm->enteredTerminal) {
        fsm->enteredTerminal = false;
        tsk_fsm_onterminated_f cb = fsm->onTerminated;
        const void *data = fsm->onTerminatedData;
        lk.unlock();
        if (cb)
            cb(data);
    }
    return result;
}

int tsk_fsm_get_current_state(tsk_fsm_t *fsm) { return fsm ? fsm->current.load() : -1; }

int tsk_fsm_set_current_state(tsk_fsm_t *fsm, int state)
{
    if (!fsm)
        return -1;
    std::lock_guard<std::recursive_mutex> lk(fsm->lock);
    fsm->current = state;
    return 0;
}

int tsk_fsm_set_callback_terminated(tsk_fsm_t *fsm, tsk_fsm_onterminated_f callback, const void *data)
{
    if (!fsm)
        return -1;
    std::lock_guard<std::recursive_mutex> lk(fsm->lock);
    fsm->onTerminated = callback;
    fsm->onTerminatedData = data;
    return 0;
}

bool tsk_fsm_terminated(tsk_fsm_t *fsm) { return fsm && fsm->current == fsm->terminal; }

void tsk_object_unref(tsk_fsm_t *fsm) { delete fsm; }
