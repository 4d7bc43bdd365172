#pragma once
// Finite state machines driven by a transition table.
//
// tsk_fsm_act takes the first entry, in table order, whose from-state (or
// tsk_fsm_state_any) and event match and whose condition holds; it sets the new state
// (an entry to tsk_fsm_state_any keeps the state) BEFORE it runs the entry's action,
// so an action may act the next event at once (acts nest; a machine's acts are
// serialised across threads). Once the machine is in its terminal state every act is
// ignored until the state is set back. The terminated callback runs once per entering
// of the terminal state, after the outermost act that led there has finished its
// action.
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

inline constexpr int tsk_fsm_state_any = -0xFFFF;

typedef bool (*tsk_fsm_cond)(const void *data1, const void *data2);
typedef int (*tsk_fsm_exec)(const void *arg1, const void *arg2);
typedef int (*tsk_fsm_onterminated_f)(const void *callback_data);

bool tsk_fsm_cond_always(const void *, const void *);
int tsk_fsm_exec_nothing(const void *, const void *);

struct tsk_fsm_entry_t {
    int from;
    int event;
    tsk_fsm_cond cond;
    int to;
    tsk_fsm_exec exec;
    const char *desc;
};

struct tsk_fsm_t;

tsk_fsm_t *tsk_fsm_create(int initial_state, int terminal_state);
// Appends the entries to the table.
int tsk_fsm_set(tsk_fsm_t *fsm, const std::vector<tsk_fsm_entry_t> &entries);
// 0 when an entry was taken; -1 when none matched (nothing changes), -2 in the
// terminal state.
int tsk_fsm_act(tsk_fsm_t *fsm, int event, const void *cond_data1, const void *cond_data2, const void *arg1,
                const void *arg2);
int tsk_fsm_get_current_state(tsk_fsm_t *fsm);
int tsk_fsm_set_current_state(tsk_fsm_t *fsm, int state);
int tsk_fsm_set_callback_terminated(tsk_fsm_t *fsm, tsk_fsm_onterminated_f callback, const void *data);
bool tsk_fsm_terminated(tsk_fsm_t *fsm);
void tsk_object_unref(tsk_fsm_t *fsm);
