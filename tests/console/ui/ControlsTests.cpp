// The skinned picture controls offscreen: pictures per state, clicks, double clicks,
// disabled buttons, and every press getting its release.
#include "UiTestApp.h"

#include "console/PictureState.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TDialBtnCtrl.h"
#include "console/ui/TMultiImageCtrl.h"
#include "core/Edition.h"

#include <gtest/gtest.h>

#include <QTest>

#include <memory>
#include <vector>

using namespace zox::skin;

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiApp();
        host = std::make_unique<QWidget>();
        host->resize(400, 300);
        host->show();
    }
    std::unique_ptr<QWidget> host;
};

TEST_F(Controls, ButtonFollowsPointerAndClicks)
{
    TButtonCtrl b(host.get(), "PTT Call");
    b.show();
    int clicks = 0;
    TButtonCtrl *sender = nullptr;
    b.SetOnClick([&](TButtonCtrl *s) {
        ++clicks;
        sender = s;
    });
    EXPECT_EQ(b.size(), QSize(zox::edition::kChinese ? 72 : 90, 36));
    EXPECT_TRUE(Shows(b.Picture(), "IMG_TASK_OPERATE_NORMAL"));
    SendEnter(&b);
    EXPECT_EQ(b.GetImageStatus(), kPictureFocused);
    EXPECT_TRUE(Shows(b.Picture(), "IMG_BTN_OPERATE_FOCUSED"));
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(Shows(b.Picture(), "IMG_BTN_OPERATE_PRESSED"));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetImageStatus(), kPictureFocused);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, &b);
    // Right button: no picture change, no click.
    QTest::mouseClick(&b, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(b.GetImageStatus(), kPictureFocused);
    EXPECT_EQ(clicks, 1);
    // Released outside: no click; the picture stays as the leave set it.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    SendLeave(&b);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b.GetImageStatus(), kPictureNormal);
    // A double click is one click.
    DoubleClick(&b, QPoint(10, 10));
    EXPECT_EQ(clicks, 2);
}

TEST_F(Controls, DisabledButtonNeverClicksAndKeepsItsPicture)
{
    TButtonCtrl b(host.get(), "Hangup");
    b.show();
    int clicks = 0;
    b.SetOnClick([&](TButtonCtrl *) { ++clicks; });
    SendEnter(&b); // the pointer is over it when it is disabled
    b.SetEnabled(false);
    EXPECT_EQ(b.GetImageStatus(), kPictureDisabled);
    EXPECT_TRUE(Shows(b.Picture(), "IMG_BTN_OPERATE_DISABLED"));
    EXPECT_EQ(b.Caption()->palette().color(QPalette::WindowText), QColor(0xA0, 0xA0, 0xA4));
    for (int i = 0; i < 3; ++i) {
        SendLeave(&b);
        SendEnter(&b);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(20, 20));
        QTest::mouseDClick(&b, Qt::LeftButton, {}, QPoint(20, 20));
        EXPECT_EQ(b.GetImageStatus(), kPictureDisabled);
        EXPECT_TRUE(Shows(b.Picture(), "IMG_BTN_OPERATE_DISABLED"));
    }
    EXPECT_EQ(clicks, 0);
    // Disabled while held: the release clicks nothing either.
    b.SetEnabled(true);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(20, 20));
    b.SetEnabled(false);
    b.SetEnabled(true);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b.GetImageStatus(), kPictureNormal);
    EXPECT_EQ(b.Caption()->palette().color(QPalette::WindowText), QColor(Qt::white));
}

