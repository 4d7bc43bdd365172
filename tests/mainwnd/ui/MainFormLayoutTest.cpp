// The main window's frame: modes against what shows and where, full screen and its keys.
#include "MainFormFixture.h"

#include "console/MainWindowLayout.h"
#include "console/ui/Msgtipfrm.h"
#include "video/RtspClient.h"

#include <QSplitter>
#include <QShortcut>

using namespace zox::mainwnd;

namespace {

QRect R(const Rect &r) { return QRect(r.left, r.top, r.width, r.height); }

// The panels of the main client against the pure layout of the window's modes.
void ExpectFrameMatchesModes(TMainForm &f, const char *what)
{
    QWidget *client = f.c_pPanelMainClient;
    const MainWindowGeometry g = LayoutMainClient(f.Modes(), client->width(), client->height());
    EXPECT_EQ(f.c_pPanelTitleBar->isVisible(), g.titleBarVisible) << what;
    EXPECT_EQ(f.c_pSplitterContact->geometry(), R(g.splitter)) << what;
    EXPECT_EQ(f.c_pSplitterContact->isVisible(), g.splitter.width > 0) << what;
    EXPECT_EQ(f.GetLowerLeftPanel()->geometry(), R(g.lowerLeft)) << what;
    EXPECT_EQ(f.c_pPanelRightTop->isVisible(), g.rightTopVisible) << what;
    if (g.rightTopVisible) {
        EXPECT_EQ(f.c_pPanelRightTop->geometry(), R(g.rightTop)) << what;
    }
    EXPECT_EQ(f.GetMainAreaPanel()->geometry(), R(g.mainArea)) << what;
    EXPECT_EQ(f.c_pPanelRightBottom->isVisible(), g.rightBottomVisible) << what;
    if (g.rightBottomVisible) {
        EXPECT_EQ(f.c_pPanelRightBottom->geometry(), R(g.rightBottom)) << what;
    }
    EXPECT_EQ(f.c_pPanelPrompt->geometry(), R(g.prompt)) << what;
    EXPECT_EQ(f.c_pImageLeftVisible->isVisible(), g.leftVisiblePicture) << what;
    EXPECT_EQ(f.c_pImageVideoTitleVisible->isVisible(), g.videoTitlePicture) << what;
    EXPECT_EQ(!f.c_pImageSwitchBottom->isHidden(), g.foldPicture) << what;
    EXPECT_EQ(!f.c_pImageSwapWindow->isHidden(), g.swapPicture) << what;
    if (g.swapPicture) {
        EXPECT_EQ(f.c_pImageSwapWindow->isEnabled(), g.swapPictureEnabled) << what;
    }
}

struct FrameState {
    Qt::WindowStates state;
    MainWindowModes modes;
    QRect splitter, mainArea, rightBottom, lowerLeft;
    QSize size;
    bool operator==(const FrameState &) const = default;
};

FrameState Capture(TMainForm &f)
{
    return {f.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen),
            f.Modes(),
            f.c_pSplitterContact->geometry(),
            f.GetMainAreaPanel()->geometry(),
            f.c_pPanelRightBottom->geometry(),
            f.GetLowerLeftPanel()->geometry(),
            f.size()};
}

class MainFrame : public MainFormFixture {};

