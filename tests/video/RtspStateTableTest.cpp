// The transition tables of the RTSP sessions driven by event sequences on the state
// machine engine: each step gives the state after the event and the action taken.
#include "medialib/Fsm.h"
#include "video/RtspStateTables.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FakeSession {
    tsk_fsm_t *fsm = nullptr;
    bool setUp = false, previewing = true, mediaOpen = false, rebuilding = false;
    std::vector<int> actions;
};

FakeSession *F(const void *p) { return const_cast<FakeSession *>(static_cast<const FakeSession *>(p)); }

template <int A>
int Record(const void *s, const void *)
{
    F(s)->actions.push_back(A);
    return 0;
}

tsk_fsm_exec ExecOf(EN_ZOX_RTSP_ACTION a)
{
    static const tsk_fsm_exec kExec[] = {
        Record<0>, Record<1>, Record<2>, Record<3>, Record<4>,  Record<5>,  Record<6>, Record<7>,
        Record<8>, Record<9>, Record<10>, Record<11>, Record<12>, Record<13>, Record<14>,
    };
    return kExec[a];
}

bool IsSetUp(const void *s, const void *)
{
    int st = tsk_fsm_get_current_state(F(s)->fsm);
    return F(s)->setUp && st > 4 && st < 14;
}
bool IsNotSetUp(const void *s, const void *m) { return !IsSetUp(s, m); }
bool CanRebuild(const void *s, const void *)
{
    return F(s)->previewing && F(s)->mediaOpen && !F(s)->rebuilding;
}

void Install(FakeSession &f, EN_ZOX_RTSP_TABLE table)
{
    f.fsm = tsk_fsm_create(0, 15);
    std::vector<tsk_fsm_entry_t> entries;
    for (const auto &t : RtspTransitionTable(table)) {
        tsk_fsm_cond cond = t.condition == ZOX_RTSP_COND_IS_SET_UP       ? IsSetUp
                            : t.condition == ZOX_RTSP_COND_IS_NOT_SET_UP ? IsNotSetUp
                            : t.condition == ZOX_RTSP_COND_CAN_REBUILD   ? CanRebuild
                                                                         : tsk_fsm_cond_always;
        entries.push_back({t.from == kRtspAnyState ? tsk_fsm_state_any : t.from, t.event, cond,
                           t.to == kRtspAnyState ? tsk_fsm_state_any : t.to, ExecOf(t.action), t.description});
    }
    tsk_fsm_set(f.fsm, entries);
}

constexpr int NONE = -1; // no row taken
struct Step {
    int event;
    int state;
    int action;          // EN_ZOX_RTSP_ACTION or NONE
    bool setUp = false;  // a SETUP succeeded before this event
    bool mediaOpen = false;
};

struct Case {
    const char *name;
    EN_ZOX_RTSP_TABLE table;
    std::vector<Step> steps;
};

// The road of a successful video preview up to playing.
std::vector<Step> VideoToPlaying()
{
    return {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS},      {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY},
            {7, 3, ZOX_RTSP_ACT_POST_DESCRIBE},     {10, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY},
            {11, 6, ZOX_RTSP_ACT_POST_SETUP},       {14, 8, ZOX_RTSP_ACT_SETUP_VIDEO_REPLY},
            {15, 9, ZOX_RTSP_ACT_POST_PLAY, true},  {19, 10, ZOX_RTSP_ACT_PLAY_REPLY, true},
            {20, 11, ZOX_RTSP_ACT_OPEN_MEDIA, true}, {24, 12, ZOX_RTSP_ACT_NOTHING, true, true}};
}