TEST_F(Controls, MultiImageKeepsForegroundWhileBackgroundFollows)
{
    TMultiImageCtrl chat(host.get());
    chat.SetForegroundImage("IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL",
                            "IMG_CHAT_OFFLINE_NORMAL");
    chat.SetImageStatus(kPictureNormal);
    chat.show();
    struct Step {
        std::function<void()> act;
        int state;
        const char *background;
    } steps[] = {
        {[&] { SendEnter(&chat); }, 2, "IMG_PANEL_BG_FOCUSED"},
        {[&] { QTest::mousePress(&chat, Qt::LeftButton, {}, QPoint(5, 5)); }, 3, "IMG_PANEL_BG_PRESSED"},
        {[&] { QTest::mouseRelease(&chat, Qt::LeftButton, {}, QPoint(5, 5)); }, 2, "IMG_PANEL_BG_FOCUSED"},
        {[&] { SendLeave(&chat); }, 1, "IMG_PANEL_BG_NORMAL"},
        {[&] { chat.SetEnabled(false); }, 0, "IMG_PANEL_BG_DISABLED"},
        {[&] { SendEnter(&chat); }, 0, "IMG_PANEL_BG_DISABLED"},
        {[&] { chat.SetEnabled(true); }, 1, "IMG_PANEL_BG_NORMAL"},
    };
    for (const Step &s : steps) {
        s.act();
        EXPECT_EQ(chat.GetImageStatus(), s.state);
        EXPECT_TRUE(Shows(chat.Background(), s.background)) << s.background;
        EXPECT_TRUE(Shows(chat.Foreground(), "IMG_CHAT_OFFLINE_NORMAL"));
    }
    chat.UpdateForegroundImage("IMG_CHAT_ONLINE_MESSAGE", "IMG_CHAT_ONLINE_MESSAGE", "IMG_CHAT_ONLINE_MESSAGE",
                               "IMG_CHAT_ONLINE_MESSAGE");
    EXPECT_TRUE(Shows(chat.Foreground(), "IMG_CHAT_ONLINE_MESSAGE"));
    EXPECT_EQ(chat.GetImageStatus(), kPictureNormal);
}

// The speak button: press asks for the right to speak, release gives it back.
TEST_F(Controls, EveryPressGetsItsRelease)
{
    struct Case {
        const char *what;
        std::function<void(TMultiImageCtrl &)> end; // ends the press somehow
        int clicks;
    } cases[] = {
        {"released over it", [](TMultiImageCtrl &c) { QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(5, 5)); }, 1},
        {"released after leaving",
         [](TMultiImageCtrl &c) {
             SendLeave(&c);
             QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(300, 300));
         },
         0},
        {"disabled while held",
         [](TMultiImageCtrl &c) {
             c.SetEnabled(false);
             QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(5, 5));
         },
         0},
        {"hidden while held",
         [](TMultiImageCtrl &c) {
             c.hide();
             QTest::mouseRelease(&c, Qt::LeftButton, {}, QPoint(5, 5));
         },
         0},
    };
    for (const Case &c : cases) {
        TMultiImageCtrl speak(host.get());
        speak.SetForegroundImage("IMG_BTN_SPEAK_NORMAL", "IMG_BTN_SPEAK_FOCUSED", "IMG_BTN_SPEAK_FOCUSED",
                                 "IMG_BTN_SPEAK_NORMAL");
        speak.SetImageStatus(kPictureNormal);
        speak.show();
        std::vector<std::string> log;
        speak.SetOnMouseDown([&](QLabel *s) {
            EXPECT_EQ(s, speak.Foreground());
            log.push_back("down");
        });
        speak.SetOnMouseUp([&](QLabel *) { log.push_back("up"); });
        speak.SetOnClick([&](QLabel *) { log.push_back("click"); });
        SendEnter(&speak);
        QTest::mousePress(&speak, Qt::LeftButton, {}, QPoint(5, 5));
        c.end(speak);
        std::vector<std::string> want = {"down", "up"};
        if (c.clicks)
            want.push_back("click");
        EXPECT_EQ(log, want) << c.what;
        // Nothing more is owed afterwards.
        QTest::mouseRelease(&speak, Qt::LeftButton, {}, QPoint(5, 5));
        speak.SetEnabled(false);
        speak.hide();
        EXPECT_EQ(log, want) << c.what;
    }
}

