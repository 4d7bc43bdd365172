// The message tip, the confirmation and the splash window, offscreen.
#include "console/SplashDots.h"
#include "console/ui/Confirmfrm.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/Splashfrm.h"
#include "core/ui/SystemMessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "tests/support/UiApp.h"

namespace {

QApplication &App() { return zoxtest::uiApp(); }

// Runs the dialog modally and answers it with `act` once it shows; the dialog's result.
int RunModal(QDialog &dialog, std::function<void()> act)
{
    App();
    QTimer::singleShot(0, &dialog, [&] {
        act();
        // Whatever happened, never hang.
        QTimer::singleShot(2000, &dialog, [&] {
            if (dialog.isVisible())
                dialog.done(-1);
        });
    });
    return dialog.exec();
}

void Click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

TEST(MsgTipForm, EnterAnswersOkEscDoesNothing)
{
    App();
    TMsgTipForm form(nullptr, "Saved.");
    bool openAfterEsc = false;
    const int r = RunModal(form, [&] {
        QTest::keyClick(&form, Qt::Key_Escape);
        openAfterEsc = form.isVisible();
        QTest::keyClick(&form, Qt::Key_Return);
    });
    EXPECT_TRUE(openAfterEsc);
    EXPECT_EQ(r, 1);
    EXPECT_EQ(form.c_pLabelTitle->text(), "Information");
    EXPECT_EQ(form.size(), QSize(300, 150));
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
}

TEST(MsgTipForm, ButtonsAndCaptionLabel)
{
    App();
    {
        TMsgTipForm form(nullptr, "x");
        EXPECT_EQ(RunModal(form, [&] { Click(form.c_pImageClose); }), 2);
    }
    {
        TMsgTipForm form(nullptr, "x");
        EXPECT_EQ(RunModal(form, [&] { Click(form.c_pImageOk); }), 1);
    }
    {
        TMsgTipForm form(nullptr, "x");
        int stateWhilePressed = -1;
        const int r = RunModal(form, [&] {
            // Pointing at and pressing the caption changes no picture; its click answers OK.
            QTest::mousePress(form.c_pLabelOK, Qt::LeftButton, {}, form.c_pLabelOK->rect().center());
            stateWhilePressed = form.GetImageCtrlStatus(form.c_pImageOk);
            QTest::mouseRelease(form.c_pLabelOK, Qt::LeftButton, {}, form.c_pLabelOK->rect().center());
        });
        EXPECT_EQ(r, 1);
        EXPECT_EQ(stateWhilePressed, 1);
    }
}

TEST(MsgTipForm, PicturesFollowThePointer)
{
    App();
    TMsgTipForm form(nullptr, "x");
    QLabel *ok = form.c_pImageOk;
    EXPECT_EQ(form.GetImageCtrlStatus(ok), 1);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(ok, &enter);
    EXPECT_EQ(form.GetImageCtrlStatus(ok), 2);
    QTest::mousePress(ok, Qt::LeftButton);
    EXPECT_EQ(form.GetImageCtrlStatus(ok), 3);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(ok, &leave);
    EXPECT_EQ(form.GetImageCtrlStatus(ok), 1);
    // A release after leaving keeps the picture as it is.
    form.SetImageCtrlStatus(ok, 1);
    QTest::mouseRelease(ok, Qt::LeftButton, {}, QPoint(500, 500));
    EXPECT_EQ(form.GetImageCtrlStatus(ok), 1);
    // A disabled picture keeps its stored state.
    ok->setEnabled(false);
    form.SetImageCtrlStatus(ok, 2);
    EXPECT_EQ(form.GetImageCtrlStatus(ok), 1);
    EXPECT_EQ(form.GetImageCtrlStatus(nullptr), -1);
}

TEST(MsgTipForm, LongTextWrapsEmptyTextShowsEmpty)
{
    App();
    const std::string text(400, 'w');
    TMsgTipForm form(nullptr, text + " end");
    EXPECT_TRUE(form.c_pLabelMsg->wordWrap());
    EXPECT_EQ(form.c_pLabelMsg->size(), QSize(280, 58));
    TMsgTipForm empty(nullptr, "");
    EXPECT_TRUE(empty.c_pLabelMsg->text().isEmpty());
}

TEST(ConfirmForm, DefaultQuestionAndAnswers)
{
    App();
    {
        TConfirmForm form(nullptr, "");
        EXPECT_EQ(form.c_pLabelMsg->text(), "Are you sure you want to delete it?");
        EXPECT_EQ(form.c_pLabelTitle->text(), "Confirm");
        EXPECT_EQ(RunModal(form, [&] { Click(form.c_pImageCancel); }), 2);
    }
    {
        TConfirmForm form(nullptr, "Delete camera North?");
        EXPECT_EQ(form.c_pLabelMsg->text(), "Delete camera North?");
        EXPECT_EQ(RunModal(form, [&] { Click(form.c_pLabelCancel); }), 2);
    }
    {
        TConfirmForm form(nullptr, "");
        EXPECT_EQ(RunModal(form, [&] { QTest::keyClick(&form, Qt::Key_Enter); }), 1);
    }
    {
        TConfirmForm form(nullptr, "");
        EXPECT_EQ(RunModal(form, [&] { Click(form.c_pImageClose); }), 2);
    }
}

TEST(SplashForm, DotsOnlyWhileLoggingIn)
{
    App();
    SetSplashDotStep(5);
    TSplashForm splash;
    splash.SetStatus("Logging in");
    EXPECT_TRUE(splash.c_pProgTimer->isActive());
    EXPECT_EQ(splash.c_pProgTimer->interval(), 500);
    EXPECT_EQ(splash.c_pLabelStatus->text(), "Logging in");
    splash.OnProgTimerOut();
    EXPECT_EQ(splash.c_pLabelStatus->text(), "Logging in . . . . .");
    splash.OnProgTimerOut();
    EXPECT_EQ(splash.c_pLabelStatus->text(), "Logging in . . . . . .");
    splash.OnProgTimerOut();
    EXPECT_EQ(splash.c_pLabelStatus->text(), "Logging in ");
    splash.SetStatus("Loading user data ...");
    EXPECT_FALSE(splash.c_pProgTimer->isActive());
    EXPECT_EQ(splash.c_pLabelStatus->text(), "Loading user data ...");
    splash.SetStatus("logging in");
    EXPECT_FALSE(splash.c_pProgTimer->isActive());
    // The step is not reset by a new animation.
    splash.SetStatus("Logging in");
    splash.OnProgTimerOut();
    EXPECT_EQ(splash.c_pLabelStatus->text(), "Logging in .");
}

TEST(SplashForm, EscAsksBeforeCancelling)
{
    App();
    TSplashForm splash;
    int cancels = 0;
    splash.SetCancelAction([&] { ++cancels; });
    QString asked;
    int answer = kMsgBoxCancel;
    auto old = SetSystemMessageBoxHook([&](QWidget *, EN_ZOX_MSGBOX kind, const QString &caption, const QString &text) {
        EXPECT_EQ(kind, EN_ZOX_MSGBOX::Question);
        EXPECT_EQ(caption, "Confirmation");
        asked = text;
        return answer;
    });
    QTest::keyClick(&splash, Qt::Key_Escape);
    EXPECT_EQ(asked, "Logging in. Are you sure you want to cancel?");
    EXPECT_EQ(cancels, 0);
    answer = kMsgBoxOk;
    QTest::keyClick(&splash, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    QTest::keyClick(&splash, Qt::Key_A);
    EXPECT_EQ(cancels, 1);
    SetSystemMessageBoxHook(old);
}

} // namespace