TEST_F(MainFrame, ModesAgainstVisibilityAndGeometry)
{
    for (bool map : {true, false}) {
        Build(map);
        ShowForm();
        ASSERT_TRUE(form->isMaximized());
        EXPECT_EQ(form->Modes().mapAvailable, map);
        ExpectFrameMatchesModes(*form, map ? "start with map" : "start without map");
        if (!map) {
            EXPECT_EQ(form->GetLowerLeftPanel()->height(), 0);
            EXPECT_TRUE(form->c_pImageSwitchBottom->isHidden());
        }
        // Every combination of fold and left column, in and out of full screen.
        for (bool fold : {false, true})
            for (bool left : {true, false})
                for (bool full : {false, true}) {
                    if (map && form->IsFolded() != fold)
                        form->OnImageSwitchBottomClick();
                    if (form->IsLeftVisible() != left)
                        form->OnImageLeftVisibleClick();
                    if (full)
                        form->ToggleFullScreen();
                    QCoreApplication::processEvents();
                    const std::string what = std::string(map ? "map" : "nomap") + (fold ? " folded" : "") +
                                             (left ? "" : " left-hidden") + (full ? " full" : "");
                    EXPECT_EQ(form->IsFullScreen(), full) << what;
                    EXPECT_EQ(form->IsLeftVisible(), left && !full) << what;
                    ExpectFrameMatchesModes(*form, what.c_str());
                    if (!left && !full) {
                        // The right side moves to the left edge; the prompt follows.
                        EXPECT_EQ(form->c_pPanelRightTop->x(), 0);
                        EXPECT_EQ(form->GetMainAreaPanel()->x(), 0);
                        EXPECT_EQ(form->c_pPanelRightBottom->x(), 0);
                    }
                    if (full)
                        form->ToggleFullScreen();
                }
        form.reset();
        TearDown();
    }
}

TEST_F(MainFrame, FoldDisablesExtendedDisplayPicture)
{
    Build(true);
    ShowForm();
    EXPECT_TRUE(form->c_pImageSwapWindow->isEnabled());
    EXPECT_EQ(form->GetLowerLeftPanel()->height(), kLowerLeftHeight);
    form->OnImageSwitchBottomClick();
    EXPECT_TRUE(form->IsFolded());
    EXPECT_FALSE(form->c_pImageSwapWindow->isEnabled());
    EXPECT_EQ(form->GetLowerLeftPanel()->height(), 0);
    EXPECT_EQ(form->c_pSplitterContact->height(), form->c_pPanelMainClient->height());
    form->OnImageSwitchBottomClick();
    EXPECT_FALSE(form->IsFolded());
    EXPECT_TRUE(form->c_pImageSwapWindow->isEnabled());
    EXPECT_EQ(form->GetImageCtrlStatus(form->c_pImageSwapWindow), 1);
}

TEST_F(MainFrame, FullScreenRoundTripFromMaximisedAndFromNormal)
{
    Build(true);
    ShowForm();
    for (bool maximised : {true, false}) {
        if (form->isMaximized() != maximised)
            form->OnImageMaxClick();
        QCoreApplication::processEvents();
        ASSERT_EQ(form->isMaximized(), maximised);
        const FrameState before = Capture(*form);
        if (maximised) {
            EXPECT_EQ(form->c_pImageFullScreen->toolTip(), "Full screen"); // as designed, before the first switch
        }
        form->OnImageFullScreenClick();
        QCoreApplication::processEvents();
        EXPECT_TRUE(form->IsFullScreen());
        EXPECT_TRUE(form->isFullScreen());
        EXPECT_FALSE(form->c_pPanelTitleBar->isVisible());
        EXPECT_EQ(form->c_pImageFullScreen->toolTip(), "Exit full screen");
        // The wall's panel covers the whole window.
        EXPECT_EQ(form->GetMainAreaPanel()->size(), form->size());
        form->OnImageFullScreenClick();
        QCoreApplication::processEvents();
        EXPECT_EQ(Capture(*form), before) << (maximised ? "maximised" : "normal");
        EXPECT_EQ(form->c_pImageFullScreen->toolTip(), "Full Screen");
        EXPECT_FALSE(form->IsInFullScreenToggle());
    }
}

TEST_F(MainFrame, HiddenLeftColumnComesBackHiddenAfterFullScreen)
{
    Build(true);
    ShowForm();
    form->OnImageLeftVisibleClick();
    const FrameState before = Capture(*form);
    form->ToggleFullScreen();
    form->ToggleFullScreen();
    QCoreApplication::processEvents();
    EXPECT_EQ(Capture(*form), before);
    EXPECT_FALSE(form->IsLeftVisible());
}

