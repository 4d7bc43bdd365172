// The contacts book, the settings dialog, the call dialogs and the video tile and
// popup of the Chinese-language build, offscreen: every caption, menu entry, hint and
// message in its Chinese wording, the faces that hold the glyphs, and the metrics that
// differ from the English build.
#include "console/ContactsDb.h"
#include "console/ui/Callalertdialog.h"
#include "console/ui/Callconfirmdlg.h"
#include "console/ui/Callprogressfrm.h"
#include "console/ui/Configdlg.h"
#include "console/ui/Contactfrm.h"
#include "console/ui/Contactunitfrm.h"
#include "console/ui/Contactuserfrm.h"
#include "console/ui/FontSetup.h"
#include "console/ui/Msgtipfrm.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"
#include "video/ui/VideoPopupForm.h"
#include "video/ui/VideoWndCtrl.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

QString U(const char *utf8) { return QString::fromUtf8(utf8); }

void App()
{
    zoxtest::uiApp();
    zox::skin::InstallFontSubstitutions();
}

// One shown text and the wording it must have.
struct Shown {
    const char *what;
    QString actual;
    const char *expected;
};

void ExpectTexts(const std::vector<Shown> &rows)
{
    for (const Shown &r : rows)
        EXPECT_EQ(r.actual, U(r.expected)) << r.what;
}

QString FamilyOf(const QWidget *w) { return QFontInfo(w->font()).family(); }

const QString kSans = QStringLiteral("Noto Sans CJK SC");
const QString kSerif = QStringLiteral("Noto Serif CJK SC");

// A scratch working folder with its configuration and contacts book.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::filesystem::create_directories(dir / "data");
        dir.write("data/zoxcfg.ini", "[Debug]\nWriteLogFile=0\n");
        config = std::make_unique<CSystemConfig>();
        g_pSystemConfig = config.get();
    }
    ~ScratchFolder()
    {
        g_pSystemConfig = nullptr;
        ContactsDbCloseForTests();
    }

    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd{dir.path()};
    std::unique_ptr<CSystemConfig> config;
};

