// Draws docs/main-window.png: the main window after a real login against the fake
// dispatch server, with state notices of every kind shown on the tiles. A program run
// by hand (README: "Pictures"), not a test; it needs the tests' MariaDB:
//
//   scripts/mariadb-private.sh start build/test-db --test
//   build/bin/main_window_picture [<file>]      # default: docs/main-window.png
#include "tests/mainwnd/ui/MainAfterLogin.h"

#include <QImage>

using namespace zox::mainwnd;
using namespace zoxtest;

namespace {
std::string g_out = ZOX_SOURCE_DIR "/docs/main-window.png";
} // namespace

TEST_F(MainAfterLogin, Picture)
{
    ASSERT_NO_FATAL_FAILURE(LogIn());
    Notice("3002", 1, 0x00000100, 0);
    Notice("3003", 1, 0x00000100, 0);
    Notice("3005", 1, 0x00000003, 0);
    Notice("3006", 1, 0x00000001, 0);
    Notice("3007", 1, 0, 0x10000001);
    Notice("3009", 1, 0x00030000, 0x10000003);
    Notice("3010", 3, 0, 0);
    Notice("3012", 1, 0x00000002, 0);
    Notice("3013", 1, 0, 0x10000002);
    mainForm->setWindowState(Qt::WindowNoState);
    mainForm->resize(1366, 768);
    ASSERT_TRUE(mainForm->SelectGroupCell(kGroupTypeServer, 11));
    ASSERT_TRUE(mainForm->SelectUserCell(kUserTypeDispatch, "3005", true));
    mainForm->OnUpdateTimerOut(); // the tiles take the notices
    QCoreApplication::processEvents();
    const QImage image = mainForm->grab().toImage();
    ASSERT_EQ(image.size(), QSize(1366, 768));
    ASSERT_TRUE(image.save(QString::fromStdString(g_out))) << g_out;
    std::printf("wrote %s\n", g_out.c_str());
}

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        g_out = argv[1];
    return RUN_ALL_TESTS();
}
