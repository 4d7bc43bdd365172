// Loading the program's own pictures by name into an image control.
#include "core/ui/PngResource.h"

#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPixmap>


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
