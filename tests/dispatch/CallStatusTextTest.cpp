// The texts of the status bar: what each call kind shows, and the object and
// operation texts the calls write.
#include "core/Edition.h"
#include "dispatch/CallStatusText.h"

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

} // namespace
