// The windows of the Chinese-language build, offscreen: their Chinese texts, the
// Chinese face with its substitute installed, and CJK text that resolves to a font
// holding its glyphs (no empty boxes).
#include "console/ui/Confirmfrm.h"
#include "console/ui/FontSetup.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/Splashfrm.h"
#include "console/ui/TButtonCtrl.h"
#include "core/EditionText.h"
#include "core/SystemConfig.h"
#include "core/ui/Loginfrm.h"
#include "core/ui/SystemMessageBox.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <memory>

namespace {

QApplication &App()
{
    QApplication &app = zoxtest::uiApp();
    zox::skin::InstallFontSubstitutions();
    return app;
}

// Whether every character of text has a glyph in the font that Qt picks for it.
bool RendersWithoutTofu(const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun &run : layout.glyphRuns())
        for (quint32 glyph : run.glyphIndexes())
            if (glyph == 0)
                return false;
    return !layout.glyphRuns().isEmpty();
}

// A configuration of its own in a scratch working folder.
struct ScratchConfig {
    zoxtest::TempDir dir;
    std::unique_ptr<zoxtest::ScopedCwd> cwd;
    std::unique_ptr<CSystemConfig> config;
    explicit ScratchConfig(const std::string &ini = "[Debug]\nWriteLogFile=0\n")
    {
        dir.write("data/zoxcfg.ini", ini);
        cwd = std::make_unique<zoxtest::ScopedCwd>(dir.path());
        config = std::make_unique<CSystemConfig>();
        g_pSystemConfig = config.get();
    }
    ~ScratchConfig() { g_pSystemConfig = nullptr; }
};

} // namespace

TEST(ChineseFonts, ChineseFacesResolveToCjkFontsThatHoldTheGlyphs)
{
    App();
    struct Case {
        const char *face;
        const char *family; // the substitute that must be found
        const char *sample;
    };
    const Case cases[] = {
        {"微软雅黑", "Noto Sans CJK SC", "调度员登录 正在同步调度群组信息"},
        {"宋体", "Noto Serif CJK SC", "密 码 选择用户"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.face);
        ASSERT_TRUE(QFontDatabase::families().contains(QString::fromUtf8(c.family)))
            << "fonts-noto-cjk is not installed";
        const QFont font(QString::fromUtf8(c.face), 9);
        EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(c.family));
        EXPECT_TRUE(RendersWithoutTofu(font, QString::fromUtf8(c.sample)));
        EXPECT_TRUE(QFontMetrics(font).inFontUcs4(QString::fromUtf8("调").toUcs4().front()));
    }
}

TEST(ChineseWindows, SmallDialogsShowChineseTextsAndFaces)
{
    App();
    TMsgTipForm tip(nullptr, "帐号或密码错误，请重新输入!一条很长的消息不换行");
    EXPECT_EQ(tip.c_pLabelTitle->text(), QString::fromUtf8("提示"));
    EXPECT_TRUE(tip.c_pLabelTitle->font().bold());
    EXPECT_EQ(tip.c_pLabelOK->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(tip.c_pImageClose->toolTip(), QString::fromUtf8("退出"));
    EXPECT_FALSE(tip.c_pLabelMsg->wordWrap());
    EXPECT_EQ(tip.c_pLabelMsg->pos(), QPoint(20, 33));
    EXPECT_EQ(tip.c_pLabelMsg->font().pixelSize(), 12);
    EXPECT_EQ(QFontInfo(tip.c_pLabelMsg->font()).family(), QString::fromUtf8("Noto Sans CJK SC"));

    TConfirmForm confirm(nullptr, "");
    EXPECT_EQ(confirm.c_pLabelTitle->text(), QString::fromUtf8("确认"));
    EXPECT_EQ(confirm.c_pLabelTitle->font().pixelSize(), 14);
    EXPECT_EQ(confirm.c_pLabelMsg->text(), QString::fromUtf8("确定要删除吗？"));
    EXPECT_EQ(confirm.c_pLabelOK->text(), QString::fromUtf8("确定"));
    EXPECT_EQ(confirm.c_pLabelCancel->text(), QString::fromUtf8("取消"));
    EXPECT_EQ(confirm.c_pImageClose->toolTip(), QString::fromUtf8("退出"));
    for (QLabel *l : {confirm.c_pLabelMsg, confirm.c_pLabelOK, confirm.c_pLabelCancel})
        EXPECT_EQ(l->font().pixelSize(), 13);

    TSplashForm splash;
    EXPECT_EQ(splash.c_pLabelStatus->text(), QString::fromUtf8("正在加载数据, 请稍候 ..."));
    splash.SetStatus(ZoxText(EN_ZOX_TEXT::LoggingIn));
    EXPECT_EQ(splash.c_pLabelStatus->text(), QString::fromUtf8("正在登录"));
}

TEST(ChineseWindows, LoginWindowTexts)
{
    App();
    ScratchConfig cfg;
    ST_ZOX_LOGIN_SERVICES services;
    services.netStart = [] { return -1; };
    services.sleepMs = [](int) {};
    TLoginForm form(services);
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("调度员登录"));
    EXPECT_EQ(form.c_pLabelUserName->text(), QString::fromUtf8("帐 号"));
    EXPECT_EQ(form.c_pLabelPassword->text(), QString::fromUtf8("密 码"));
    EXPECT_EQ(form.c_pBtnOk->text(), QString::fromUtf8("登 录"));
    EXPECT_EQ(form.c_pBtnCancel->text(), QString::fromUtf8("取 消"));
    EXPECT_EQ(QFontInfo(form.c_pEditPassword->font()).family(), QString::fromUtf8("Noto Serif CJK SC"));
}