TEST_F(Controls, ImageMapOfAForm)
{
    QLabel close(host.get()), ok(host.get()), okCaption("Ok", host.get());
    close.setGeometry(0, 0, 30, 30);
    ok.setGeometry(0, 40, 60, 24);
    okCaption.setGeometry(ok.geometry());
    SkinImageMap map(4);
    map.Add(&close, {"IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_FOCUSED", "IMG_BTN_CLOSE_PRESSED"});
    map.Add(&ok, {"IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_FOCUSED", "IMG_BTN_GREEN_PRESSED"});
    map.AddClickAlias(&okCaption, &ok);
    std::vector<std::string> log;
    map.SetOnClick(&close, [&](QLabel *) { log.push_back("close"); });
    map.SetOnClick(&ok, [&](QLabel *) { log.push_back("ok"); });
    map.SetOnPress(&ok, [&](QLabel *) { log.push_back("ok-down"); });
    map.SetOnRelease(&ok, [&](QLabel *) { log.push_back("ok-up"); });
    EXPECT_TRUE(Shows(&close, "IMG_BTN_CLOSE_NORMAL"));

    SendEnter(&close);
    EXPECT_TRUE(Shows(&close, "IMG_BTN_CLOSE_FOCUSED"));
    QTest::mousePress(&close, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(map.GetImageCtrlStatus(&close), kPicturePressed);
    QTest::mouseRelease(&close, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(Shows(&close, "IMG_BTN_CLOSE_FOCUSED"));
    EXPECT_EQ(log, (std::vector<std::string>{"close"}));

    // The caption clicks like the picture without changing it.
    log.clear();
    QTest::mouseClick(&okCaption, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(log, (std::vector<std::string>{"ok-down", "ok-up", "ok"}));
    EXPECT_EQ(map.GetImageCtrlStatus(&ok), kPictureNormal);

    // Pressed, then disabled while held: released at once, no click, first picture.
    log.clear();
    QTest::mousePress(&ok, Qt::LeftButton, {}, QPoint(5, 5));
    ok.setEnabled(false);
    map.SetImageCtrlStatus(&ok, kPictureNormal);
    QTest::mouseRelease(&ok, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(log, (std::vector<std::string>{"ok-down", "ok-up"}));
    EXPECT_EQ(map.GetImageCtrlStatus(&ok), kPicturePressed); // a disabled picture keeps its state
    EXPECT_TRUE(Shows(&ok, "IMG_BTN_GREEN_NORMAL"));
    QLabel stranger;
    EXPECT_EQ(map.GetImageCtrlStatus(&stranger), -1);
}

namespace {
// Counts the presses that reach a widget.
struct PressCounter : QObject {
    int presses = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonPress)
            ++presses;
        return false;
    }
};
} // namespace

// A picture keeps its presses: its parent (a title bar that drags the window) never
// sees them, so no window move starts and swallows the release of the click.
TEST_F(Controls, ImageMapPressesStayWithThePicture)
{
    QWidget titleBar(host.get());
    PressCounter counter;
    titleBar.installEventFilter(&counter);
    QLabel exit(&titleBar);
    exit.setGeometry(0, 0, 30, 30);
    SkinImageMap map(1);
    map.Add(&exit, {"IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_FOCUSED", "IMG_BTN_CLOSE_PRESSED"});
    int clicks = 0;
    map.SetOnClick(&exit, [&](QLabel *) { ++clicks; });
    QTest::mouseClick(&exit, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(counter.presses, 0);
    // A press on the bar itself still reaches it.
    QTest::mousePress(&titleBar, Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_EQ(counter.presses, 1);
}

namespace {
std::vector<std::string> g_keys;
const void *g_context = nullptr;
int RecordKey(const void *context, const std::string &key)
{
    g_context = context;
    g_keys.push_back(key);
    return 0;
}
} // namespace

TEST_F(Controls, DialKeysEnterEveryClickAndDoubleClick)
{
    g_keys.clear();
    TDialBtnCtrl five(host.get(), "IMG_DIAL_PAD_NUM5", "5", &RecordKey);
    five.show();
    EXPECT_EQ(five.size(), QSize(72, 45));
    EXPECT_TRUE(Shows(five.Picture(), "IMG_DIAL_PAD_NUM5"));
    QTest::mouseClick(&five, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_EQ(g_keys, (std::vector<std::string>{"5"}));
    EXPECT_EQ(g_context, host.get());
    // A fast double click enters the key twice.
    DoubleClick(&five, QPoint(30, 20));
    EXPECT_EQ(g_keys, (std::vector<std::string>{"5", "5", "5"}));
    // The pressed look is a frame while held.
    QTest::mousePress(&five, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_TRUE(five.IsPressedLook());
    QTest::mouseRelease(&five, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_FALSE(five.IsPressedLook());
    g_keys.clear();
    // Right button and a disabled key enter nothing.
    QTest::mouseClick(&five, Qt::RightButton, {}, QPoint(30, 20));
    five.SetEnabled(false);
    QTest::mouseClick(&five, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseDClick(&five, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_FALSE(five.IsPressedLook());
    EXPECT_TRUE(g_keys.empty());
    // Without a callback a click does nothing.
    TDialBtnCtrl del(host.get(), "IMG_DIAL_PAD_DEL", "", nullptr);
    QTest::mouseClick(&del, Qt::LeftButton, {}, QPoint(30, 20));
    EXPECT_TRUE(g_keys.empty());
}