TEST_F(MainFrame, HotKeysActOnlyInTheirModeAndOnlyWhileShown)
{
    Build(true);
    ShowForm();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QWindow *w = form->windowHandle();
    const FrameState start = Capture(*form);
    // Esc outside full screen: nothing.
    QTest::keyClick(w, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(Capture(*form), start);
    // F1 enters; F1 again changes nothing; Esc leaves.
    QTest::keyClick(w, Qt::Key_F1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->IsFullScreen());
    QTest::keyClick(form->windowHandle(), Qt::Key_F1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->IsFullScreen());
    QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->IsFullScreen());
    EXPECT_EQ(Capture(*form), start);
    // Hidden: the keys are not the main window's.
    form->hide();
    EXPECT_FALSE(form->FullScreenShortcut()->isEnabled());
    EXPECT_FALSE(form->ExitFullScreenShortcut()->isEnabled());
}

// A stand-in for a window that shows alone while the main window hides (the login
// splash): it must receive Esc.
class EscCatcher : public QWidget {
public:
    int escapes = 0;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Escape)
            ++escapes;
    }
};

TEST_F(MainFrame, EscReachesAWindowShownWhileTheMainWindowHides)
{
    Build(true);
    EscCatcher splash;
    splash.resize(300, 200);
    splash.show();
    splash.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&splash));
    QTest::keyClick(splash.windowHandle(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(splash.escapes, 1);
    // Once the main window shows, Esc is its key (and does nothing outside full screen).
    ShowForm();
    splash.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&splash));
    QTest::keyClick(splash.windowHandle(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(splash.escapes, 1);
    EXPECT_FALSE(form->IsFullScreen());
}

TEST_F(MainFrame, ResizeGripOnlyWhileNotMaximised)
{
    Build(false);
    ShowForm();
    EXPECT_FALSE(form->c_pImageResize->isVisible());
    form->OnImageMaxClick();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->isMaximized());
    EXPECT_TRUE(form->c_pImageResize->isVisible());
    form->OnImageMaxClick();
    QCoreApplication::processEvents();
    EXPECT_FALSE(form->c_pImageResize->isVisible());
}

TEST_F(MainFrame, NeverSmallerThanTheMinimum)
{
    Build(false);
    ShowForm();
    form->OnImageMaxClick();
    form->resize(300, 200);
    QCoreApplication::processEvents();
    EXPECT_GE(form->width(), 640);
    EXPECT_GE(form->height(), 480);
}

TEST_F(MainFrame, TitleAndUnitFromTheConfiguration)
{
    Build(false);
    EXPECT_EQ(form->c_pLabelTitle->text(), "ZoxClient Dispatch Console");
    EXPECT_EQ(form->c_pLabelGroupUnit->text(), "City Operations");
    EXPECT_EQ(form->GetCurrentWindowCount(), 4);
    EXPECT_TRUE(form->IsSplitImageSelected(form->c_pImageSplit[3]));
}

} // namespace

namespace {

// The RTSP client's start: a client that does not start leaves the window working and
// shows the tip once; without a stand-in the real client starts on the configured
// address (the loopback here) and nothing is shown.
TEST_F(MainFrame, RtspClientFailureTip)
{
    for (int started : {0, 1, -1}) {
        Build(false);
        if (started >= 0)
            form->SetRtspClientStarter([started] { return started == 1; });
        form->CreateRtspClient();
        EXPECT_EQ(form->HasRtspClient(), started != 0);
        EXPECT_EQ(g_pRtspClient != nullptr, started == -1);
        QString tip;
        QTimer::singleShot(300, [&] {
            if (auto *d = qobject_cast<TMsgTipForm *>(QApplication::activeModalWidget())) {
                tip = d->c_pLabelMsg->text();
                d->done(TSkinDialog::kResultOk);
            }
        });
        ShowForm();
        QTest::qWait(500);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(tip, started == 0 ? "RTSP client initialization failed, please check the network configuration."
                                    : "")
            << started;
        form.reset();
        TearDown();
    }
}

} // namespace
