// The texts of the status bar: what each call kind shows, and the object and speaker
// texts the calls write.
#include "core/Edition.h"
#include "dispatch/CallStatusText.h"
#include "dispatch/IncomingSignalling.h"
#include "host/MessageNumbers.h"

#include <gtest/gtest.h>

using namespace zox::call;

namespace {

TEST(CallStatusText, PanesByCallKind)
{
    struct Case {
        int kind;
        bool picture;
        const char *status, *object, *speaker;
    };
    const Case cases[] = {
        {1, true, "Voice Calling ...", "User: Alice (1001)", "Press button to speak"},
        {2, true, "Video Calling ...", "User: Alice (1001)", "Press button to speak"},
        {3, true, "PTT Calling ...", "User: Alice (1001)", "Press button to speak"},
        // Any other kind empties every pane, whatever it is given.
        {0, false, "", "", ""},
        {4, false, "", "", ""},
        {-1, false, "", "", ""},
    };
    if (zox::edition::kChinese)
        GTEST_SKIP() << "English wording";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        const DispatchStatusView v = DispatchStatusFor(c.kind, "User: Alice (1001)", "Press button to speak");
        EXPECT_EQ(v.pictureShown, c.picture);
        EXPECT_EQ(v.status, c.status);
        EXPECT_EQ(v.object, c.object);
        EXPECT_EQ(v.speaker, c.speaker);
    }
}

TEST(CallStatusText, ObjectAndOperationTexts)
{
    if (zox::edition::kChinese)
        GTEST_SKIP() << "English wording";
    EXPECT_EQ(UserObjectText("Alice"), "User: Alice");
    EXPECT_EQ(BargeUserObjectText("Alice (1001)"), "User\xEF\xBC\x9A" "Alice (1001)"); // full-width colon
    EXPECT_EQ(GroupObjectText("Patrol"), "Group: Patrol");
    EXPECT_EQ(AdHocGroupObjectText(), "Group: Ad hoc");
    const std::pair<EN_ZOX_OPERATION_TEXT, const char *> ops[] = {
        {EN_ZOX_OPERATION_TEXT::Interrupt, "Interrupt-call"},
        {EN_ZOX_OPERATION_TEXT::ForcedRelease, "Forced REL"},
        {EN_ZOX_OPERATION_TEXT::Monitoring, "Monitoring"},
        {EN_ZOX_OPERATION_TEXT::ApplySpeak, "Apply right to speak"},
        {EN_ZOX_OPERATION_TEXT::ReleaseSpeak, "Release the right to speak"},
    };
    for (const auto &[op, text] : ops)
        EXPECT_EQ(OperationSpeakerText(op), text);
}

TEST(CallStatusText, TalkBurstStatesOfThisBuild)
{
    struct Case {
        EN_ZOX_TALK_STATE state;
        bool monitoring;
        const char *speaker, *english, *chinese;
    };
    const Case cases[] = {
        {EN_ZOX_TALK_STATE::Idle, true, "", "Monitoring...", "监听中..."},
        {EN_ZOX_TALK_STATE::Idle, false, "", "Press button to speak", "请按键讲话..."},
        {EN_ZOX_TALK_STATE::Taken, false, "Driver 7", "Speaker: Driver 7", "Driver 7 占用中..."},
        {EN_ZOX_TALK_STATE::Taken, false, "", "Busy", "占用中..."},
        {EN_ZOX_TALK_STATE::Granted, false, "", "Please speak", "请讲话..."},
        {EN_ZOX_TALK_STATE::Denied, false, "", "Please try again later", "请稍后再试..."},
        {EN_ZOX_TALK_STATE::Cleared, false, "Driver 7", "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TalkBurstSpeakerText(c.state, c.monitoring, c.speaker),
                  zox::edition::kChinese ? c.chinese : c.english)
            << static_cast<int>(c.state);
    // The window messages map onto the same texts; other messages show nothing.
    std::string text = "unchanged";
    EXPECT_TRUE(SpeakerPaneText(WM_TBCP_TAKEN, 0, "Driver 7", text));
    EXPECT_EQ(text, TalkBurstSpeakerText(EN_ZOX_TALK_STATE::Taken, false, "Driver 7"));
    text = "unchanged";
    EXPECT_FALSE(SpeakerPaneText(WM_TBCP_IDLE - 1, 0, "", text));
    EXPECT_EQ(text, "unchanged");
}

} // namespace
