// The operate bar of the main window: which buttons show for the selection, where they
// go, the slide arrows; the task buttons and the chat indicator.
#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/OperateBarLayout.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TGroupCellCtrl.h"
#include "console/ui/TMultiImageCtrl.h"
#include "console/ui/TUserCellCtrl.h"

#include <QLabel>

using namespace zox::mainwnd;

namespace {

class OperateBar : public MainFormFixture {
protected:
    void SetUp() override
    {
        Build(false);
        FillCache(6);
        form->ReloadLists();
        ShowForm();
    }
    std::vector<QString> Captions()
    {
        std::vector<QString> out;
        for (TButtonCtrl *b : form->VisibleOperateButtons())
            out.push_back(b->Caption()->text());
        return out;
    }
    void ExpectLayout(const char *what)
    {
        const auto &v = form->VisibleOperateButtons();
        const OperateBarLayout l = LayoutOperateBar(form->c_pPanelOperateCtrl->width(), 45, 45,
                                                    static_cast<int>(v.size()), form->GetPageIndex());
        for (int i = 0; i < static_cast<int>(v.size()); ++i) {
            EXPECT_EQ(v[i]->isVisible(), l.IsShown(i)) << what << " " << i;
            if (l.IsShown(i)) {
                EXPECT_EQ(v[i]->pos(), QPoint(l.lefts[i - l.first], 10)) << what << " " << i;
            }
        }
        EXPECT_EQ(form->c_pImageSlideLeft->isEnabled(), l.leftArrowEnabled) << what;
        EXPECT_EQ(form->c_pImageSlideRight->isEnabled(), l.rightArrowEnabled) << what;
    }
};

TEST_F(OperateBar, ButtonsFollowTheSelectionKind)
{
    EXPECT_TRUE(form->VisibleOperateButtons().empty());
    TGroupCellCtrl *g = nullptr;
    for (TGroupCellCtrl *t : form->GroupCells())
        if (t->GetGroupId() == 11)
            g = t;
    g->OnClickHandler(g);
    EXPECT_EQ(Captions(), (std::vector<QString>{"Video Push", "Stop Video", "PTT Call", "Join PTT", "REL PTT",
                                                "Voice CONF", "Video CONF", "REL CONF", "Add User", "IM"}));
    ExpectLayout("group");
    form->UserCells()[0]->OnClickHandler(form->UserCells()[0]);
    EXPECT_EQ(form->VisibleOperateButtons().size(), 14u);
    EXPECT_EQ(Captions().front(), "Video Push");
    EXPECT_EQ(Captions().back(), "IM");
    ExpectLayout("user");
}

TEST_F(OperateBar, PagingKeepsItsIndexAcrossSelections)
{
    form->OnImageMaxClick(); // a normal window we can size
    form->resize(800, 600);
    QCoreApplication::processEvents();
    form->SelectGroupCell(kGroupTypeServer, 11);
    form->UserCells()[0]->OnClickHandler(nullptr);
    ASSERT_EQ(form->VisibleOperateButtons().size(), 14u);
    const OperateBarLayout l = LayoutOperateBar(form->c_pPanelOperateCtrl->width(), 45, 45, 14, 0);
    ASSERT_LT(l.perPage, 14) << "the bar must page at this width";
    ExpectLayout("page 0");
    form->OnUpdateTimerOut();
    ExpectLayout("page 0 after a refresh");
    for (int i = 0; i < 20; ++i)
        form->OnImageSlideRightClick();
    EXPECT_EQ(form->GetPageIndex(), 13);
    ExpectLayout("last page");
    // A group selection shows its last actions; the page index stays.
    form->SelectGroupCell(kGroupTypeServer, 11);
    EXPECT_EQ(form->GetPageIndex(), 13);
    ExpectLayout("group after paging");
    // The refresh keeps the bar as laid out: no paged-out button comes back.
    form->OnUpdateTimerOut();
    ExpectLayout("group after a refresh");
    form->OnImageSlideLeftClick();
    EXPECT_EQ(form->GetPageIndex(), 12);
    ExpectLayout("one left");
    for (int i = 0; i < 20; ++i)
        form->OnImageSlideLeftClick();
    EXPECT_EQ(form->GetPageIndex(), 0);
    ExpectLayout("first page");
    EXPECT_FALSE(form->c_pImageSlideLeft->isEnabled());
}

TEST_F(OperateBar, TaskButtonsAndChatIndicator)
{
    EXPECT_EQ(form->c_pPanelDispatchCtrl->width(), 264);
    for (int i = 0; i < TMainForm::kTaskButtonCount; ++i)
        ASSERT_NE(form->TaskButton(i).button, nullptr);
    EXPECT_EQ(form->GetChatImageName(), "IMG_CHAT_OFFLINE_NORMAL");
    // Not logged in: the timer leaves the button alone.
    bool running = false, bridge = false;
    form->SetRunningTest([&] { return running; });
    form->SetBridgeReadyTest([&] { return bridge; });
    form->OnChatTimerOut();
    EXPECT_EQ(form->GetChatImageName(), "IMG_CHAT_OFFLINE_NORMAL");
    running = true;
    bridge = true;
    form->OnChatTimerOut();
    EXPECT_EQ(form->GetChatImageName(), "IMG_CHAT_ONLINE_NORMAL");
    EXPECT_EQ(form->TaskButton(0).button->ForegroundNames()[1], "IMG_CHAT_ONLINE_NORMAL");
}

} // namespace