class ChineseContacts : public ::testing::Test {
protected:
    void SetUp() override
    {
        App();
        ASSERT_TRUE(ContactsDbOpen());
        form = std::make_unique<TContactForm>(nullptr);
        form->ExecDialog = [this](QDialog &d) {
            if (steps.empty())
                return 2;
            auto step = steps.front();
            steps.pop_front();
            return step(d);
        };
        form->ShowTip = [this](const std::string &t) { tips.push_back(QString::fromStdString(t)); };
        form->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override { form.reset(); }

    QTreeWidgetItem *Node(const QString &text) const
    {
        const auto hits = form->c_pTreeView->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return hits.isEmpty() ? nullptr : hits.first();
    }

    ScratchFolder folder;
    std::unique_ptr<TContactForm> form;
    std::deque<std::function<int(QDialog &)>> steps;
    QStringList tips;
};

TEST_F(ChineseContacts, WindowTitleMenusAndColumns)
{
    QTreeWidgetItem *header = form->c_pListView->headerItem();
    ExpectTexts({
        {"title", form->c_pLabelTitle->text(), " 通讯录"},
        {"close hint", form->c_pImageClose->toolTip(), "退出"},
        {"tree add", form->c_pPopMenuAddNode->text(), "新建"},
        {"tree add below", form->c_pPopMenuAddSubNode->text(), "新建"},
        {"tree edit", form->c_pPopMenuEditNode->text(), "修改"},
        {"tree delete", form->c_pPopMenuDeleteNode->text(), "删除"},
        {"list new", form->c_pPopMenuNewItem->text(), "新建"},
        {"list edit", form->c_pPopMenuEditItem->text(), "编辑"},
        {"list delete", form->c_pPopMenuDeleteItem->text(), "删除"},
        {"list clear", form->c_pPopMenuDeleteAll->text(), "清空"},
        {"column name", header->text(TContactForm::kColName), "姓名"},
        {"column position", header->text(TContactForm::kColPosition), "职位"},
        {"column mobile", header->text(TContactForm::kColMobile), "手机"},
        {"column telephone", header->text(TContactForm::kColPhone), "固话"},
    });
    form->c_pListView->header()->ensurePolished();
    const QWidget *faced[] = {form->c_pLabelTitle, form->c_pTreeView, form->c_pListView, form->c_pListView->header(),
                              form->c_pPopupMenuTree, form->c_pPopupMenuList};
    for (const QWidget *w : faced)
        EXPECT_EQ(FamilyOf(w), kSans) << w->metaObject()->className();
}

TEST_F(ChineseContacts, DialogsShowChineseLabelsAndFlatFieldsFurtherLeft)
{
    const int unitId = [] {
        CONTACT_UNIT_ITEM in{0, 0, "港口"}, out;
        EXPECT_EQ(ContactsDbInsertUnit(&in, &out), 1);
        return out.id;
    }();
    TContactUnitForm newUnit(form.get(), 0, true, "", 0);
    TContactUnitForm editUnit(form.get(), 0, false, "港口", unitId);
    ExpectTexts({
        {"new unit title", newUnit.c_pLabelTitle->text(), "新建"},
        {"edited unit title", editUnit.c_pLabelTitle->text(), "编辑"},
        {"superior", newUnit.c_pLabeParent->text(), "上级"},
        {"unit name", newUnit.c_pLabelName->text(), "名称"},
        {"no superior", newUnit.c_pComboParent->itemText(0), "无"},
        {"edited unit's first superior", editUnit.c_pComboParent->itemText(0), "无"},
        {"unit ok", newUnit.c_pLabelOK->text(), "确定"},
        {"unit cancel", newUnit.c_pLabelCancel->text(), "取消"},
        {"unit close hint", newUnit.c_pImageClose->toolTip(), "退出"},
    });
    const CONTACT_USER_ITEM person{7, unitId, "张伟", "站长", "13900000000", ""};
    TContactUserForm newUser(form.get(), nullptr, unitId, true);
    TContactUserForm editUser(form.get(), &person, unitId, false);
    ExpectTexts({
        {"new contact title", newUser.c_pLabelTitle->text(), "新建"},
        {"edited contact title", editUser.c_pLabelTitle->text(), "编辑"},
        {"name", newUser.c_pLabelName->text(), "姓名"},
        {"position", newUser.c_pLabePos->text(), "职位"},
        {"mobile", newUser.c_pLabelMobile->text(), "手机"},
        {"telephone", newUser.c_pLabelPhone->text(), "固话"},
        {"contact ok", newUser.c_pLabelOK->text(), "确定"},
        {"contact cancel", newUser.c_pLabelCancel->text(), "取消"},
    });
    // Fields start at 59 (unit) and 62 (contact), 275 wide; no label reaches into them.
    struct Column {
        const char *what;
        QWidget *field;
        QLabel *label;
        int left;
    };
    const Column columns[] = {
        {"unit superior", newUnit.c_pComboParent, newUnit.c_pLabeParent, 59},
        {"unit name", newUnit.c_pEditName, newUnit.c_pLabelName, 59},
        {"contact name", newUser.c_pEditName, newUser.c_pLabelName, 62},
        {"contact position", newUser.c_pEditPos, newUser.c_pLabePos, 62},
        {"contact mobile", newUser.c_pEditMobile, newUser.c_pLabelMobile, 62},
        {"contact telephone", newUser.c_pEditPhone, newUser.c_pLabelPhone, 62},
    };
    for (const Column &c : columns) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.field->x(), c.left);
        EXPECT_EQ(c.field->width(), 275);
        EXPECT_LE(c.label->geometry().right(), c.left);
        EXPECT_LE(c.label->fontMetrics().horizontalAdvance(c.label->text()), c.label->width());
        EXPECT_EQ(FamilyOf(c.label), kSans);
        c.field->ensurePolished();
        EXPECT_EQ(FamilyOf(c.field), kSans);
    }
    EXPECT_EQ(FamilyOf(newUnit.c_pLabelTitle), kSans);
    EXPECT_EQ(FamilyOf(newUser.c_pLabelOK), kSans);
}

