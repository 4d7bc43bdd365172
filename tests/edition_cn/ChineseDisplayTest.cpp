// What the Chinese-language build shows without a window: the talk-burst texts of the
// speaker pane, the decline countdown of the two alerts, and the pitch of the
// quick-action bar.
#include "console/OperateBarLayout.h"
#include "core/EditionText.h"
#include "dispatch/IncomingSignalling.h"
#include "host/MessageNumbers.h"

#include <gtest/gtest.h>

#include <string>

TEST(ChineseSpeakerPane, TalkBurstTextsPutTheSpeakerFirst)
{
    struct Case {
        uint32_t message;
        uintptr_t wParam;
        const char *speaker;
        const char *text;
    };
    const Case cases[] = {
        {WM_TBCP_IDLE, 1, "", "监听中..."},
        {WM_TBCP_IDLE, 0, "", "请按键讲话..."},
        {WM_TBCP_TAKEN, 0, "张伟", "张伟 占用中..."},
        // A name is shown as it came, never read as a pattern.
        {WM_TBCP_TAKEN, 0, "%s 100%", "%s 100% 占用中..."},
        {WM_TBCP_TAKEN, 0, "", "占用中..."},
        {WM_TBCP_GRANTED, 0, "", "请讲话..."},
        {WM_TBCP_DENY, 0, "", "请稍后再试..."},
        {WM_TBCP_RELEASE, 0, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.speaker);
        std::string text = "stale";
        ASSERT_TRUE(SpeakerPaneText(c.message, c.wParam, c.speaker, text)) << c.message;
        EXPECT_EQ(text, c.text) << c.message;
    }
}

TEST(ChineseAlerts, DeclineCountdownAlwaysShowsTwoDigits)
{
    const struct {
        int seconds;
        const char *text;
    } cases[] = {{30, "拒绝(30)"}, {10, "拒绝(10)"}, {9, "拒绝(09)"}, {1, "拒绝(01)"}, {0, "拒绝(00)"}, {-3, "拒绝(00)"}};
    for (const auto &c : cases)
        EXPECT_EQ(ZoxDeclineCountdown(c.seconds), QString::fromUtf8(c.text)) << c.seconds;
}

TEST(ChineseQuickActions, NarrowerButtonsFitMoreOnAPage)
{
    using namespace zox::mainwnd;
    EXPECT_EQ(kOperateButtonWidth, 72);
    struct Case {
        int avail; // between the two 45-pixel arrows
        int count;
        int perPage;
        int firstLeft;
    };
    const Case cases[] = {
        // (500 - 10) / 82 = 5 a page, centred: (500 - 5 * 82 + 10) / 2 + 45.
        {500, 14, 5, 45 + 50},
        // Three buttons fit: centred in the free space.
        {500, 3, 3, 45 + (500 - 3 * 82 + 10) / 2},
        // 256 holds three at the Chinese pitch (two at the English one).
        {256, 14, 3, 45 + (256 - 3 * 82 + 10) / 2},
        {92, 14, 1, 45 + (92 - 82 + 10) / 2},
        {92, 0, 0, 45 + (92 + 10) / 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.avail);
        const OperateBarLayout l = LayoutOperateBar(c.avail + 90, 45, 45, c.count, 0);
        EXPECT_EQ(l.perPage, c.perPage);
        ASSERT_EQ(static_cast<int>(l.lefts.size()), c.perPage);
        for (int i = 0; i < c.perPage; ++i)
            EXPECT_EQ(l.lefts[i], c.firstLeft + 82 * i);
        if (c.perPage > 0) {
            EXPECT_LE(l.lefts.back() + kOperateButtonWidth, c.avail + 45);
        }
    }
}