TEST(ChineseWindows, MainWindowQuickActionsHintsAndGroups)
{
    App();
    ScratchConfig cfg;
    TMainForm form;
    QStringList captions;
    for (TButtonCtrl *b : form.findChildren<TButtonCtrl *>())
        captions << b->Caption()->text();
    for (const char *c : {"视频上传", "集群发起", "结束会议", "语音呼叫", "强挂", "终端遥毙", "视频预览", "即时消息"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(c))) << c;
    for (const char *c : {"Video Push", "PTT Call", "Hangup", "IM"})
        EXPECT_FALSE(captions.contains(QString::fromUtf8(c))) << c;
    const char *const splitHints[9] = {"单画面", "二画面", "三画面", "四画面", "六画面",
                                       "八画面", "九画面", "十三画面", "十六画面"};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(form.c_pImageSplit[i]->property("hint").toString(), QString::fromUtf8(splitHints[i])) << i;
    EXPECT_EQ(form.c_pImageFullScreen->toolTip(), QString::fromUtf8("全屏"));
    EXPECT_EQ(form.c_pImageMin->property("hint").toString(), QString::fromUtf8("最小化"));
    EXPECT_EQ(form.c_pImageSetting->property("hint").toString(), QString::fromUtf8("设置"));
    EXPECT_EQ(form.c_pImageSwapWindow->property("hint").toString(), QString::fromUtf8("扩展显示"));
    // Maximize or Restore, as the window's mode stands.
    EXPECT_TRUE(QStringList({QString::fromUtf8("最大化"), QString::fromUtf8("恢复窗口")})
                    .contains(form.c_pImageMax->property("hint").toString()));
    EXPECT_EQ(form.c_pImageLeftVisible->property("hint").toString(), QString::fromUtf8("隐藏左栏"));
    EXPECT_EQ(form.c_pLabelTitle->font().pixelSize(), 15);
    EXPECT_TRUE(form.c_pLabelTitle->font().bold());
}

// Every text key has its Chinese wording, and none is left in English by mistake
// (the two user-platform texts exist only in the English build).
TEST(ChineseTexts, EveryKeyHasAChineseWording)
{
    for (int i = 0; i < int(EN_ZOX_TEXT::Count); ++i) {
        const auto id = EN_ZOX_TEXT(i);
        if (id == EN_ZOX_TEXT::SyncUapUsers || id == EN_ZOX_TEXT::TimeoutUap)
            continue;
        const QString cn = QString::fromUtf8(ZoxTextChinese(id));
        EXPECT_FALSE(cn.isEmpty()) << i;
        EXPECT_EQ(ZoxQText(id), cn) << i;
        EXPECT_NE(cn, QString::fromUtf8(ZoxTextEnglish(id))) << i;
    }
}