std::vector<Step> Then(std::vector<Step> a, const std::vector<Step> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<Case> Cases()
{
    return {
        {"camera plays", ZOX_RTSP_TABLE_CAMERA, VideoToPlaying()},
        {"vehicle audio plays and opens its audio", ZOX_RTSP_TABLE_VEHICLE_AUDIO,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY}, {7, 3, ZOX_RTSP_ACT_POST_DESCRIBE},
          {10, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY}, {11, 5, ZOX_RTSP_ACT_POST_SETUP}, {14, 7, ZOX_RTSP_ACT_SETUP_AUDIO_REPLY},
          {17, 9, ZOX_RTSP_ACT_POST_PLAY, true}, {19, 10, ZOX_RTSP_ACT_PLAY_REPLY, true},
          {20, 11, ZOX_RTSP_ACT_OPEN_MEDIA, true}, {24, 12, ZOX_RTSP_ACT_POST_SET_PARAMETER, true, true},
          {26, 12, ZOX_RTSP_ACT_NOTHING, true, true}, {23, 12, NONE, true, true}}},
        {"OPTIONS challenged twice terminates", ZOX_RTSP_TABLE_CAMERA,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY}, {8, 1, ZOX_RTSP_ACT_POST_OPTIONS},
          {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY}, {9, 15, ZOX_RTSP_ACT_TERMINATE}, {0, 15, NONE}}},
        {"DESCRIBE challenged twice terminates", ZOX_RTSP_TABLE_VEHICLE_VIDEO,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY}, {7, 3, ZOX_RTSP_ACT_POST_DESCRIBE},
          {10, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY}, {12, 3, ZOX_RTSP_ACT_POST_DESCRIBE}, {10, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY},
          {13, 15, ZOX_RTSP_ACT_TERMINATE}}},
        {"stop before SETUP terminates at once", ZOX_RTSP_TABLE_CAMERA,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY}, {7, 3, ZOX_RTSP_ACT_POST_DESCRIBE},
          {1, 15, ZOX_RTSP_ACT_TERMINATE}}},
        {"stop after SETUP tears down first", ZOX_RTSP_TABLE_CAMERA,
         Then(VideoToPlaying(), {{1, 14, ZOX_RTSP_ACT_POST_TEARDOWN, true, true},
                                 {28, 14, ZOX_RTSP_ACT_NOTHING, true, true},
                                 {29, 15, ZOX_RTSP_ACT_TERMINATE, true, true}})},
        {"request that cannot be sent changes nothing", ZOX_RTSP_TABLE_CAMERA,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {9, 1, NONE}, {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY},
          {7, 3, ZOX_RTSP_ACT_POST_DESCRIBE}, {13, 3, NONE}, {3, 15, ZOX_RTSP_ACT_TERMINATE}}},
        {"SETUP refused tears down", ZOX_RTSP_TABLE_VEHICLE_VIDEO,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY}, {7, 3, ZOX_RTSP_ACT_POST_DESCRIBE},
          {10, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY}, {11, 6, ZOX_RTSP_ACT_POST_SETUP}, {14, 8, ZOX_RTSP_ACT_SETUP_VIDEO_REPLY},
          {16, 14, ZOX_RTSP_ACT_POST_TEARDOWN}, {29, 15, ZOX_RTSP_ACT_TERMINATE}}},
        {"time-out after SETUP tears down", ZOX_RTSP_TABLE_CAMERA,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {6, 2, ZOX_RTSP_ACT_OPTIONS_REPLY}, {7, 3, ZOX_RTSP_ACT_POST_DESCRIBE},
          {10, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY}, {11, 6, ZOX_RTSP_ACT_POST_SETUP}, {14, 8, ZOX_RTSP_ACT_SETUP_VIDEO_REPLY},
          {15, 9, ZOX_RTSP_ACT_POST_PLAY, true}, {3, 14, ZOX_RTSP_ACT_POST_TEARDOWN, true}}},
        {"camera without new frames rebuilds", ZOX_RTSP_TABLE_CAMERA,
         Then(VideoToPlaying(), {{30, 13, ZOX_RTSP_ACT_POST_TEARDOWN, true, true},
                                 {29, 3, ZOX_RTSP_ACT_POST_REBUILD, true, true},
                                 {10, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY, true, true},
                                 {11, 6, ZOX_RTSP_ACT_POST_SETUP, true, true}})},
        {"camera transport close while playing rebuilds", ZOX_RTSP_TABLE_CAMERA,
         Then(VideoToPlaying(), {{4, 3, ZOX_RTSP_ACT_POST_REBUILD, true, true}})},
        {"camera transport close while setting up changes nothing", ZOX_RTSP_TABLE_CAMERA,
         {{0, 1, ZOX_RTSP_ACT_POST_OPTIONS}, {4, 1, NONE}}},
        {"vehicle transport close terminates", ZOX_RTSP_TABLE_VEHICLE_VIDEO,
         Then(VideoToPlaying(), {{30, 12, NONE, true, true}, {4, 15, ZOX_RTSP_ACT_TERMINATE, true, true}})},
    };
}

