// Loading the program's own pictures by name into an image control.
#include "core/ui/PngResource.h"

#include "core/Log.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPixmap>

#include <regex>


TEST(PngResource, LoadsByNameAndClears)
{
    zoxtest::uiApp();
    QLabel label;
    LoadPngResource(&label, QStringLiteral("IMG_TEST_DOT"));
    ASSERT_FALSE(label.pixmap().isNull());
    EXPECT_EQ(label.pixmap().size(), QSize(3, 2));

    // Empty name: emptied and left blank.
    LoadPngResource(&label, QString());
    EXPECT_TRUE(label.pixmap().isNull());

    // Unknown name: blank, no crash.
    LoadPngResource(&label, QStringLiteral("IMG_TEST_DOT"));
    LoadPngResource(&label, QStringLiteral("IMG_NO_SUCH_PICTURE"));
    EXPECT_TRUE(label.pixmap().isNull());
    LoadPngResource(&label, QStringLiteral("../etc/passwd"));
    EXPECT_TRUE(label.pixmap().isNull());
    LoadPngResource(nullptr, QStringLiteral("IMG_TEST_DOT"));
}

// The console's own log lines carry a lower-case component prefix and nothing else.
TEST(PngResource, AMissingPictureIsLoggedWithALowerCasePrefix)
{
    zoxtest::uiApp();
    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    OpenLogAtStart("V-test");
    QLabel label;
    LoadPngResource(&label, QStringLiteral("IMG_NO_SUCH_PICTURE"));
    CloseLogFile();

    const std::string log = dir.read("log/log.txt");
    const std::size_t second = log.find('\n') + 1;
    ASSERT_LT(second, log.size());
    const std::string line = log.substr(second);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(line, m, std::regex(">>([^\n]*)\n")));
    EXPECT_TRUE(std::regex_match(m.str(1), std::regex("[a-z][a-z-]*: .*IMG_NO_SUCH_PICTURE"))) << m.str(1);
}
