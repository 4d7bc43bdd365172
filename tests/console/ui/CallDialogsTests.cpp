// The windows around a single call: the incoming-call alert (caller, kind, countdown,
// answer, decline, dismissal, Enter), the call confirmation, the dial pad's checks and
// keys, and the progress panel's button modes and messages.
#include "UiTestApp.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "console/ui/Callalertdialog.h"
#include "console/ui/Callconfirmdlg.h"
#include "console/ui/Callprogressfrm.h"
#include "console/ui/Dialpanelfrm.h"
#include "core/Edition.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"

namespace {

// Records the window messages posted to it.
class MessageSink : public QObject {
public:
    void customEvent(QEvent *e) override
    {
        if (const CWindowMessage *m = CWindowMessage::From(e))
            messages.push_back(m->message);
    }
    std::vector<uint32_t> Take()
    {
        QCoreApplication::sendPostedEvents(this);
        auto out = messages;
        messages.clear();
        return out;
    }
    std::vector<uint32_t> messages;
};

// The wording of this build.
std::string T(const char *english, const char *chinese) { return zox::edition::kChinese ? chinese : english; }

// Runs `act` on the alert once its modal loop runs; the alert's result.
int RunAlert(TCallAlertForm &alert, std::function<void()> act)
{
    QTimer::singleShot(0, &alert, std::move(act));
    return alert.exec();
}

TEST(CallAlert, CallerAndKind)
{
    UiApp();
    TCallAlertForm alert(nullptr);
    alert.SetNameLookup([](const std::string &n) { return n == "3001" ? std::string("Driver One") : std::string(); });
    struct Case {
        const char *number;
        int kind;
        const char *content;
        std::string title;
    };
    const Case cases[] = {
        {"3001", 1, "Driver One (3001)", T("Voice Call", "语音通话")},
        {"3999", 2, "3999", T("Video Call", "视频通话")},
        {"3001", 3, "Driver One (3001)", T("PTT Call", "语音对讲")},
        {"3001", 0, "Driver One (3001)", T("Voice Call", "语音通话")},
    };
    for (const Case &c : cases) {
        alert.ShowCall(7, c.number, c.kind);
        EXPECT_EQ(alert.c_pLabelContent->text().toStdString(), c.content);
        EXPECT_EQ(alert.c_pLabelTitle->text().toStdString(), c.title);
        EXPECT_EQ(alert.GetCallId(), 7);
    }
}

TEST(CallAlert, CountdownDeclinesAfterThirtyTicks)
{
    UiApp();
    TCallAlertForm alert(nullptr);
    int ticks = 0;
    const int result = RunAlert(alert, [&] {
        alert.ShowCall(33, "3001", 1);
        EXPECT_EQ(alert.c_pLabelReject->text().toStdString(), T("Decline(30)", "拒绝(30)"));
        for (; ticks < 21; ++ticks)
            alert.OnTimerOut();
        EXPECT_EQ(alert.c_pLabelReject->text().toStdString(), T("Decline(09)", "拒绝(09)"));
        while (alert.isVisible() && ticks < 40) {
            alert.OnTimerOut();
            ++ticks;
        }
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(ticks, 30);
    EXPECT_FALSE(alert.c_pTimer->isActive());
    // A second call starts again at 30.
    alert.ShowCall(34, "3001", 1);
    EXPECT_EQ(alert.GetCountdown(), 30);
    EXPECT_TRUE(alert.c_pTimer->isActive());
    alert.Dismiss();
}

TEST(CallAlert, EndingsAndTheirResults)
{
    UiApp();
    struct Case {
        const char *what;
        std::function<void(TCallAlertForm &)> act;
        int result;
    };
    const std::vector<Case> cases = {
        {"Enter answers", [](TCallAlertForm &a) { QTest::keyClick(&a, Qt::Key_Return); }, 1},
        {"Answer button", [](TCallAlertForm &a) { QTest::mouseClick(a.c_pPanelAccept, Qt::LeftButton); }, 1},
        {"Decline button", [](TCallAlertForm &a) { QTest::mouseClick(a.c_PanelReject, Qt::LeftButton); }, 2},
        {"Dismiss", [](TCallAlertForm &a) { a.Dismiss(); }, 2},
        {"Esc does nothing, then decline",
         [](TCallAlertForm &a) {
             QTest::keyClick(&a, Qt::Key_Escape);
             EXPECT_TRUE(a.isVisible());
             a.OnCtrlRejectClick();
         },
         2},
    };
    TCallAlertForm alert(nullptr);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        alert.ShowCall(40, "3001", 1);
        EXPECT_EQ(RunAlert(alert, [&] { c.act(alert); }), c.result);
        EXPECT_FALSE(alert.c_pTimer->isActive());
    }
}

TEST(CallConfirm, CentresTheNumberAndAnswers)
{
    UiApp();
    for (const char *number : {"7", "123456789012345"}) {
        TCallConfirmForm confirm(nullptr, number);
        const QLabel *l = confirm.c_pLabelContent;
        EXPECT_EQ(l->text().toStdString(), number);
        EXPECT_LE(std::abs(l->x() - (240 - l->x() - l->width())), 1) << number;
    }
    TCallConfirmForm a(nullptr, "3001");
    QTimer::singleShot(0, &a, [&] { QTest::keyClick(&a, Qt::Key_Return); });
    EXPECT_EQ(a.exec(), 1);
    TCallConfirmForm b(nullptr, "3001");
    QTimer::singleShot(0, &b, [&] { QTest::mouseClick(b.c_PanelCancel, Qt::LeftButton); });
    EXPECT_EQ(b.exec(), 2);
}

TEST(DialPad, KeysChecksAndDial)
{
    UiApp();
    MessageSink owner;
    std::vector<std::string> tips;
    TDialPanelForm pad(&owner);
    pad.SetMessageSink([&](const std::string &t) { tips.push_back(t); });
    QWidget panel;
    pad.ShowInPanel(&panel);
    EXPECT_TRUE(pad.IsShownInPanel());

    TDialPanelForm::DeleteDigit(&pad, ""); // empty: nothing
    EXPECT_EQ(pad.GetNumber(), "");
    for (int i = 0; i < 15; ++i)
        TDialPanelForm::AppendDigit(&pad, std::to_string(i % 10));
    EXPECT_EQ(pad.GetNumber(), "012345678901234");
    TDialPanelForm::AppendDigit(&pad, "5");
    EXPECT_EQ(pad.GetNumber(), "012345678901234");
    EXPECT_EQ(tips, std::vector<std::string>{T("The phone number you entered is too long.", "对不起，您输入的号码已达最大长度。")});
    TDialPanelForm::DeleteDigit(&pad, "");
    EXPECT_EQ(pad.GetNumber(), "01234567890123");

    struct Case {
        const char *text;
        std::string tip; // empty: dialled
    };
    const Case cases[] = {
        {"   ", T("Please enter correct phone number.", "对不起，请先输入您要拨打的号码。")},
        {"12a4b", T("The phone number you entered is incorrect.", "对不起，您输入的号码中含有非法字符。")},
        {" 3001 ", ""},
    };
    for (const Case &c : cases) {
        tips.clear();
        pad.c_pEditNumber->setText(c.text);
        TDialPanelForm::Dial(&pad, "");
        if (!c.tip.empty()) {
            EXPECT_EQ(tips, std::vector<std::string>{c.tip}) << c.text;
            EXPECT_TRUE(owner.Take().empty()) << c.text;
        } else {
            EXPECT_TRUE(tips.empty());
            EXPECT_EQ(owner.Take(), std::vector<uint32_t>{WM_DIALPAD_DIAL});
            EXPECT_EQ(pad.GetNumber(), "3001");
        }
    }
    // Enter in the edit dials like the call key.
    pad.c_pEditNumber->setText("3002");
    QTest::keyClick(pad.c_pEditNumber, Qt::Key_Return);
    EXPECT_EQ(owner.Take(), std::vector<uint32_t>{WM_DIALPAD_DIAL});
    // The contacts book that does not open.
    tips.clear();
    pad.OnImageContactClick();
    EXPECT_EQ(tips, std::vector<std::string>{T("Fail to open address book.", "打开通讯录数据文件失败！")});
    pad.HideFromPanel();
    EXPECT_FALSE(pad.IsShownInPanel());
}

TEST(CallProgress, ButtonModesPostTheirMessages)
{
    UiApp();
    MessageSink owner;
    TCallProgressForm progress(&owner);
    progress.SetNumber("3001");
    progress.SetStatusText("Calling ...");
    EXPECT_EQ(progress.GetNumber(), "3001");
    EXPECT_EQ(progress.c_pLabelStatus->text().toStdString(), "Calling ...");
    progress.SetButtonMode(1);
    progress.OnImageButtonClick();
    EXPECT_EQ(owner.Take(), std::vector<uint32_t>{WM_CALLPROGRESS_REDIAL});
    const QImage callLook = progress.c_pImageButton->pixmap().toImage();
    progress.SetButtonMode(0);
    progress.OnImageButtonClick();
    EXPECT_EQ(owner.Take(), std::vector<uint32_t>{WM_CALLPROGRESS_HANGUP});
    EXPECT_NE(progress.c_pImageButton->pixmap().toImage(), callLook); // the hang-up picture
    progress.OnImageCloseClick();
    EXPECT_EQ(owner.Take(), std::vector<uint32_t>{WM_CALLPROGRESS_CLOSE});
}

} // namespace