class RtspStateTables : public ::testing::TestWithParam<Case> {};

TEST_P(RtspStateTables, EventSequence)
{
    const Case &c = GetParam();
    FakeSession f;
    Install(f, c.table);
    int n = 0;
    for (const Step &s : c.steps) {
        f.setUp = s.setUp;
        f.mediaOpen = s.mediaOpen;
        f.actions.clear();
        tsk_fsm_act(f.fsm, s.event, &f, nullptr, &f, nullptr);
        EXPECT_EQ(tsk_fsm_get_current_state(f.fsm), s.state) << "step " << n << " event " << s.event;
        if (s.action == NONE)
            EXPECT_TRUE(f.actions.empty()) << "step " << n << " event " << s.event;
        else
            EXPECT_EQ(f.actions, std::vector<int>{s.action}) << "step " << n << " event " << s.event;
        ++n;
    }
    tsk_object_unref(f.fsm);
}

INSTANTIATE_TEST_SUITE_P(Tables, RtspStateTables, ::testing::ValuesIn(Cases()), [](const auto &info) {
    std::string n = info.param.name;
    for (char &ch : n)
        if (!isalnum((unsigned char)ch))
            ch = '_';
    return n;
});

// The engine: the state is set before the action runs, actions may act again at
// once, and the terminated callback runs once, after the outermost act.
struct EngineProbe {
    tsk_fsm_t *fsm;
    std::vector<std::string> log;
    int terminated = 0;
};

TEST(StateMachine, NestedActsAndOneTerminatedCallback)
{
    EngineProbe p;
    p.fsm = tsk_fsm_create(0, 15);
    auto chain = [](const void *a, const void *) -> int {
        auto *pr = static_cast<EngineProbe *>(const_cast<void *>(a));
        pr->log.push_back("chain in " + std::to_string(tsk_fsm_get_current_state(pr->fsm)));
        tsk_fsm_act(pr->fsm, 2, pr, nullptr, pr, nullptr);
        pr->log.push_back("chain after " + std::to_string(tsk_fsm_get_current_state(pr->fsm)));
        return 0;
    };
    auto end = [](const void *a, const void *) -> int {
        auto *pr = static_cast<EngineProbe *>(const_cast<void *>(a));
        pr->log.push_back("end in " + std::to_string(tsk_fsm_get_current_state(pr->fsm)) + " cb " +
                          std::to_string(pr->terminated));
        // Acts in the terminal state are ignored, also from inside the action.
        EXPECT_EQ(tsk_fsm_act(pr->fsm, 1, pr, nullptr, pr, nullptr), -2);
        return 0;
    };
    tsk_fsm_set(p.fsm, {{0, 1, tsk_fsm_cond_always, 5, chain, "a"},
                        {tsk_fsm_state_any, 2, tsk_fsm_cond_always, 15, end, "b"},
                        {tsk_fsm_state_any, 1, tsk_fsm_cond_always, 0, tsk_fsm_exec_nothing, "c"}});
    tsk_fsm_set_callback_terminated(p.fsm, [](const void *d) -> int {
        static_cast<EngineProbe *>(const_cast<void *>(d))->terminated++;
        return 0;
    }, &p);
    EXPECT_EQ(tsk_fsm_act(p.fsm, 1, &p, nullptr, &p, nullptr), 0);
    EXPECT_EQ(p.log, (std::vector<std::string>{"chain in 5", "end in 15 cb 0", "chain after 15"}));
    EXPECT_EQ(p.terminated, 1);
    EXPECT_EQ(tsk_fsm_act(p.fsm, 1, &p, nullptr, &p, nullptr), -2);
    EXPECT_EQ(p.terminated, 1);
    // Set back to the start, the machine runs again and reports its next end.
    EXPECT_EQ(tsk_fsm_set_current_state(p.fsm, 0), 0);
    EXPECT_EQ(tsk_fsm_act(p.fsm, 7, &p, nullptr, &p, nullptr), -1); // no row: nothing
    EXPECT_EQ(tsk_fsm_act(p.fsm, 1, &p, nullptr, &p, nullptr), 0);
    EXPECT_EQ(p.terminated, 2);
    tsk_object_unref(p.fsm);
}

} // namespace
