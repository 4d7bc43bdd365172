// The main window's quick actions and status bar: buttons enabled by their tests as the
// selection and the cache change, the bar laid out only when its list changes, the
// task buttons' tests, and the panes of a call kind.
#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/QuickActions.h"
#include "console/ui/Callprogressfrm.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TMultiImageCtrl.h"
#include "tests/support/FakeDispatchReads.h"

using namespace zox::mainwnd;
using namespace zox::quick;

namespace {

class QuickActionBar : public MainFormFixture {
protected:
    void SetUp() override
    {
        Build(false);
        FillCache(6); // 1001..1006, 1001 and 1004 offline; group 11: 1001, 1003, 1005
        form->ReloadLists();
        form->SetQuickActionCache(&reads);
        Mirror();
        ShowForm();
    }
    // The quick actions read the same rows as the lists.
    void Mirror()
    {
        reads.users = cache.users;
        reads.groups = cache.groups;
        reads.members = cache.members;
    }
    void SetCallState(const std::string &number, uint32_t callState)
    {
        cache.User(number)->callState = callState;
        Mirror();
    }
    bool Enabled(int entry) { return form->OperateEntry(entry).button->IsPictureEnabled(); }

    zoxtest::FakeDispatchReads reads;
};

TEST_F(QuickActionBar, ButtonsFollowTheSelectionAndTheCache)
{
    form->SelectGroupCell(kGroupTypeServer, 11);
    EXPECT_TRUE(Enabled(kQuickGroupPttCall));
    EXPECT_TRUE(Enabled(kQuickGroupVoiceConf));
    EXPECT_FALSE(Enabled(kQuickGroupJoinPtt));
    EXPECT_FALSE(Enabled(kQuickGroupRelConf));
    // Both available members get into calls: the next refresh turns the group call off.
    SetCallState("1003", 0x00000003);
    SetCallState("1005", 0x00000100);
    RefreshTick(*form);
    EXPECT_FALSE(Enabled(kQuickGroupPttCall));
    EXPECT_FALSE(Enabled(kQuickGroupVoiceConf));

    // The selected user's row is read again on each refresh.
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1003", false));
    EXPECT_TRUE(Enabled(kQuickUserHangup));
    EXPECT_TRUE(Enabled(kQuickUserIntrusion)); // the console's priority level 8 is above 2
    SetCallState("1003", 0x00000001); // calling out: nothing to hang up or intrude into yet
    RefreshTick(*form);
    EXPECT_FALSE(Enabled(kQuickUserHangup));
    EXPECT_FALSE(Enabled(kQuickUserIntrusion));
    EXPECT_TRUE(Enabled(kQuickUserUeKill));
    EXPECT_FALSE(Enabled(kQuickUserUeRevive));
}

TEST_F(QuickActionBar, LaidOutOnlyWhenTheShownListChanges)
{
    form->SelectGroupCell(kGroupTypeServer, 11);
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1003", false));
    TButtonCtrl *first = form->VisibleOperateButtons().front();
    const QPoint placed = first->pos();
    // A mark that a layout would undo.
    first->move(placed + QPoint(3, 0));
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1005", false));
    RefreshTick(*form);
    EXPECT_EQ(first->pos(), placed + QPoint(3, 0)) << "the same list of buttons keeps its places";

    form->SelectGroupCell(kGroupTypeServer, 11);
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1005", false));
    EXPECT_EQ(first->pos(), placed) << "switching to the group and back lays the bar out again";
}

TEST_F(QuickActionBar, TaskButtonTests)
{
    form->UpdateOperateButtons();
    auto taskEnabled = [&](int i) { return form->TaskButton(i).button->IsPictureEnabled(); };
    EXPECT_TRUE(taskEnabled(kTaskChat));
    EXPECT_FALSE(taskEnabled(kTaskEndCalls));
    EXPECT_FALSE(taskEnabled(kTaskSpeak));
    EXPECT_TRUE(taskEnabled(kTaskDial));

    // The dial pad is not offered while a call's progress fills the prompt panel.
    auto *progress = new TCallProgressForm(form.get());
    progress->ShowInPanel(form->c_pPanelPrompt);
    form->UpdateOperateButtons();
    EXPECT_FALSE(taskEnabled(kTaskDial));
    EXPECT_TRUE(taskEnabled(kTaskChat));
    progress->HideFromPanel();
    form->UpdateOperateButtons();
    EXPECT_TRUE(taskEnabled(kTaskDial));
    delete progress;
}

TEST_F(QuickActionBar, StatusPanesOfACallKind)
{
    struct Case {
        int kind;
        bool picture;
        QString status, object, speaker;
    };
    const Case cases[] = {
        {3, true, "PTT Calling ...", "Group: Patrol North", "Apply right to speak"},
        {1, true, "Voice Calling ...", "Group: Patrol North", "Apply right to speak"},
        {0, false, "", "", ""},
        {2, true, "Video Calling ...", "Group: Patrol North", "Apply right to speak"},
        {7, false, "", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.kind);
        form->ShowDispatchStatus(c.kind, "Group: Patrol North", "Apply right to speak");
        EXPECT_EQ(!form->c_pImageDispatchStatus->isHidden(), c.picture);
        EXPECT_EQ(form->c_pStatusPaneStatus->text(), c.status);
        EXPECT_EQ(form->c_pStatusPaneObject->text(), c.object);
        EXPECT_EQ(form->c_pStatusPaneSpeaker->text(), c.speaker);
    }
    // The speaker pane alone.
    form->ShowDispatchStatus(3, "Group: Patrol North", "");
    form->SetSpeakerText("Please speak");
    EXPECT_EQ(form->c_pStatusPaneObject->text(), "Group: Patrol North");
    EXPECT_EQ(form->c_pStatusPaneSpeaker->text(), "Please speak");
}

} // namespace
