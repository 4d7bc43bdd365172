#pragma once
// One-shot timers fired on the manager's own thread.
#include <cstdint>

struct tsk_timer_manager_t;
typedef uint64_t tsk_timer_id_t;
// (argument, timer id)
typedef int (*tsk_timer_callback_f)(const void *arg, tsk_timer_id_t id);

tsk_timer_manager_t *tsk_timer_manager_create();
// 0 = running.
int tsk_timer_manager_start(tsk_timer_manager_t *manager);
// The timer id (never 0), or 0 when the manager does not run.
tsk_timer_id_t tsk_timer_manager_schedule(tsk_timer_manager_t *manager, uint64_t timeout_ms,
                                          tsk_timer_callback_f callback, const void *arg);
// A cancelled timer does not fire (unless its callback already started).
int tsk_timer_manager_cancel(tsk_timer_manager_t *manager, tsk_timer_id_t id);
// Ends the thread: pending timers are dropped; when called from another thread, no
// callback runs once it returned. Called from a callback, the thread ends after it.
int tsk_timer_manager_stop(tsk_timer_manager_t *manager);
// Stops (as above) and frees the manager. Null is allowed.
void tsk_timer_manager_destroy(tsk_timer_manager_t **manager);