TEST_F(ChineseContacts, MessagesOfTheBookAndItsDialogs)
{
    CONTACT_UNIT_ITEM in{0, 0, "港口"}, out;
    ASSERT_EQ(ContactsDbInsertUnit(&in, &out), 1);
    CONTACT_USER_ITEM person{0, out.id, "张伟", "", "139", ""};
    ASSERT_EQ(ContactsDbInsertContact(&person), 1);
    form->OnFormShow();
    form->c_pTreeView->setCurrentItem(Node(U("港口")));
    ASSERT_EQ(form->c_pListView->topLevelItemCount(), 1);
    form->c_pListView->setCurrentItem(form->c_pListView->topLevelItem(0));

    // Each step answers the dialog that the action opens and notes what it asked.
    QStringList asked;
    const auto note = [&](int answer) {
        return [&asked, answer](QDialog &d) {
            asked << dynamic_cast<TMsgTipForm &>(d).c_pLabelMsg->text();
            return answer;
        };
    };
    const auto unitNamed = [](const char *name) {
        return [name](QDialog &d) {
            dynamic_cast<TContactUnitForm &>(d).c_pEditName->setText(U(name));
            return 1;
        };
    };
    // The contact is gone from the file by the time its edit is confirmed.
    const int unitId = out.id;
    const auto contactVanishes = [unitId](QDialog &) {
        EXPECT_EQ(ContactsDbDeleteUnitContacts(unitId), 0);
        return 1;
    };
    struct Case {
        const char *what;
        QAction *action;
        std::function<int(QDialog &)> step;
        const char *tip;    // shown with the information box, or null
        const char *asked;  // the question asked, or null
    };
    const Case cases[] = {
        {"duplicate top-level unit", form->c_pPopMenuAddNode, unitNamed("港口"), "操作失败, 请检查名称是否重复", nullptr},
        {"contact that cannot be stored", form->c_pPopMenuEditItem, contactVanishes, "操作失败, 请检查姓名是否重复",
         nullptr},
        {"delete a unit", form->c_pPopMenuDeleteNode, note(2), nullptr, "确定要删除吗？"},
        {"clear a unit", form->c_pPopMenuDeleteAll, note(2), nullptr, "确定要全部删除吗？"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        tips.clear();
        asked.clear();
        steps = {c.step};
        c.action->trigger();
        EXPECT_EQ(tips, c.tip ? QStringList{U(c.tip)} : QStringList{});
        EXPECT_EQ(asked, c.asked ? QStringList{U(c.asked)} : QStringList{});
    }

    // Both dialogs refuse an empty name with the same message and stay open.
    QStringList dialogTips;
    TContactUnitForm unit(form.get(), 0, true, "", 0);
    TContactUserForm user(form.get(), nullptr, out.id, true);
    unit.ShowTip = user.ShowTip = [&](const std::string &t) { dialogTips << QString::fromStdString(t); };
    unit.OnImageOkClick();
    user.OnImageOkClick();
    EXPECT_EQ(dialogTips, QStringList({U("名称不能为空"), U("名称不能为空")}));
    EXPECT_EQ(unit.result(), 0);
    EXPECT_EQ(user.result(), 0);
}

TEST(ChineseSettings, TextsFacesAndTheChineseVersion)
{
    App();
    ScratchFolder folder;
    TConfigDlgForm dlg(nullptr, [] { return std::vector<VideoCaptureDevice>{}; });
    ExpectTexts({
        {"title", dlg.c_pLabelTitle->text(), "设置"},
        {"close hint", dlg.c_pImageClose->toolTip(), "退出"},
        {"general tab", dlg.c_pPageControl->tabText(0), "通用设置"},
        {"video tab", dlg.c_pPageControl->tabText(1), "视频设置"},
        {"about tab", dlg.c_pPageControl->tabText(2), "关于软件"},
        {"general group", dlg.c_pGroupGeneral->title(), "通用配置："},
        {"app title", dlg.c_pLabeAppTitle->text(), "软件名称："},
        {"department", dlg.c_pLabeDepartment->text(), "部门/单位："},
        {"recording group", dlg.c_pGroupRecording->title(), "录像配置："},
        {"save path", dlg.c_pLabelSavePath->text(), "保存路径："},
        {"browse", dlg.c_pLabelPathBrowse->text(), "浏览"},
        {"path tip", dlg.c_pLabelTip->text(), "请使用英文路径，建议选择非系统盘"},
        {"video group", dlg.c_pGroupVideo->title(), "视频配置："},
        {"camera", dlg.c_pLabelCamera->text(), "摄像头："},
        {"resolution", dlg.c_pLabelVideoSize->text(), "分辨率："},
        {"fps", dlg.c_pLabelVideoFps->text(), "帧   率："},
        {"preview", dlg.c_pCheckBoxCameraPreview->text(), "视频会话时显示本端视频预览窗口"},
        {"version group", dlg.c_pGroupVersion->title(), "版本信息："},
        {"version caption", dlg.c_pLabelVersionCaption->text(), "软件版本："},
        {"language caption", dlg.c_pLabelLanguageCaption->text(), "软件语言："},
        {"version", dlg.c_pLabelVersion->text(), "V2.00.200213.CN"},
        {"language", dlg.c_pLabelLanguage->text(), "简体中文"},
        {"ok", dlg.c_pLabelOk->text(), "确定"},
        {"cancel", dlg.c_pLabelCancel->text(), "取消"},
    });
    // The title in SimSun, the rest in YaHei.
    EXPECT_EQ(FamilyOf(dlg.c_pLabelTitle), kSerif);
    EXPECT_TRUE(dlg.c_pLabelTitle->font().bold());
    for (QWidget *w : {static_cast<QWidget *>(dlg.c_pLabeAppTitle), static_cast<QWidget *>(dlg.c_pLabelLanguage),
                       static_cast<QWidget *>(dlg.c_pCheckBoxCameraPreview)})
        EXPECT_EQ(FamilyOf(w), kSans);
    // The longest captions fit their labels.
    for (QLabel *l : {dlg.c_pLabeDepartment, dlg.c_pLabelTip, dlg.c_pLabelLanguage})
        EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
}

TEST(ChineseCallDialogs, AlertConfirmationAndProgressTextsAndFaces)
{
    App();
    TCallAlertForm alert(nullptr);
    const QString designTitle = alert.c_pLabelTitle->text();
    alert.SetNameLookup([](const std::string &) { return std::string("王芳"); });
    alert.ShowCall(5, "3001", 2);
    TCallConfirmForm confirm(nullptr, "3001");
    TCallProgressForm progress(nullptr);
    ExpectTexts({
        {"alert design title", designTitle, "来电提醒"},
        {"alert kind", alert.c_pLabelTitle->text(), "视频通话"},
        {"alert caller", alert.c_pLabelContent->text(), "王芳 (3001)"},
        {"alert decline", alert.c_pLabelReject->text(), "拒绝(30)"},
        {"alert answer", alert.c_pLabelAccept->text(), "接受"},
        {"confirm call", confirm.c_pLabelCall->text(), "呼叫"},
        {"confirm cancel", confirm.c_pLabelCancel->text(), "取消"},
        {"progress status", progress.c_pLabelStatus->text(), "正在呼叫 ..."},
    });
    alert.Dismiss();

    // Alert: bold title and caller, bold 14-pixel captions and caller.
    struct Face {
        const char *what;
        QLabel *label;
        int pixels; // 0: not checked
        bool bold;
    };
    const Face faces[] = {
        {"alert title", alert.c_pLabelTitle, 15, true},
        {"alert caller", alert.c_pLabelContent, 14, true},
        {"alert decline", alert.c_pLabelReject, 14, true},
        {"alert answer", alert.c_pLabelAccept, 14, true},
        {"confirm call", confirm.c_pLabelCall, 14, true},
        {"progress status", progress.c_pLabelStatus, 12, false},
    };
    for (const Face &f : faces) {
        SCOPED_TRACE(f.what);
        EXPECT_EQ(FamilyOf(f.label), kSans);
        EXPECT_EQ(f.label->font().pixelSize(), f.pixels);
        EXPECT_EQ(f.label->font().bold(), f.bold);
    }
}

// Reports nothing; the tile needs an owner to report to.
class SilentTileOwner : public CVideoWndHandler {
public:
    void OnVideoWindowSelected(QWidget *, bool) override {}
    void SetSingleVideoWindow(QWidget *, bool) override {}
    void AutoShowTopBar(QWidget *) override {}
    void SwapVideoWindows(QWidget *, QWidget *) override {}
    void StopVideoUploadOfWindow(const std::string &, const std::string &) override {}
    void HangupVideoWindow(const std::string &, const std::string &) override {}
    void StopRtspVideo(int, const std::string &) override {}
    void OnForwardVideo(int, const std::string &, int) override {}
    void ToggleSessionRecord(const std::string &, int) override {}
    void ToggleRtspRecord(int, const std::string &) override {}
    int ToggleRtspAudio(int, const std::string &, TVideoWndCtrl *) override { return -1; }
};

TEST(ChineseVideo, PlayingTileShowsChineseToolsSixtyWideRightAligned)
{
    App();
    SilentTileOwner handler;
    QWidget wall;
    wall.resize(800, 600);
    auto *tile = new TVideoWndCtrl(&wall, &handler);
    tile->setGeometry(0, 0, 482, 330);
    wall.show();
    using Tool = TVideoWndCtrl::Tool;
    struct Case {
        EN_ZOX_VIDEOWND_SERVICE service;
        const char *stop;
    };
    for (const Case &c : {Case{ZOX_VIDEOWND_CALL, "挂断  "}, Case{ZOX_VIDEOWND_RTSP, "停止  "}}) {
        SCOPED_TRACE(c.stop);
        tile->SetState(ZOX_VIDEOWND_STARTING);
        tile->SetUser("东门", "5", 2);
        tile->SetService(c.service);
        tile->SetSoundEnable(true);
        tile->SetWndSizeCtrlVisible(true);
        tile->SetState(ZOX_VIDEOWND_PLAYING);
        ExpectTexts({
            {"title", tile->TitleLabel()->text(), "东门"},
            {"maximize", tile->ToolButton(TVideoWndCtrl::ToolMaximize)->text(), "最大化"},
            {"stop", tile->ToolButton(TVideoWndCtrl::ToolStop)->text(), c.stop},
            {"forward", tile->ToolButton(TVideoWndCtrl::ToolForward)->text(), "分发  "},
            {"stretch", tile->ToolButton(TVideoWndCtrl::ToolStretch)->text(), "拉伸  "},
            {"record", tile->ToolButton(TVideoWndCtrl::ToolRecord)->text(), "录制  "},
            {"sound", tile->ToolButton(TVideoWndCtrl::ToolSound)->text(), "声音  "},
        });
        // Every tool 60 wide, one pixel apart, the first at the right end.
        int right = tile->TitleBar()->width() - 1;
        for (int t = 0; t < TVideoWndCtrl::ToolCount; ++t) {
            QToolButton *b = tile->ToolButton(Tool(t));
            ASSERT_TRUE(b->isVisibleTo(tile->TitleBar())) << t;
            EXPECT_EQ(b->width(), 60) << t;
            EXPECT_EQ(b->x(), right - 60) << t;
            right -= 61;
            EXPECT_EQ(b->font().pointSize(), 9) << t;
            EXPECT_EQ(FamilyOf(b), kSans) << t;
        }
        EXPECT_EQ(tile->TitleLabel()->font().pointSize(), 9);
        EXPECT_EQ(FamilyOf(tile->TitleLabel()), kSans);
        tile->SetState(ZOX_VIDEOWND_FREE);
    }
    tile->OnBtnWndSizeClick();
    EXPECT_EQ(tile->ToolButton(TVideoWndCtrl::ToolMaximize)->text(), U("还原  "));
    tile->OnBtnWndSizeClick();
    EXPECT_EQ(tile->ToolButton(TVideoWndCtrl::ToolMaximize)->text(), U("最大化"));
}

class IdleVideoSource : public IPopupVideoSource {
public:
    int PlayVideo(int, const std::string &, IVideoTile *) override { return 0; }
    int MoveVideo(int, const std::string &, IVideoTile *) override { return -1; }
    void StopVideo(int, const std::string &) override {}
    void DetachTile(int, const std::string &, IVideoTile *) override {}
};

class IdlePopupOwner : public IVideoPopupOwner, public SilentTileOwner {
public:
    TVideoWndCtrl *GetFreeVideoWindow() override { return nullptr; }
    void CloseVideoPopup(TVideoPopupForm *) override {}
};

TEST(ChineseVideo, PopupHintsAndTitleFace)
{
    App();
    IdleVideoSource source;
    IdlePopupOwner owner;
    auto *popup = new TVideoPopupForm(nullptr, &owner, "码头", "6", 2, &source);
    popup->ensurePolished();
    popup->c_pLabelTitle->ensurePolished();
    ExpectTexts({
        {"close hint", popup->c_pImageClose->toolTip(), "关闭弹窗 停止预览"},
        {"accept hint", popup->c_pImageAccept->toolTip(), "关闭弹窗 主窗口预览"},
        {"title", popup->c_pLabelTitle->text(), "  码头"},
    });
    EXPECT_EQ(FamilyOf(popup->c_pLabelTitle), kSans);
    delete popup;
}

} // namespace
