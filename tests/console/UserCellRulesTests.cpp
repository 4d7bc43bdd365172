// What a user cell shows for (register, call, video) state, where its icons sit, and
// how its captions are shortened.
#include "console/UserCellRules.h"
#include "core/Edition.h"

#include <gtest/gtest.h>

using namespace zox::skin;

TEST(UserCellRules, IconsFromStates)
{
    struct Case {
        unsigned reg;
        std::uint32_t call, vp;
        int presence, callIcon, video;
    } cases[] = {
        {1, 0, 0, kPresenceOnline, 0, 0},
        {0, 0, 0, kPresenceOffline, 0, 0},
        {3, 0, 0, kPresenceDisabled, 0, 0},
        {0, 0x00000003, 0x10000003, kPresenceOffline, 0, 0},  // offline hides call and video
        {3, 0x00030003, 0x10000001, kPresenceDisabled, 0, 0}, // disabled hides them too
        {1, 0x00000100, 0, kPresenceHidden, kCallIconPtt, 0},
        {2, 0x00030000, 0x10000003, kPresenceHidden, kCallIconBusy, 3},
        {1, 0x00000001, 0, kPresenceHidden, kCallIconOutgoing, 0},
        {1, 0x00000002, 0, kPresenceHidden, kCallIconIncoming, 0},
        {1, 0x00020000, 0, kPresenceHidden, kCallIconIncoming, 0},
        {1, 0x00000103, 0, kPresenceHidden, kCallIconBusy, 0},     // voice wins over PTT
        {1, 0x00010002, 0, kPresenceHidden, kCallIconOutgoing, 0}, // outgoing is the first rule
        {1, 0x00000200, 0, kPresenceOnline, 0, 0},                 // unknown PTT byte: nothing
        {1, 0x00000004, 0, kPresenceOnline, 0, 0},
        {1, 0, 0x10000001, kPresenceHidden, 0, 1},
        {1, 0, 0x10000002, kPresenceHidden, 0, 2},
        {1, 0, 0x10000000, kPresenceOnline, 0, 0},
        {1, 0, 0x00000001, kPresenceOnline, 0, 0},
        {255, 0, 0, kPresenceOnline, 0, 0},
    };
    for (const Case &c : cases) {
        const UserCellIcons got = UserCellIconsOf(static_cast<std::uint8_t>(c.reg), c.call, c.vp);
        EXPECT_EQ(got, (UserCellIcons{c.presence, c.callIcon, c.video}))
            << "reg " << c.reg << " call " << std::hex << c.call << " vp " << c.vp;
    }
}

TEST(UserCellRules, IconPicturesAndHints)
{
    // The hints are the edition's own texts.
    auto T = [](const char *en, const char *cn) { return zox::edition::kChinese ? cn : en; };
    struct Case {
        CellIcon got;
        bool visible;
        const char *hint, *picture;
    } cases[] = {
        {PresenceIconOf(0), true, T("Online", "在线"), "IMG_PRESENCE_ONLINE"},
        {PresenceIconOf(1), true, T("Offline", "离线"), "IMG_PRESENCE_INVISIBLE"},
        {PresenceIconOf(2), true, T("Disabled", "禁用"), "IMG_PRESENCE_INVISIBLE"},
        {PresenceIconOf(3), false, "", ""},
        {PresenceIconOf(-1), false, "", ""},
        {CallIconOf(0), false, "", ""},
        {CallIconOf(1), true, T("Outgoing Call", "呼出"), "IMG_PHONE_CALL_OUTGOING"},
        {CallIconOf(2), true, T("Incoming Call", "来电"), "IMG_PHONE_CALL_INCOMING"},
        {CallIconOf(3), true, T("In Call", "通话"), "IMG_PHONE_CALL_BUSY"},
        {CallIconOf(4), true, T("In PTT Call", "对讲"), "IMG_AUDIO_DISPATCH"},
        {CallIconOf(5), false, "", ""},
        {VideoIconOf(1), true, T("Video Upload", "视频上传"), "IMG_VIDEO_UPLOAD"},
        {VideoIconOf(2), true, T("Video Download", "视频下载"), "IMG_VIDEO_DOWNLOAD"},
        {VideoIconOf(3), true, T("Two-way Video", "视频上传下载"), "IMG_VIDEO_BOTHTRANS"},
        {VideoIconOf(4), false, "", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.got, (CellIcon{c.visible, c.hint, c.picture})) << c.hint << c.picture;
}

TEST(UserCellRules, IconLayoutOnTheTile)
{
    struct Case {
        std::array<bool, 3> visible;
        int lefts[3]; // -1: not placed
    } cases[] = {
        {{true, false, false}, {88, -1, -1}},
        {{false, true, false}, {-1, 88, -1}},
        {{false, true, true}, {-1, 75, 101}}, // total 50: 50 + (100 - 50) / 2
        {{true, true, true}, {62, 88, 114}},  // total 76: 50 + 24 / 2
        {{false, false, false}, {-1, -1, -1}},
    };
    for (const Case &c : cases) {
        const UserCellLayout l = LayoutUserCell(150, 60, c.visible);
        EXPECT_EQ(l.nameLabel, (Rect{50, 0, 100, 36}));
        for (int i = 0; i < 3; ++i) {
            if (c.lefts[i] < 0)
                continue;
            EXPECT_EQ(l.icons[i], (Rect{c.lefts[i], 36, 24, 21})) << i;
        }
    }
    // A narrow tile centres with truncation towards zero (negative half widths too).
    const UserCellLayout narrow = LayoutUserCell(75, 60, {true, true, true});
    EXPECT_EQ(narrow.icons[0].left, 50 + (25 - 76) / 2);
}

TEST(UserCellRules, CaptionsCountCharacters)
{
    struct Case {
        std::string name, number, caption;
    } cases[] = {
        {"", "", ""},
        {"Dispatcher12", "5001", "Dispatcher12"},         // 12: whole
        {"Dispatcher123", "5001", "Dispatcher..."},       // 13: ten and dots
        {"北京市公安局交通管理局", "5001", "北京市公安局交通管理局"}, // 11 characters, 33 bytes
        {"北京市公安局交通管理局指挥", "5001", "北京市公安局交通管理..."},
        {"Zoë Müller-Lüdenscheid", "5001", "Zoë Müller..."},
        {"", "50012345678901", "5001234567..."},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(UserCellCaption(c.name, c.number), c.caption) << c.name;
        if (!c.name.empty()) {
            EXPECT_EQ(GroupCellCaption(c.name), c.caption) << c.name;
        }
    }
}

TEST(UserCellRules, CaptionsHintsAndTip)
{
    EXPECT_EQ(UserCellCaption("North Station", "5001"), "North Stat...");
    EXPECT_EQ(UserCellHint("North", "5001"), "North (5001)");
    EXPECT_EQ(UserCellHint("", "5001"), "");
    EXPECT_EQ(UserCellHint("5001", "5001"), "");
    EXPECT_EQ(UserCellHint("north", "North"), "north (North)"); // case-sensitive
    EXPECT_EQ(GroupCellCaption("Emergency Team East"), "Emergency ...");
    EXPECT_EQ(MakeUserTip("Li Wei", "5001", "Traffic", "P123"), "Li Wei (5001)\r\nTraffic (P123)");
}
