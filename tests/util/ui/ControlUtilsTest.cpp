// Swapping control bounds and comparing lists of controls.
#include "core/ui/ControlUtils.h"

#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>


TEST(ControlUtils, SwapBounds)
{
    zoxtest::uiApp();
    QWidget parent;
    QWidget a(&parent), b(&parent);
    a.setGeometry(1, 2, 30, 40);
    b.setGeometry(100, 200, 50, 60);
    SwapControlBounds(&a, &b);
    EXPECT_EQ(a.geometry(), QRect(100, 200, 50, 60));
    EXPECT_EQ(b.geometry(), QRect(1, 2, 30, 40));
    SwapControlBounds(&a, nullptr);
    SwapControlBounds(nullptr, &b);
    EXPECT_EQ(a.geometry(), QRect(100, 200, 50, 60));
}

TEST(ControlUtils, CopyAndCompareLists)
{
    zoxtest::uiApp();
    QWidget w1, w2, w3;
    ControlList src = {&w1, &w2, &w3};
    ControlList dst = {&w3};
    EXPECT_EQ(CopyControlList(src, dst), 3u);
    EXPECT_EQ(dst, src);
    EXPECT_TRUE(SameControlList(src, dst));
    EXPECT_TRUE(SameControlList({}, {}));
    EXPECT_FALSE(SameControlList({&w1, &w2}, {&w2, &w1}));
    EXPECT_FALSE(SameControlList({&w1}, {&w1, &w1}));
    EXPECT_EQ(CopyControlList(src, src), 3u);
    EXPECT_EQ(src.size(), 3u);
}
