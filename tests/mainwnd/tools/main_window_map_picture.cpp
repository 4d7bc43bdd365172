// Draws docs/main-window-map.png: the main window with a map page of its own (a local
// file) in the lower-left panel, a group and a user selected and a speaker shown on
// the map. A program run by hand (README: "Pictures"), not a test:
//
//   build/bin/main_window_map_picture [<file>]   # default: docs/main-window-map.png
#include "tests/mainwnd/ui/MainFormFixture.h"

#include "console/MainListRules.h"
#include "console/ui/Mapfrm.h"
#include "host/MessageNumbers.h"
#include "tests/support/MapTestPage.h"

#include <QImage>
#include <QSignalSpy>
#include <QWebEngineView>

using namespace zox::mainwnd;

namespace {

std::string g_out = ZOX_SOURCE_DIR "/docs/main-window-map.png";

class MapPicture : public MainFormFixture {};

TEST_F(MapPicture, Picture)
{
    MainTestApp();
    zoxtest::TempDir pageDir;
    Build(true, zoxtest::WriteMapTestPage(pageDir));
    FillCache();
    form->setWindowState(Qt::WindowNoState);
    form->resize(1366, 768);
    ShowForm();
    form->ReloadLists();
    form->ShowMapForm();
    TMapForm *map = form->MapForm();
    ASSERT_NE(map, nullptr);
    QSignalSpy finished(map, &TMapForm::PageLoadFinished);
    ASSERT_TRUE(zoxtest::RunUntil([&] { return finished.count() > 0; }));
    ASSERT_TRUE(finished.front().front().toBool());
    ASSERT_TRUE(form->SelectGroupCell(kGroupTypeServer, 11));
    ASSERT_TRUE(form->SelectUserCell(kUserTypeDispatch, "1003", true));
    form->OnTalkBurst(WM_TBCP_TAKEN, 0, "Unit 1003 (1003)");
    // the page has drawn what the scripts changed
    ASSERT_TRUE(zoxtest::RunUntil([&] { return zoxtest::ReceivedByPage(map->c_pWebBrowser->page()).size() >= 3; }));
    zoxtest::RunUntil([] { return false; }, 500);
    const QImage image = form->grab().toImage();
    ASSERT_EQ(image.size(), QSize(1366, 768));
    ASSERT_TRUE(image.save(QString::fromStdString(g_out))) << g_out;
    std::printf("wrote %s\n", g_out.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        g_out = argv[1];
    return RUN_ALL_TESTS();
}
