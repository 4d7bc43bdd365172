// User and group cells: icons for the target's state, captions and hints, selection
// and clicks.
#include "UiTestApp.h"

#include "console/ui/TGroupCellCtrl.h"
#include "console/ui/TUserCellCtrl.h"
#include "core/Edition.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>

class Cells : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiApp();
        host = std::make_unique<QWidget>();
        host->resize(400, 300);
        host->show();
    }
    std::unique_ptr<QWidget> host;
};

namespace {
struct Icons {
    const char *presence, *call, *video; // null: hidden
};

void ExpectIcons(TUserCellCtrl &cell, const Icons &want, const char *what)
{
    const struct {
        QLabel *icon;
        const char *name;
    } rows[] = {{cell.PresenceIcon(), want.presence}, {cell.CallIcon(), want.call}, {cell.VideoIcon(), want.video}};
    for (const auto &r : rows) {
        EXPECT_EQ(!r.icon->isHidden(), r.name != nullptr) << what;
        if (r.name) {
            EXPECT_TRUE(Shows(r.icon, r.name)) << what << ": " << r.name;
        }
    }
}
} // namespace

TEST_F(Cells, UserIconsFollowTheState)
{
    auto T = [](const char *en, const char *cn) { return QString::fromUtf8(zox::edition::kChinese ? cn : en); };
    struct Case {
        const char *what;
        unsigned reg;
        std::uint32_t call, vp;
        Icons icons;
        QString hints[3];
    } cases[] = {
        {"online", 1, 0, 0, {"IMG_PRESENCE_ONLINE", nullptr, nullptr}, {T("Online", "在线")}},
        {"offline", 0, 0x3, 0x10000003, {"IMG_PRESENCE_INVISIBLE", nullptr, nullptr}, {T("Offline", "离线")}},
        {"disabled with a call", 3, 0x00030003, 0, {"IMG_PRESENCE_INVISIBLE", nullptr, nullptr}, {T("Disabled", "禁用")}},
        {"PTT", 1, 0x00000100, 0, {nullptr, "IMG_AUDIO_DISPATCH", nullptr}, {"", T("In PTT Call", "对讲")}},
        {"video call with two-way video",
         1,
         0x00030000,
         0x10000003,
         {nullptr, "IMG_PHONE_CALL_BUSY", "IMG_VIDEO_BOTHTRANS"},
         {"", T("In Call", "通话"), T("Two-way Video", "视频上传下载")}},
        {"incoming", 2, 0x2, 0x10000001, {nullptr, "IMG_PHONE_CALL_INCOMING", "IMG_VIDEO_UPLOAD"},
         {"", T("Incoming Call", "来电"), T("Video Upload", "视频上传")}},
    };
    for (const Case &c : cases) {
        TUserCellCtrl cell(host.get(), 0, "North", "5001", 255, 0, 0);
        cell.UpdateUserState(static_cast<std::uint8_t>(c.reg), c.call, c.vp);
        ExpectIcons(cell, c.icons, c.what);
        QLabel *icons[3] = {cell.PresenceIcon(), cell.CallIcon(), cell.VideoIcon()};
        for (int i = 0; i < 3; ++i) {
            if (!icons[i]->isHidden()) {
                EXPECT_EQ(icons[i]->toolTip(), c.hints[i]) << c.what;
            }
        }
    }
    // Two icons sit centred together under the name.
    TUserCellCtrl both(host.get(), 0, "North", "5001", 1, 0x00030000, 0x10000003);
    EXPECT_EQ(both.CallIcon()->geometry(), QRect(75, 36, 24, 21));
    EXPECT_EQ(both.VideoIcon()->geometry(), QRect(101, 36, 24, 21));
    TUserCellCtrl one(host.get(), 2, "Gate cam", "17", 1, 0, 0);
    EXPECT_EQ(one.PresenceIcon()->geometry(), QRect(88, 36, 24, 21));
    EXPECT_EQ(one.NameLabel()->geometry(), QRect(50, 0, 100, 36));
}

TEST_F(Cells, SameStateIsNotRedrawn)
{
    // The last values start as 255, 0, 0: a tile built with them shows nothing.
    TUserCellCtrl fresh(host.get(), 0, "North", "5001", 255, 0, 0);
    ExpectIcons(fresh, {nullptr, nullptr, nullptr}, "initial triple");
    TUserCellCtrl cell(host.get(), 0, "North", "5001", 1, 0, 0);
    cell.SetAudioTalkState(4); // a foreign change the next equal update must not undo
    cell.UpdateUserState(1, 0, 0);
    EXPECT_FALSE(cell.CallIcon()->isHidden());
    cell.UpdateUserState(1, 0x100, 0);
    ExpectIcons(cell, {nullptr, "IMG_AUDIO_DISPATCH", nullptr}, "after a change");
}

