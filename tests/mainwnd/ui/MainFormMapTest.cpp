#include "MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ui/Mapfrm.h"
#include "host/MessageNumbers.h"
#include "tests/support/MapTestPage.h"

#include <QPointer>
#include <QSignalSpy>
#include <QWebEngineView>

using namespace zox::mainwnd;
using zoxtest::EvalInPage;
using zoxtest::ReceivedByPage;
using zoxtest::RunUntil;

namespace {

class NullSource : public IPopupVideoSource {
public:
    int PlayVideo(int, const std::string &, IVideoTile *tile) override
    {
        tile->SetState(ZOX_VIDEOWND_STARTING);
        return 0;
    }
    int MoveVideo(int, const std::string &, IVideoTile *) override { return -1; }
    void StopVideo(int, const std::string &) override {}
    void DetachTile(int, const std::string &, IVideoTile *) override {}
};

class MainMap : public MainFormFixture {
protected:
    void SetUp() override
    {
        MainTestApp();
        pageDir.emplace();
        Build(true, zoxtest::WriteMapTestPage(*pageDir));
        FillCache();
        ShowForm();
        form->ReloadLists();
    }
    void TearDown() override
    {
        while (!form->VideoPopups().empty())
            form->VideoPopups().front()->close();
        form->SetPopupVideoSource(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        MainFormFixture::TearDown();
        pageDir.reset();
    }
    // Creates the map window and waits for its page.
    TMapForm *ShowMap()
    {
        form->ShowMapForm();
        TMapForm *map = form->MapForm();
        if (!map)
            return nullptr;
        QSignalSpy finished(map, &TMapForm::PageLoadFinished);
        if (!RunUntil([&] { return finished.count() > 0; }) || !finished.front().front().toBool())
            return nullptr;
        return map;
    }

    std::optional<zoxtest::TempDir> pageDir;
    NullSource source; // outlives the popups that play from it
};

TEST_F(MainMap, ThePageFollowsTheListsTheTalkBurstsAndTheExtendedDisplay)
{
    TMapForm *map = ShowMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->parentWidget(), form->c_pPanelGisContainer);
    EXPECT_EQ(map->geometry(), form->c_pPanelGisContainer->contentsRect());

    const std::string speaker = "O'Brien\\调度 (100)";
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeServer, 11));
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1003", false));
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeAllUsers, kGroupIdAllUsers));
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeCamera, kGroupIdCamera));
    form->OnTalkBurst(WM_TBCP_TAKEN, 0, speaker);
    form->OnTalkBurst(WM_TBCP_TAKEN, 0, ""); // no name: the page keeps its speaker
    form->OnTalkBurst(WM_TBCP_RELEASE, 0, "");
    form->OnImageSwapWindowClick(); // into the extended display: the map's logo goes
    form->OnImageSwapWindowClick();
    const QJsonArray expected = {QJsonArray{"selectGroup", 11},
                                 QJsonArray{"selectUser", "1003"},
                                 QJsonArray{"selectGroup", 0},
                                 QJsonArray{"selectGroup", 0},
                                 QJsonArray{"setSpeeker", QString::fromUtf8(speaker)},
                                 QJsonArray{"unsetSpeeker"},
                                 QJsonArray{"HideMapLogo"}};
    EXPECT_EQ(ReceivedByPage(map->c_pWebBrowser->page()), expected);
}

TEST_F(MainMap, APreviewFromThePageOpensThePopupOfTheFirstVehicle)
{
    form->SetPopupVideoSource(&source);
    TMapForm *map = ShowMap();
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(EvalInPage(map->c_pWebBrowser->page(), "window.external.IDocInterface('2501', '1002,1003'); true"));
    ASSERT_TRUE(RunUntil([&] { return !form->VideoPopups().empty(); }, 10000));
    ASSERT_EQ(form->VideoPopups().size(), 1u);
    EXPECT_EQ(form->VideoPopups().front()->GetUserType(), kUserTypeVehicle);
    EXPECT_EQ(form->VideoPopups().front()->GetNumber(), "1002");
}

TEST_F(MainMap, ANewMapWindowReplacesTheOldOne)
{
    QPointer<TMapForm> first = ShowMap();
    ASSERT_TRUE(first);
    TMapForm *second = ShowMap();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(form->c_pPanelGisContainer->findChildren<TMapForm *>().size(), 1);
    EXPECT_TRUE(second->SelectUser("1001"));
}

} // namespace
