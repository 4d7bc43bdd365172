// The user pickers and the status bar of the Chinese-language build: titles, faces,
// the "All user" node, and the texts of the status panes.
#include "console/ui/Adduserfrm.h"
#include "console/ui/FontSetup.h"
#include "console/ui/Forwardvideofrm.h"
#include "dispatch/CallStatusText.h"
#include "tests/support/FakeDispatchReads.h"
#include "tests/support/UiApp.h"

#include <QLabel>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

TEST(ChinesePickers, TitlesFacesAndAllUserNode)
{
    zoxtest::uiApp();
    zox::skin::InstallFontSubstitutions();
    zoxtest::FakeDispatchReads cache;
    cache.Add("1001", "张三");
    TAddUserForm add(nullptr, &cache);
    EXPECT_EQ(add.c_pLabelTitle->text(), QString::fromUtf8("添加用户"));
    EXPECT_TRUE(add.c_pLabelTitle->font().bold());
    EXPECT_EQ(add.c_pLabelOK->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(add.c_pLabelCancel->text(), QString::fromUtf8("取消"));
    EXPECT_EQ(add.c_pLabelOK->font().pixelSize(), 12);
    EXPECT_EQ(add.c_pImageClose->toolTip(), QString::fromUtf8("退出"));
    ASSERT_EQ(add.c_pTreeViewUser->topLevelItemCount(), 1);
    EXPECT_EQ(add.c_pTreeViewUser->topLevelItem(0)->text(0), QString::fromUtf8("全体"));
    EXPECT_EQ(add.c_pTreeViewUser->topLevelItem(0)->child(0)->text(0), QString::fromUtf8("张三 (1001)"));

    TForwardVideoForm forward(nullptr);
    EXPECT_EQ(forward.c_pLabelTitle->text(), QString::fromUtf8("选择用户"));
    EXPECT_EQ(forward.c_pLabelTitle->font().family(), QString::fromUtf8("宋体"));
    EXPECT_EQ(forward.c_pImageClose->toolTip(), QString::fromUtf8("退出"));
}

TEST(ChineseStatus, PanesAndObjects)
{
    using namespace zox::call;
    EXPECT_EQ(DispatchStatusFor(1, "", "").status, "语音调度中...");
    EXPECT_EQ(DispatchStatusFor(3, "", "").status, "集群对讲中...");
    EXPECT_EQ(UserObjectText("张三"), "用户：张三");
    EXPECT_EQ(AdHocGroupObjectText(), "群组：临时群组");
    EXPECT_EQ(BargeUserObjectText("张三"), "用户：张三");
    EXPECT_EQ(OperationSpeakerText(EN_ZOX_OPERATION_TEXT::Monitoring), "监听中...");
}

} // namespace