TEST_F(Cells, CaptionsAndHints)
{
    TUserCellCtrl noName(host.get(), 0, "", "5001", 1, 0, 0);
    EXPECT_EQ(noName.NameLabel()->text(), "5001");
    EXPECT_FALSE(noName.IsNameHintShown());
    noName.SetUserTip("Li Wei (5001)\r\nTraffic (P1)");
    EXPECT_FALSE(noName.IsNameHintShown()); // a tip shows only where the hint does

    TUserCellCtrl long13(host.get(), 0, "Dispatcher123", "5002", 1, 0, 0);
    EXPECT_EQ(long13.NameLabel()->text(), "Dispatcher...");
    EXPECT_EQ(long13.IsNameHintShown(), !zox::edition::kChinese);
    EXPECT_EQ(long13.NameLabel()->toolTip(), "Dispatcher123 (5002)");
    long13.SetUserTip("");
    EXPECT_EQ(long13.NameLabel()->toolTip(), "Dispatcher123 (5002)");
    long13.SetUserTip("Li Wei (5002)\r\nTraffic (P1)");
    EXPECT_EQ(long13.NameLabel()->toolTip(), "Li Wei (5002)\r\nTraffic (P1)");

    TUserCellCtrl exact(host.get(), 0, "Dispatcher12", "5003", 1, 0, 0);
    EXPECT_EQ(exact.NameLabel()->text(), "Dispatcher12");
    TUserCellCtrl cjk(host.get(), 0, "北京市公安局交通管理局指挥", "5004", 1, 0, 0);
    EXPECT_EQ(cjk.NameLabel()->text(), QString::fromUtf8("北京市公安局交通管理..."));
    TUserCellCtrl same(host.get(), 0, "5005", "5005", 1, 0, 0);
    EXPECT_FALSE(same.IsNameHintShown());

    TGroupCellCtrl group(host.get(), 1, 12, "Emergency Team East", "9001");
    EXPECT_EQ(group.Label()->text(), "Emergency ...");
    EXPECT_EQ(group.GetGroupName(), "Emergency Team East");
    EXPECT_EQ(group.GetGroupId(), 12);
    EXPECT_EQ(group.GetGroupType(), 1);
    EXPECT_TRUE(Shows(group.Picture(), "IMG_GROUP_ICON_ONLINE"));
}

TEST_F(Cells, UserClicksSelectionAndDoubleClick)
{
    TUserCellCtrl cell(host.get(), 1, "Truck 7", "7007", 1, 0, 0);
    cell.show();
    std::vector<std::pair<TUserCellCtrl *, bool>> selected;
    int usable = 0;
    cell.SetSelectHandler([&](TUserCellCtrl *t, bool byUser) { selected.emplace_back(t, byUser); });
    cell.SetUsableCheckHandler([&](TUserCellCtrl *t) {
        EXPECT_EQ(t, &cell);
        ++usable;
    });
    // Right click: neither border nor selection.
    QTest::mousePress(&cell, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(cell.IsRaised());
    QTest::mouseRelease(&cell, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(cell.IsSelected());
    EXPECT_TRUE(selected.empty());
    // Left: raised while held, selected by the click.
    QTest::mousePress(&cell, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(cell.IsRaised());
    QTest::mouseRelease(&cell, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(cell.IsRaised());
    EXPECT_TRUE(cell.IsSelected());
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_TRUE(selected[0].second);
    // Clicking the selected tile does nothing; a double click checks it.
    QTest::mouseClick(&cell, Qt::LeftButton, {}, QPoint(10, 10));
    DoubleClick(&cell, QPoint(10, 10));
    EXPECT_EQ(selected.size(), 1u);
    EXPECT_EQ(usable, 1);
    // The list deselects and clicks the tile itself.
    cell.SetSelected(false);
    EXPECT_FALSE(cell.IsSelected());
    cell.OnClickHandler(nullptr);
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_FALSE(selected[1].second);
    EXPECT_TRUE(cell.IsSelected());
}

TEST_F(Cells, GroupReclickInformsEveryTime)
{
    TGroupCellCtrl group(host.get(), 0, 0xFFFF, "All user", "");
    group.show();
    int informed = 0;
    group.SetSelectHandler([&](TGroupCellCtrl *, bool byUser) {
        EXPECT_TRUE(byUser);
        ++informed;
    });
    QTest::mouseClick(&group, Qt::LeftButton, {}, QPoint(60, 30));
    QTest::mouseClick(&group, Qt::LeftButton, {}, QPoint(60, 30));
    EXPECT_EQ(informed, 2);
    EXPECT_TRUE(group.IsSelected());
    QTest::mouseClick(&group, Qt::RightButton, {}, QPoint(60, 30));
    EXPECT_EQ(informed, 2);
    // A double click is one click.
    DoubleClick(&group, QPoint(60, 30));
    EXPECT_EQ(informed, 3);
}
