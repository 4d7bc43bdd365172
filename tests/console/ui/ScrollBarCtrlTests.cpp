// The scroll bar window: arrows, track and thumb drive the position and notify the
// owner; degenerate hosts neither hang nor crash.
#include "UiTestApp.h"

#include "console/PictureState.h"
#include "console/ui/TScrollBarCtrl.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>

using namespace zox::skin;

class ScrollBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiApp();
        host = std::make_unique<QWidget>();
        host->resize(200, 400);
        bar = new TScrollBarCtrl(host.get());
        bar->setGeometry(0, 0, 14, 190); // track 190 - 2 - 24 = 164
        bar->SetScrollHandler([this](TScrollBarCtrl *s) {
            EXPECT_EQ(s, bar);
            notices.push_back(s->GetPosition());
        });
        host->show();
    }
    std::unique_ptr<QWidget> host;
    TScrollBarCtrl *bar = nullptr;
    std::vector<int> notices;
};

TEST_F(ScrollBar, LayoutAndArrowPictures)
{
    EXPECT_EQ(bar->UpArrow()->geometry(), QRect(1, 1, 12, 12));
    EXPECT_EQ(bar->DownArrow()->geometry(), QRect(1, 177, 12, 12));
    EXPECT_EQ(bar->Track()->geometry(), QRect(1, 13, 12, 164));
    EXPECT_TRUE(Shows(bar->UpArrow(), "IMG_SCROLL_ARROW_UP_NORMAL"));
    SendEnter(bar->DownArrow());
    EXPECT_EQ(bar->GetImageCtrlStatus(bar->DownArrow()), kPictureFocused);
    EXPECT_TRUE(Shows(bar->DownArrow(), "IMG_SCROLL_ARROW_DOWN_FOCUSED"));
    QTest::mousePress(bar->DownArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Shows(bar->DownArrow(), "IMG_SCROLL_ARROW_DOWN_PRESSED"));
    QTest::mouseRelease(bar->DownArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(bar->GetImageCtrlStatus(bar->DownArrow()), kPictureFocused);
    QLabel other(host.get());
    EXPECT_EQ(bar->GetImageCtrlStatus(&other), -1);
}

TEST_F(ScrollBar, ArrowsTrackAndThumb)
{
    bar->SetParams(600, 190, 60, 0); // page 180, max 420, thumb 52
    EXPECT_TRUE(notices.empty());
    EXPECT_EQ(bar->Thumb()->geometry(), QRect(1, 0, 10, 52));

    QTest::mouseClick(bar->DownArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(bar->DownArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(bar->UpArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(notices, (std::vector<int>{60, 120, 60}));
    // Released away from the arrow: no step.
    QTest::mousePress(bar->UpArrow(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(bar->UpArrow(), Qt::LeftButton, {}, QPoint(5, 80));
    EXPECT_EQ(bar->GetPosition(), 60);

    // Track: below the thumb pages down, above pages up.
    notices.clear();
    QTest::mouseClick(bar->Track(), Qt::LeftButton, {}, QPoint(5, 150));
    EXPECT_EQ(bar->GetPosition(), 240);
    QTest::mouseClick(bar->Track(), Qt::LeftButton, {}, QPoint(5, 2));
    EXPECT_EQ(bar->GetPosition(), 60);
    EXPECT_EQ(notices, (std::vector<int>{240, 60}));

    // Drag the thumb to the bottom and beyond the top.
    notices.clear();
    QWidget *thumb = bar->Thumb();
    SendMouse(thumb, QEvent::MouseButtonPress, QPoint(5, 10));
    SendMouse(thumb, QEvent::MouseMove, QPoint(5, 400), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar->GetPosition(), 420);
    EXPECT_EQ(thumb->y(), 164 - 52 - 2);
    SendMouse(thumb, QEvent::MouseMove, QPoint(5, -400), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_EQ(thumb->y(), 0);
    SendMouse(thumb, QEvent::MouseButtonRelease, QPoint(5, -400));
    // Moves without the button held do nothing.
    SendMouse(thumb, QEvent::MouseMove, QPoint(5, 400));
    EXPECT_EQ(bar->GetPosition(), 0);
    EXPECT_EQ(notices, (std::vector<int>{420, 0}));

    // A clamped position notifies; ResetViewport to a row below the view.
    notices.clear();
    bar->SetParams(600, 190, 60, 999);
    bar->ResetViewport(1);
    bar->ResetViewport(1);
    EXPECT_EQ(notices, (std::vector<int>{420, 0}));
}

TEST_F(ScrollBar, CollapsedAndTinyHostsAreSafe)
{
    bar->setGeometry(0, 0, 14, 0); // collapsed host
    bar->SetParams(600, 0, 60, 100);
    bar->ResetViewport(5); // returns, does not loop
    bar->ScrollPageDown();
    EXPECT_EQ(bar->GetPosition(), 100);
    EXPECT_GE(bar->Thumb()->height(), 0);
    bar->setGeometry(0, 0, 14, 20); // smaller than the two arrows
    bar->SetParams(600, 20, 0, 0);
    EXPECT_EQ(bar->Model().ThumbHeight(), 0);
    QTest::mouseClick(bar->DownArrow(), Qt::LeftButton, {}, QPoint(5, 5)); // line 0: nothing
    EXPECT_EQ(bar->GetPosition(), 0);
    SendMouse(bar->Thumb(), QEvent::MouseButtonPress, QPoint(0, 0));
    SendMouse(bar->Thumb(), QEvent::MouseMove, QPoint(0, 50), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(bar->GetPosition(), bar->Model().MaxPosition());
    EXPECT_GE(bar->Thumb()->y(), 0);
}
