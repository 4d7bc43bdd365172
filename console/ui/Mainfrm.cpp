#include "console/ui/Mainfrm.h"

#include "core/Edition.h"
#include "core/EditionText.h"
#include "console/CurrentSelection.h"
#include "console/MainImageMap.h"
#include "console/MainListCache.h"
#include "console/MainListRules.h"
#include "console/OperateBarLayout.h"
#include "console/QuickActions.h"
#include "console/PictureState.h"
#include "console/UserCellRules.h"
#include "console/ZoxDataModuleListCache.h"
#include "console/ui/Configdlg.h"
#include "console/ui/Contactfrm.h"
#include "console/ui/Callalertdialog.h"
#include "console/ui/MainDispatchHost.h"
#include "console/ui/MainOperationsHost.h"
#include "dispatch/IncomingSignalling.h"
#include "console/ui/Callconfirmdlg.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/Mapfrm.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/ui/PngResource.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TGroupCellCtrl.h"
#include "console/ui/TMultiImageCtrl.h"
#include "console/ui/TScrollBarCtrl.h"
#include "console/ui/TUserCellCtrl.h"
#include "console/ui/UserTilePool.h"
#include "core/Log.h"
#include "core/NumberUtils.h"
#include "core/SystemConfig.h"
#include "core/ZoxLoginCache.h"
#include "core/ui/Loginfrm.h"
#include "core/net/NetFacade.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"
#include "video/RtspClient.h"

#include <QGuiApplication>

#include <algorithm>
#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QCursor>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

using namespace zox::mainwnd;

TMainForm *g_pMainForm = nullptr;

namespace {

// Colours of the form description (VCL colour values).
constexpr unsigned kTitleColour = 0x2E2200;
constexpr unsigned kClientColour = 0x56534B;
constexpr unsigned kListColour = 0x353026;
constexpr unsigned kRightTopColour = 0x312A1B;
constexpr unsigned kVideoColour = 0x110C00;
constexpr unsigned kStripTop = 0x626262;
constexpr unsigned kStripBottom = 0x2D2424;

constexpr int kTitlePictureWidth = 25;
constexpr int kBarPictureWidth = 32;
constexpr int kSplitPictureWidth = 26;
constexpr int kListTitleHeight = 25;
constexpr int kGroupTitleHeight = 30;
constexpr int kSmallPictureWidth = 26;
constexpr int kStatusBarHeight = 24;
constexpr int kResizeHostWidth = 10;

// The quick actions in table order: kind and caption.
struct OperateRow {
    int kind;
    EN_ZOX_TEXT caption;
};
constexpr OperateRow kOperateRows[TMainForm::kOperateButtonCount] = {
    {1, EN_ZOX_TEXT::GroupVideoPush},
    {1, EN_ZOX_TEXT::GroupStopVideo},
    {1, EN_ZOX_TEXT::GroupPttCall},
    {1, EN_ZOX_TEXT::GroupJoinPtt},
    {1, EN_ZOX_TEXT::GroupRelPtt},
    {1, EN_ZOX_TEXT::GroupVoiceConf},
    {1, EN_ZOX_TEXT::GroupVideoConf},
    {1, EN_ZOX_TEXT::GroupRelConf},
    {1, EN_ZOX_TEXT::GroupAddUser},
    {1, EN_ZOX_TEXT::GroupIm},
    {2, EN_ZOX_TEXT::UserVideoPush},
    {2, EN_ZOX_TEXT::UserStopVideo},
    {2, EN_ZOX_TEXT::UserPttCall},
    {2, EN_ZOX_TEXT::UserVoiceCall},
    {2, EN_ZOX_TEXT::UserVideoCall},
    {2, EN_ZOX_TEXT::UserHangup},
    {2, EN_ZOX_TEXT::UserIntrusion},
    {2, EN_ZOX_TEXT::UserForcedRel},
    {2, EN_ZOX_TEXT::UserMonitor},
    {2, EN_ZOX_TEXT::UserJoin},
    {2, EN_ZOX_TEXT::UserUeKill},
    {2, EN_ZOX_TEXT::UserUeRevive},
    {2, EN_ZOX_TEXT::UserVideoPreview},
    {2, EN_ZOX_TEXT::UserIm},
};

PictureNames Names(const char *const (&row)[zox::skin::kPictureStateCount])
{
    PictureNames n;
    for (int i = 0; i < zox::skin::kPictureStateCount; ++i)
        n[i] = row[i] ? row[i] : "";
    return n;
}

QString Q(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

} // namespace

// ---------------------------------------------------------------------------------
// Construction

TMainForm::TMainForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    g_pMainForm = this;
    setObjectName("MainForm");
    setWindowTitle(QStringLiteral("ZoxClient"));
    QFont f(QString::fromUtf8(zox::edition::kFormFace));
    f.setPointSize(8);
    setFont(f);
    resize(kDesignClientWidth, kDesignClientHeight);
    setMinimumSize(kMinWidth, kMinHeight);

    // The chat indicator acts only while the console is logged in.
    m_isRunning = [] { return g_pLoginForm && g_pLoginForm->IsRunning(); };
    // ...and shows whether the messaging bridge has a registered chat peer.
    m_bridgeReady = [] { return NetWxProxyIsReady(); };
    m_dispatchHost = std::make_unique<CMainDispatchHost>(*this);
    m_lineTable = std::make_unique<CDispatchLineTable>(*m_dispatchHost);
    m_incoming = std::make_unique<CIncomingSignalling>(*m_dispatchHost);
    BuildForm();
    // Nothing selected yet.
    SetCurrentSelection(kSelectNone, -1, "", -1);
    InitImageCtrlMap();
    OnFormCreate();
}

TMainForm::~TMainForm()
{
    OnFormDestroy();
    delete m_pMapForm; // while the window its page calls is still whole
    delete m_pContactForm;
    // The client this window started goes with it.
    if (m_hasRtspClient && !m_rtspStarter)
        StopRtspClient();
    if (GetSelectionCache() == m_pListCache)
        SetSelectionCache(nullptr);
    if (g_pMainForm == this)
        g_pMainForm = nullptr;
}

QLabel *TMainForm::NewPicture(QWidget *parent, int width, int height)
{
    auto *p = new QLabel(parent);
    p->setFixedSize(width, height);
    p->setAlignment(Qt::AlignCenter);
    p->setAttribute(Qt::WA_TranslucentBackground);
    return p;
}

void TMainForm::BuildForm()
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    BuildTitleBar();
    outer->addWidget(c_pPanelTitleBar);

    c_pPanelMainClient = new TSkinPanel(this, VclColour(kClientColour));
    c_pPanelMainClient->setObjectName("c_pPanelMainClient");
    outer->addWidget(c_pPanelMainClient, 1);
    c_pPanelMainClient->installEventFilter(this);

    BuildLeftColumn();
    BuildRightColumn();
    BuildBottomStrip();

    c_pUpdateTimer = new QTimer(this);
    c_pUpdateTimer->setInterval(500);
    connect(c_pUpdateTimer, &QTimer::timeout, this, [this] { OnUpdateTimerOut(); });
    c_pScrollTimer = new QTimer(this);
    c_pScrollTimer->setInterval(200);
    connect(c_pScrollTimer, &QTimer::timeout, this, [this] { OnScrollTimerOut(); });
    c_pChatTimer = new QTimer(this);
    c_pChatTimer->setInterval(1000);
    connect(c_pChatTimer, &QTimer::timeout, this, [this] { OnChatTimerOut(); });
    c_pChatTimer->start();
}

void TMainForm::BuildTitleBar()
{
    c_pPanelTitleBar = new TSkinPanel(this, VclColour(kTitleColour));
    c_pPanelTitleBar->setObjectName("c_pPanelTitleBar");
    c_pPanelTitleBar->SetBottomLine(VclColour(0x56534B));
    c_pPanelTitleBar->setFixedHeight(kTitleBarHeight);
    c_pPanelTitleBar->installEventFilter(this);
    auto *row = new QHBoxLayout(c_pPanelTitleBar);
    row->setContentsMargins(5, 0, 0, 0);
    row->setSpacing(0);

    c_pImageLogo = NewPicture(c_pPanelTitleBar, 30, kTitleBarHeight);
    c_pImageLogo->hide();
    c_pImageIcon = NewPicture(c_pPanelTitleBar, 5, kTitleBarHeight);
    c_pLabelTitle = new QLabel(c_pPanelTitleBar);
    c_pLabelTitle->setObjectName("c_pLabelTitle");
    c_pLabelTitle->setFixedWidth(265);
    c_pLabelTitle->setAlignment(Qt::AlignCenter);
    QFont tf(QString::fromUtf8(zox::edition::kFormFaceArial));
    tf.setPixelSize(zox::edition::kChinese ? 15 : 14);
    tf.setBold(zox::edition::kChinese);
    c_pLabelTitle->setFont(tf);
    c_pLabelTitle->setStyleSheet("color: #FFFFFF; background: transparent;");
    c_pLabelTitle->setText(QStringLiteral("Dispatch Console"));
    c_pLabelTitle->installEventFilter(this);
    row->addWidget(c_pImageLogo);
    row->addWidget(c_pImageIcon);
    row->addWidget(c_pLabelTitle);
    row->addStretch(1);
    c_pImageSetting = NewPicture(c_pPanelTitleBar, kTitlePictureWidth, kTitleBarHeight);
    c_pImageMin = NewPicture(c_pPanelTitleBar, kTitlePictureWidth, kTitleBarHeight);
    c_pImageMax = NewPicture(c_pPanelTitleBar, kTitlePictureWidth, kTitleBarHeight);
    c_pImageExit = NewPicture(c_pPanelTitleBar, kTitlePictureWidth, kTitleBarHeight);
    for (QLabel *p : {c_pImageSetting, c_pImageMin, c_pImageMax, c_pImageExit})
        row->addWidget(p);
    c_pImageSetting->setProperty("hint", ZoxQText(EN_ZOX_TEXT::SettingHint));
    c_pImageMin->setProperty("hint", ZoxQText(EN_ZOX_TEXT::MinimizeHint));
}

void TMainForm::BuildLeftColumn()
{
    c_pSplitterContact = new QSplitter(Qt::Vertical, c_pPanelMainClient);
    c_pSplitterContact->setObjectName("c_pSplitterContact");
    c_pSplitterContact->setHandleWidth(1);
    c_pSplitterContact->setChildrenCollapsible(false);
    c_pSplitterContact->setStyleSheet("QSplitter::handle { background: #4B5356; }");

    // Upper pane: the groups.
    auto *upper = new QWidget(c_pSplitterContact);
    auto *uv = new QVBoxLayout(upper);
    uv->setContentsMargins(0, 0, 0, 0);
    uv->setSpacing(0);
    c_pPanelGroupTitle = new TSkinPanel(upper);
    c_pPanelGroupTitle->SetGradient(VclColour(kClientColour), VclColour(kTitleColour));
    c_pPanelGroupTitle->setFixedHeight(kGroupTitleHeight);
    auto *gt = new QHBoxLayout(c_pPanelGroupTitle);
    gt->setContentsMargins(10, 0, 0, 0);
    c_pLabelGroupUnit = new QLabel(c_pPanelGroupTitle);
    c_pLabelGroupUnit->setObjectName("c_pLabelGroupUnit");
    c_pLabelGroupUnit->setStyleSheet("color: #FFFFFF; background: transparent;");
    if constexpr (zox::edition::kChinese) {
        QFont unit(QString::fromUtf8(zox::edition::kFormFace));
        unit.setPixelSize(12);
        unit.setBold(true);
        c_pLabelGroupUnit->setFont(unit);
    }
    gt->addWidget(c_pLabelGroupUnit);
    uv->addWidget(c_pPanelGroupTitle);
    auto *groupRow = new QWidget(upper);
    auto *gr = new QHBoxLayout(groupRow);
    gr->setContentsMargins(0, 0, 0, 0);
    gr->setSpacing(0);
    c_pPanelGroupHost = new TSkinPanel(groupRow, VclColour(kListColour));
    c_pPanelGroupHost->setObjectName("c_pPanelGroupHost");
    c_pPanelGroupHost->installEventFilter(this);
    c_pFlowPanelGroup = new QWidget(c_pPanelGroupHost);
    c_pFlowPanelGroup->setObjectName("c_pFlowPanelGroup");
    c_pPanelGroupScroll = new TSkinPanel(groupRow, VclColour(kListColour));
    c_pPanelGroupScroll->setFixedWidth(kListScrollWidth);
    gr->addWidget(c_pPanelGroupHost, 1);
    gr->addWidget(c_pPanelGroupScroll);
    uv->addWidget(groupRow, 1);

    // Lower pane: the users of the shown group.
    auto *lower = new QWidget(c_pSplitterContact);
    auto *lv = new QVBoxLayout(lower);
    lv->setContentsMargins(0, 0, 0, 0);
    lv->setSpacing(0);
    c_pPanelUserTitle = new TSkinPanel(lower);
    c_pPanelUserTitle->SetGradient(VclColour(kClientColour), VclColour(kTitleColour));
    c_pPanelUserTitle->setFixedHeight(kListTitleHeight);
    auto *ut = new QHBoxLayout(c_pPanelUserTitle);
    ut->setContentsMargins(10, 0, 0, 0);
    ut->setSpacing(0);
    c_pLabelUserGroup = new QLabel(c_pPanelUserTitle);
    c_pLabelUserGroup->setObjectName("c_pLabelUserGroup");
    QFont bold = c_pLabelUserGroup->font();
    bold.setBold(true);
    if constexpr (zox::edition::kChinese)
        bold.setPixelSize(12);
    c_pLabelUserGroup->setFont(bold);
    c_pLabelUserGroup->setStyleSheet("color: #FFFFFF; background: transparent;");
    c_pImageCameraMenu = NewPicture(c_pPanelUserTitle, kSmallPictureWidth, kListTitleHeight);
    ut->addWidget(c_pLabelUserGroup, 1);
    ut->addWidget(c_pImageCameraMenu);
    lv->addWidget(c_pPanelUserTitle);
    auto *userRow = new QWidget(lower);
    auto *ur = new QHBoxLayout(userRow);
    ur->setContentsMargins(0, 0, 0, 0);
    ur->setSpacing(0);
    c_pPanelUserHost = new TSkinPanel(userRow, VclColour(kListColour));
    c_pPanelUserHost->setObjectName("c_pPanelUserHost");
    c_pPanelUserHost->installEventFilter(this);
    c_pFlowPanelUser = new QWidget(c_pPanelUserHost);
    c_pFlowPanelUser->setObjectName("c_pFlowPanelUser");
    c_pPanelUserScroll = new TSkinPanel(userRow, VclColour(kListColour));
    c_pPanelUserScroll->setFixedWidth(kListScrollWidth);
    ur->addWidget(c_pPanelUserHost, 1);
    ur->addWidget(c_pPanelUserScroll);
    lv->addWidget(userRow, 1);
    c_pPanelBottomTitle = new TSkinPanel(lower);
    c_pPanelBottomTitle->SetGradient(VclColour(kClientColour), VclColour(kTitleColour));
    c_pPanelBottomTitle->setFixedHeight(kListTitleHeight);
    auto *bt = new QHBoxLayout(c_pPanelBottomTitle);
    bt->setContentsMargins(0, 0, 0, 0);
    bt->setSpacing(0);
    bt->addStretch(1);
    c_pImageSwitchBottom = NewPicture(c_pPanelBottomTitle, kSmallPictureWidth, kListTitleHeight);
    c_pImageSwapWindow = NewPicture(c_pPanelBottomTitle, kSmallPictureWidth, kListTitleHeight);
    c_pImageSwapWindow->setProperty("hint", ZoxQText(EN_ZOX_TEXT::SwapWindowHint));
    bt->addWidget(c_pImageSwitchBottom);
    bt->addWidget(c_pImageSwapWindow);
    lv->addWidget(c_pPanelBottomTitle);

    c_pSplitterContact->addWidget(upper);
    c_pSplitterContact->addWidget(lower);
    c_pSplitterContact->setStretchFactor(0, 0);
    c_pSplitterContact->setStretchFactor(1, 1);
    c_pSplitterContact->setSizes({kSplitterBarPos, 400});

    c_pPanelGisContainer = new TSkinPanel(c_pPanelMainClient, VclColour(kListColour));
    c_pPanelGisContainer->setObjectName("c_pPanelGisContainer");
    c_pPanelGisContainer->setContentsMargins(1, 1, 1, 1);

    c_pPanelCameraHost = new TSkinPanel(c_pPanelMainClient, QColor(0, 0, 0));
    c_pPanelCameraHost->setFixedSize(kCameraHostSize, kCameraHostSize);
    c_pPanelCameraHost->hide();
    c_pPanelCameraWnd = new QWidget(c_pPanelCameraHost);
    c_pPanelCameraWnd->setObjectName("c_pPanelCameraWnd");
    c_pPanelCameraWnd->setGeometry(0, 0, kCameraHostSize, kCameraHostSize);
}

void TMainForm::BuildRightColumn()
{
    c_pPanelRightTop = new TSkinPanel(c_pPanelMainClient, VclColour(kRightTopColour));
    c_pPanelRightTop->setObjectName("c_pPanelRightTop");
    c_pPanelRightTop->installEventFilter(this);
    c_pImageLeftVisible = NewPicture(c_pPanelRightTop, kBarPictureWidth, kRightTopHeight);
    c_pImageLeftVisible->move(0, 0);
    c_pImageVideoTitleVisible = NewPicture(c_pPanelRightTop, kBarPictureWidth, kRightTopHeight);
    c_pImageVideoTitleVisible->move(kBarPictureWidth, 0);
    for (QLabel *&p : c_pImageSplit) {
        p = NewPicture(c_pPanelRightTop, kSplitPictureWidth, kRightTopHeight);
        p->installEventFilter(this);
    }
    c_pImageFullScreen = NewPicture(c_pPanelRightTop, kBarPictureWidth, kRightTopHeight);
    c_pImageFullScreen->setToolTip(ZoxQText(EN_ZOX_TEXT::FullScreenButtonHint));

    c_pPanelVideoGroup = new TSkinPanel(c_pPanelMainClient, VclColour(kVideoColour));
    c_pPanelVideoGroup->setObjectName("c_pPanelVideoGroup");
    c_pPanelVideoGroup->installEventFilter(this);

    c_pPanelPrompt = new TSkinPanel(c_pPanelMainClient, VclColour(kListColour));
    c_pPanelPrompt->setObjectName("c_pPanelPrompt");
    c_pPanelPrompt->setFixedSize(kPromptWidth, kPromptHeight);
    c_pPanelPrompt->hide();
}

void TMainForm::BuildBottomStrip()
{
    c_pPanelRightBottom = new TSkinPanel(c_pPanelMainClient);
    c_pPanelRightBottom->setObjectName("c_pPanelRightBottom");
    c_pPanelRightBottom->SetGradient(VclColour(kStripTop), VclColour(kStripBottom));
    c_pPanelRightBottom->installEventFilter(this);
    auto *row = new QHBoxLayout(c_pPanelRightBottom);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    c_pPanelOperateCtrl = new TSkinPanel(c_pPanelRightBottom);
    c_pPanelOperateCtrl->setObjectName("c_pPanelOperateCtrl");
    c_pPanelOperateCtrl->SetGradient(VclColour(kStripTop), VclColour(kStripBottom));
    c_pPanelOperateCtrl->installEventFilter(this);
    c_pImageSlideLeft = NewPicture(c_pPanelOperateCtrl, kSlideArrowWidth, 54);
    c_pImageSlideRight = NewPicture(c_pPanelOperateCtrl, kSlideArrowWidth, 54);
    c_pSeparatorStatusCtrl = new TSkinPanel(c_pPanelOperateCtrl);
    c_pSeparatorStatusCtrl->setFixedHeight(1);
    c_pSeparatorStatusCtrl->SetColour(QColor(0x80, 0x80, 0x80));
    c_pPanelStatusBar = new TSkinPanel(c_pPanelOperateCtrl);
    c_pPanelStatusBar->SetGradient(VclColour(0x3A3434), VclColour(kStripBottom));
    c_pPanelStatusBar->setFixedHeight(kStatusBarHeight);
    auto *sb = new QHBoxLayout(c_pPanelStatusBar);
    sb->setContentsMargins(0, 0, 0, 0);
    sb->setSpacing(0);
    c_pImageDispatchStatus = NewPicture(c_pPanelStatusBar, 32, kStatusBarHeight);
    LoadPngResource(c_pImageDispatchStatus, QStringLiteral("IMG_DISPATCH_STATUS"));
    auto pane = [this](int width) {
        auto *l = new QLabel(c_pPanelStatusBar);
        if (width > 0)
            l->setFixedWidth(width);
        l->setStyleSheet("color: #A0A0A4; background: transparent;");
        return l;
    };
    auto gap = [this] { return NewPicture(c_pPanelStatusBar, 24, kStatusBarHeight); };
    c_pStatusPaneStatus = pane(150);
    c_pStatusPaneObject = pane(200);
    c_pStatusPaneSpeaker = pane(150);
    c_pStatusPaneSpeaker->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sb->addWidget(c_pImageDispatchStatus);
    sb->addWidget(c_pStatusPaneStatus);
    sb->addWidget(gap());
    sb->addWidget(c_pStatusPaneObject);
    sb->addWidget(gap());
    sb->addStretch(1);
    sb->addWidget(c_pStatusPaneSpeaker);
    row->addWidget(c_pPanelOperateCtrl, 1);

    c_pPanelDispatchCtrl = new TSkinPanel(c_pPanelRightBottom);
    c_pPanelDispatchCtrl->setObjectName("c_pPanelDispatchCtrl");
    c_pPanelDispatchCtrl->SetGradient(VclColour(kStripTop), VclColour(kStripBottom));
    c_pPanelDispatchCtrl->installEventFilter(this);
    c_pPanelResizeHost = new QWidget(c_pPanelDispatchCtrl);
    c_pPanelResizeHost->setAttribute(Qt::WA_TranslucentBackground);
    c_pImageResize = NewPicture(c_pPanelResizeHost, kResizeHostWidth, kResizeHostWidth);
    c_pImageResize->setCursor(Qt::SizeFDiagCursor);
    LoadPngResource(c_pImageResize, QStringLiteral("IMG_RESIZE_GRIP"));
    c_pImageResize->installEventFilter(this);
    row->addWidget(c_pPanelDispatchCtrl);
}

void TMainForm::ShowSplitPicture(QObject *control, const std::string &name)
{
    LoadPngResource(static_cast<QLabel *>(control), QString::fromStdString(name));
}

void TMainForm::InitImageCtrlMap()
{
    m_pImageMap = new SkinImageMap(kImageMapSize, this);
    QLabel *pictures[kMainImageMapRowCount] = {c_pImageSetting,    c_pImageMin,          c_pImageMax,
                                               c_pImageExit,       c_pImageLeftVisible,  c_pImageFullScreen,
                                               c_pImageSlideLeft,  c_pImageSlideRight,   c_pImageSwapWindow,
                                               c_pImageSwitchBottom, c_pImageCameraMenu, c_pImageVideoTitleVisible};
    // The flags that select each picture's second set.
    std::function<int()> alternates[kMainImageMapRowCount] = {
        nullptr,
        nullptr,
        [this] { return isMaximized() || m_modes.fullScreen ? 1 : 0; },
        nullptr,
        [this] { return m_modes.leftVisible ? 0 : 1; },
        [this] { return m_modes.fullScreen ? 1 : 0; },
        nullptr,
        nullptr,
        nullptr,
        [this] { return m_modes.folded ? 1 : 0; },
        nullptr,
        [this] { return m_videoTitlesVisible ? 0 : 1; },
    };
    for (std::size_t i = 0; i < kMainImageMapRowCount; ++i) {
        const MainImageMapRow &row = kMainImageMapRows[i];
        if (row.alternateNames[0])
            m_pImageMap->Add(pictures[i], Names(row.names), Names(row.alternateNames), alternates[i]);
        else
            m_pImageMap->Add(pictures[i], Names(row.names));
    }
    m_pImageMap->SetOnClick(c_pImageMin, [this](QLabel *) { OnImageMinClick(); });
    m_pImageMap->SetOnClick(c_pImageMax, [this](QLabel *) { OnImageMaxClick(); });
    m_pImageMap->SetOnClick(c_pImageExit, [this](QLabel *) { OnImageExitClick(); });
    m_pImageMap->SetOnClick(c_pImageFullScreen, [this](QLabel *) { OnImageFullScreenClick(); });
    m_pImageMap->SetOnClick(c_pImageLeftVisible, [this](QLabel *) { OnImageLeftVisibleClick(); });
    m_pImageMap->SetOnClick(c_pImageSwitchBottom, [this](QLabel *) { OnImageSwitchBottomClick(); });
    m_pImageMap->SetOnClick(c_pImageSwapWindow, [this](QLabel *) { OnImageSwapWindowClick(); });
    m_pImageMap->SetOnClick(c_pImageVideoTitleVisible, [this](QLabel *) { OnImageVideoTitleVisibleClick(); });
    m_pImageMap->SetOnClick(c_pImageSlideLeft, [this](QLabel *) { OnImageSlideLeftClick(); });
    m_pImageMap->SetOnClick(c_pImageSlideRight, [this](QLabel *) { OnImageSlideRightClick(); });
    m_pImageMap->SetOnClick(c_pImageSetting, [this](QLabel *) { OnImageSettingClick(); });
    BuildCameraMenu();

    for (std::size_t i = 0; i < kSplitScreenPictureCount; ++i) {
        m_splitMap.Set(i, c_pImageSplit[i]);
        c_pImageSplit[i]->setProperty("hint", ZoxQText(EN_ZOX_TEXT(int(EN_ZOX_TEXT::SplitOne) + int(i))));
    }
}

// ---------------------------------------------------------------------------------
// Creation, login completion, destruction

void TMainForm::OnFormCreate()
{
    if (g_pSystemConfig) {
        c_pLabelTitle->setText(Q(g_pSystemConfig->GetTitle()));
        c_pLabelGroupUnit->setText(Q(g_pSystemConfig->GetDepartment()));
    }
    InitTitleBarImages();
    InitLowerLeftPanel();
    InitSplitImages();
    InitTaskButtons();
    InitOperateButtons();
    BindOperationActions();
    ShowDispatchStatus(0, "", "");
    // The call-signalling and video-push datagrams come to this window from now on.
    NetSubscribe(WM_NET_CALL, this);
    NetSubscribe(WM_NET_VIDEOPUSH, this);
    RegisterHotKeys();
    m_created = true;
    ApplyGeometry();
}

void TMainForm::InitTitleBarImages()
{
    m_modes.leftVisible = true;
    SetImageCtrlStatus(c_pImageLeftVisible, zox::skin::kPictureNormal);
    m_videoTitlesVisible = true;
    SetImageCtrlStatus(c_pImageVideoTitleVisible, zox::skin::kPictureNormal);
    m_modes.fullScreen = false;
    SetPictureEnabled(c_pImageFullScreen, true);
    SetImageCtrlStatus(c_pImageFullScreen, zox::skin::kPictureNormal);
    ApplyWindowState(true);
    for (QLabel *p : {c_pImageSetting, c_pImageMin, c_pImageMax, c_pImageExit})
        SetImageCtrlStatus(p, zox::skin::kPictureNormal);
    c_pImageSetting->show();
    c_pImageCameraMenu->hide();
    SetImageCtrlStatus(c_pImageCameraMenu, zox::skin::kPictureNormal);
    UpdatePictureHints();
}

void TMainForm::InitLowerLeftPanel()
{
    m_modes.swapped = false;
    m_modes.mapAvailable = g_pSystemConfig && g_pSystemConfig->IsGisAvailable();
    if (m_modes.mapAvailable) {
        UnfoldLowerLeftPanel();
    } else {
        m_modes.folded = false;
        c_pImageSwitchBottom->hide();
        c_pImageSwapWindow->hide();
        LayoutLeftColumn();
    }
}

void TMainForm::InitSplitImages()
{
    for (QLabel *p : c_pImageSplit)
        SetSplitImageStatus(p, zox::skin::kPictureNormal);
    // The wall starts with four windows.
    QLabel *four = c_pImageSplit[3];
    SetSplitImageStatus(four, zox::skin::kPicturePressed);
    SelectSplitImage(four);
    CreateVideoWindows();
}

void TMainForm::CreateRtspClient()
{
    if (m_hasRtspClient)
        return;
    m_hasRtspClient = m_rtspStarter ? m_rtspStarter() : StartRtspClient(this);
    m_rtspStartFailed = !m_hasRtspClient;
}

void TMainForm::RebuildDispatchLines() { m_lineTable->RebuildDispatchLines(CLoginSession::SystemLines()); }

IDispatchSessionHost &TMainForm::DispatchSessionHost() { return *m_dispatchHost; }

void TMainForm::OnFormShow()
{
    // The window shows and works without video preview; the tip comes once it shows.
    if (!m_hasRtspClient && m_rtspStartFailed)
        QTimer::singleShot(0, this, [] {
            ShowMsgTip(ZoxText(EN_ZOX_TEXT::RtspInitFailed));
        });
}

void TMainForm::OnFormDestroy()
{
    UnregisterHotKeys();
    m_lineTable->DropAllSessions();
    if (c_pUpdateTimer)
        c_pUpdateTimer->stop();
}

void TMainForm::RegisterHotKeys()
{
    if (m_pFullScreenKey)
        return;
    // Application shortcuts, live only while this window shows, so a dialog that shows
    // alone (the login splash) still gets its Esc.
    m_pFullScreenKey = new QShortcut(QKeySequence(Qt::Key_F1), this);
    m_pFullScreenKey->setContext(Qt::ApplicationShortcut);
    m_pFullScreenKey->setAutoRepeat(false);
    connect(m_pFullScreenKey, &QShortcut::activated, this, [this] { OnHotKey(HotKey::EnterFullScreen); });
    m_pExitFullScreenKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_pExitFullScreenKey->setContext(Qt::ApplicationShortcut);
    m_pExitFullScreenKey->setAutoRepeat(false);
    connect(m_pExitFullScreenKey, &QShortcut::activated, this, [this] { OnHotKey(HotKey::ExitFullScreen); });
    m_pFullScreenKey->setEnabled(isVisible());
    m_pExitFullScreenKey->setEnabled(isVisible());
}

void TMainForm::UnregisterHotKeys()
{
    delete m_pFullScreenKey;
    m_pFullScreenKey = nullptr;
    delete m_pExitFullScreenKey;
    m_pExitFullScreenKey = nullptr;
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_pFullScreenKey)
        m_pFullScreenKey->setEnabled(true);
    if (m_pExitFullScreenKey)
        m_pExitFullScreenKey->setEnabled(true);
    if (!event->spontaneous()) {
        OnFormShow();
        FitToStateLater();
    }
}

void TMainForm::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return; // minimised: still this window's keys when it comes back
    if (m_pFullScreenKey)
        m_pFullScreenKey->setEnabled(false);
    if (m_pExitFullScreenKey)
        m_pExitFullScreenKey->setEnabled(false);
}

void TMainForm::SetListCache(IMainListCache *cache)
{
    m_pListCache = cache;
    SetSelectionCache(cache);
}

// ---------------------------------------------------------------------------------
// Picture maps

void TMainForm::SetImageCtrlStatus(QObject *control, int state)
{
    if (auto *p = qobject_cast<QLabel *>(control))
        m_pImageMap->SetImageCtrlStatus(p, state);
}

int TMainForm::GetImageCtrlStatus(QObject *control) const
{
    auto *p = qobject_cast<QLabel *>(control);
    return p ? m_pImageMap->GetImageCtrlStatus(p) : -1;
}

void TMainForm::SetSplitImageStatus(QObject *control, int state)
{
    auto *w = qobject_cast<QWidget *>(control);
    m_splitMap.SetSplitImageStatus(control, state, w && w->isEnabled(),
                                   [this](QObject *c, const std::string &n) { ShowSplitPicture(c, n); });
}

int TMainForm::GetSplitImageStatus(QObject *control) const { return m_splitMap.GetSplitImageStatus(control); }

bool TMainForm::SelectSplitImage(QObject *control)
{
    return m_splitMap.SelectSplitImage(
        control, m_windowCount,
        [](QObject *c) {
            auto *w = qobject_cast<QWidget *>(c);
            return w && w->isEnabled();
        },
        [this](QObject *c, const std::string &n) { ShowSplitPicture(c, n); });
}

bool TMainForm::IsSplitImageSelected(QObject *control) const { return m_splitMap.IsSplitImageSelected(control); }

void TMainForm::SetPictureEnabled(QLabel *picture, bool enabled)
{
    picture->setEnabled(enabled);
    SetImageCtrlStatus(picture, enabled ? zox::skin::kPictureNormal : zox::skin::kPictureDisabled);
}

void TMainForm::UpdatePictureHints()
{
    // The other pictures carry their hints without showing them.
    c_pImageLeftVisible->setProperty("hint", QString::fromUtf8(LeftColumnHint(m_modes.leftVisible)));
    c_pImageSwitchBottom->setProperty("hint", QString::fromUtf8(FoldHint(m_modes.folded)));
    c_pImageMax->setProperty("hint", QString::fromUtf8(MaximizeHint(isMaximized() || m_modes.fullScreen)));
}

// ---------------------------------------------------------------------------------
// Layout

void TMainForm::ApplyGeometry()
{
    LayoutLeftColumn();
    LayoutRightColumn();
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    OnFormResize();
}

void TMainForm::OnFormResize()
{
    QScreen *s = screen();
    if (!s)
        return;
    if (m_modes.fullScreen) {
        setMaximumHeight(s->geometry().height());
    } else {
        setMaximumHeight(std::max(s->availableGeometry().height(), kMinHeight));
        setMinimumSize(kMinWidth, kMinHeight);
    }
}

void TMainForm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        m_modes.maximized = isMaximized() || isFullScreen();
        OnPanelRightBottomResize();
        SetImageCtrlStatus(c_pImageMax, GetImageCtrlStatus(c_pImageMax));
        UpdatePictureHints();
    }
}

void TMainForm::OnPanelMainClientResize()
{
    LayoutLeftColumn();
    LayoutRightColumn();
}

void TMainForm::LayoutLeftColumn()
{
    if (!c_pPanelMainClient)
        return;
    const MainWindowGeometry g =
        LayoutMainClient(m_modes, c_pPanelMainClient->width(), c_pPanelMainClient->height());
    auto place = [](QWidget *w, const Rect &r) { w->setGeometry(r.left, r.top, r.width, r.height); };
    place(c_pSplitterContact, g.splitter);
    c_pSplitterContact->setVisible(g.splitter.width > 0);
    QWidget *lower = GetLowerLeftPanel();
    place(lower, g.lowerLeft);
    lower->setVisible(g.lowerLeft.width > 0 && g.lowerLeft.height > 0);
    // The local camera preview sits at the bottom of the column, sized for its capture.
    c_pPanelCameraHost->move(0, g.cameraHostTop + kCameraHostSize - c_pPanelCameraHost->height());
}

void TMainForm::LayoutRightColumn()
{
    if (!c_pPanelMainClient)
        return;
    const MainWindowGeometry g =
        LayoutMainClient(m_modes, c_pPanelMainClient->width(), c_pPanelMainClient->height());
    auto place = [](QWidget *w, const Rect &r) { w->setGeometry(r.left, r.top, r.width, r.height); };
    place(c_pPanelRightTop, g.rightTop);
    if (!g.rightTopVisible)
        c_pPanelRightTop->raise();
    QWidget *main = GetMainAreaPanel();
    place(main, g.mainArea);
    main->show();
    place(c_pPanelRightBottom, g.rightBottom);
    c_pPanelPrompt->move(g.prompt.left, g.prompt.top);
    c_pPanelPrompt->raise();
}

void TMainForm::OnPanelRightTopResize() { LayoutRightTopBar(); }

void TMainForm::LayoutRightTopBar()
{
    // From the right edge leftwards: full screen, then 16, 13, 9, 8, 6, 4, 3, 2, 1.
    int x = c_pPanelRightTop->width();
    if (c_pImageFullScreen->isVisibleTo(c_pPanelRightTop)) {
        x -= c_pImageFullScreen->width();
        c_pImageFullScreen->move(x, 0);
    }
    for (int i = static_cast<int>(kSplitScreenPictureCount) - 1; i >= 0; --i) {
        QLabel *p = c_pImageSplit[i];
        if (!p->isVisibleTo(c_pPanelRightTop))
            continue;
        x -= p->width();
        p->move(x, 0);
    }
}

void TMainForm::SetVideoBarImagesVisible(bool visible)
{
    for (QLabel *p : c_pImageSplit)
        p->setVisible(visible);
    c_pImageFullScreen->setVisible(visible);
    if (visible)
        LayoutRightTopBar();
}

void TMainForm::SetLeftColumnVisible(bool visible)
{
    m_modes.leftVisible = visible;
    UpdatePictureHints();
    LayoutLeftColumn();
    LayoutRightColumn();
}

QWidget *TMainForm::GetLowerLeftPanel() const
{
    return m_modes.swapped ? static_cast<QWidget *>(c_pPanelVideoGroup) : c_pPanelGisContainer;
}

QWidget *TMainForm::GetMainAreaPanel() const
{
    return m_modes.swapped ? static_cast<QWidget *>(c_pPanelGisContainer) : c_pPanelVideoGroup;
}

void TMainForm::OnImageLeftVisibleClick()
{
    SetLeftColumnVisible(!m_modes.leftVisible);
    SetImageCtrlStatus(c_pImageLeftVisible, GetImageCtrlStatus(c_pImageLeftVisible));
}

void TMainForm::OnImageSwitchBottomClick()
{
    if (m_modes.folded)
        UnfoldLowerLeftPanel();
    else
        FoldLowerLeftPanel();
}

void TMainForm::FoldLowerLeftPanel()
{
    m_modes.folded = true;
    UpdatePictureHints();
    SetImageCtrlStatus(c_pImageSwitchBottom, zox::skin::kPictureNormal);
    SetPictureEnabled(c_pImageSwapWindow, false);
    LayoutLeftColumn();
}

void TMainForm::UnfoldLowerLeftPanel()
{
    m_modes.folded = false;
    UpdatePictureHints();
    SetImageCtrlStatus(c_pImageSwitchBottom, zox::skin::kPictureNormal);
    SetPictureEnabled(c_pImageSwapWindow, true);
    LayoutLeftColumn();
}

void TMainForm::OnImageSwapWindowClick()
{
    // Only with a map window.
    if (!m_pMapForm || m_modes.folded)
        return;
    m_modes.swapped = !m_modes.swapped;
    SetVideoBarImagesVisible(!m_modes.swapped);
    LayoutLeftColumn();
    LayoutRightColumn();
    if (m_modes.swapped)
        MapHideLogo(); // the map takes the large area
}

void TMainForm::OnImageVideoTitleVisibleClick()
{
    m_videoTitlesVisible = !m_videoTitlesVisible;
    for (TVideoWndCtrl *w : m_videoWnds)
        w->SetTitleBarVisible(m_videoTitlesVisible);
    SetImageCtrlStatus(c_pImageVideoTitleVisible, GetImageCtrlStatus(c_pImageVideoTitleVisible));
}

void TMainForm::OnImageSettingClick()
{
    int result = 0;
    {
        TConfigDlgForm dlg(this);
        result = dlg.exec();
    }
    if (result != TConfigDlgForm::kResultOk || !g_pSystemConfig)
        return;
    c_pLabelTitle->setText(Q(g_pSystemConfig->GetTitle()));
    c_pLabelGroupUnit->setText(Q(g_pSystemConfig->GetDepartment()));
    // The preview setting may have changed: show the console's own camera while a call
    // of the console sends it, hide it otherwise.
    bool sending = false;
    if (g_pSystemConfig->IsCameraPreview()) {
        for (const auto &line : DispatchLines().Lines()) {
            if (line->state != kLineIdle && line->kind == kMediaVoice && line->confAudio && line->session &&
                line->session->HasLocalPreview()) {
                sending = true;
                break;
            }
        }
    }
    ShowCameraPreview(sending);
}

void TMainForm::ShowContactForm()
{
    if (!ContactsDbOpen()) {
        ShowMsgTip(ZoxText(EN_ZOX_TEXT::AddressBookOpenFailed));
        return;
    }
    if (!m_pContactForm) {
        m_pContactForm = new TContactForm(nullptr);
        m_pContactForm->CallNumberHandler = [this](QWidget *owner, const std::string &number) {
            OnContactCallNumber(owner, number);
        };
        m_pContactForm->move(frameGeometry().center() -
                             QPoint(m_pContactForm->width() / 2, m_pContactForm->height() / 2));
    }
    m_pContactForm->show();
    m_pContactForm->raise();
}

void TMainForm::OnContactCallNumber(QWidget *owner, const std::string &number)
{
    if (!IsUserReachable(number)) {
        ShowMsgTip(ZoxText(EN_ZOX_TEXT::ContactsUserUnreachable));
        return;
    }
    int result = 0;
    {
        TCallConfirmForm confirm(owner ? owner : this, number);
        result = confirm.exec();
    }
    if (result == 1)
        DialNumber(number);
}

// ---------------------------------------------------------------------------------
// Title bar, window buttons, full screen

void TMainForm::ApplyWindowState(bool maximized)
{
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
        m_normalGeometry = geometry();
    Qt::WindowStates s = windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized);
    if (maximized)
        s |= Qt::WindowMaximized;
    setWindowState(s);
    FitToStateLater();
    m_modes.maximized = maximized;
    UpdatePictureHints();
}

void TMainForm::OnImageMinClick() { showMinimized(); }

void TMainForm::OnImageMaxClick()
{
    ApplyWindowState(!isMaximized());
    SetImageCtrlStatus(c_pImageMax, GetImageCtrlStatus(c_pImageMax));
}

void TMainForm::OnImageExitClick()
{
    c_pUpdateTimer->stop();
    if (m_pContactForm) {
        m_pContactForm->close();
        delete m_pContactForm;
        m_pContactForm = nullptr;
    }
    if (m_exitAction)
        m_exitAction();
}

void TMainForm::OnImageFullScreenClick() { ToggleFullScreen(); }

void TMainForm::OnHotKey(HotKey key)
{
    if (HotKeyToggles(key, m_modes.fullScreen))
        ToggleFullScreen();
}

void TMainForm::ToggleFullScreen()
{
    m_inFullScreenToggle = true;
    if (!m_modes.fullScreen) {
        EnterFullScreen(m_modes, m_fullScreenMemory);
        UpdatePictureHints();
        // The window covers the whole screen.
        if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)))
            m_normalGeometry = geometry();
        setWindowState((windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized)) | Qt::WindowFullScreen);
        c_pPanelTitleBar->hide();
        c_pPanelRightTop->hide();
        c_pPanelRightBottom->hide();
        c_pImageVideoTitleVisible->hide();
        c_pImageLeftVisible->hide();
        SetLeftColumnVisible(false);
        // The dial pad (its own step) leaves the prompt panel; an empty panel hides.
        bool holds = false;
        for (QObject *c : c_pPanelPrompt->children())
            if (auto *w = qobject_cast<QWidget *>(c); w && !w->isHidden())
                holds = true;
        if (!holds)
            c_pPanelPrompt->hide();
        FitToStateLater();
    } else {
        LeaveFullScreen(m_modes, m_fullScreenMemory);
        c_pPanelTitleBar->show();
        c_pPanelRightTop->show();
        c_pPanelRightBottom->show();
        SetLeftColumnVisible(m_modes.leftVisible);
        c_pImageLeftVisible->show();
        c_pImageVideoTitleVisible->show();
        SetImageCtrlStatus(c_pImageLeftVisible, zox::skin::kPictureNormal);
        SetImageCtrlStatus(c_pImageVideoTitleVisible, zox::skin::kPictureNormal);
        ApplyWindowState(m_fullScreenMemory.wasMaximized);
        SetImageCtrlStatus(c_pImageMax, zox::skin::kPictureNormal);
    }
    SetImageCtrlStatus(c_pImageFullScreen, GetImageCtrlStatus(c_pImageFullScreen));
    c_pImageFullScreen->setToolTip(QString::fromUtf8(FullScreenHint(m_modes.fullScreen)));
    UpdatePictureHints();
    m_inFullScreenToggle = false;
    OnFormResize();
    LayoutLeftColumn();
    LayoutRightColumn();
    // The video wall lays itself out once here (its own step).
}

// Without a window manager (a bare X server, a kiosk session) the window state alone
// does not size a frameless window. A moment after a change, a window whose size
// still does not follow its state is sized here; under a window manager it already is.
void TMainForm::FitToStateLater()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    QTimer::singleShot(200, this, [this] {
        QScreen *s = screen();
        if (!s || !isVisible())
            return;
        QRect want;
        if (windowState() & Qt::WindowFullScreen)
            want = s->geometry();
        else if (windowState() & Qt::WindowMaximized)
            want = s->availableGeometry();
        else if (!(windowState() & Qt::WindowMinimized) && m_normalGeometry.isValid())
            want = m_normalGeometry;
        if (want.isValid() && geometry() != want) {
            const Qt::WindowStates state = windowState();
            setGeometry(want);
            // Sizing by hand may drop the state on some platforms; it still holds.
            if (windowState() != state)
                setWindowState(state);
        }
    });
}

// ---------------------------------------------------------------------------------
// Events

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::Resize) {
        if (watched == c_pPanelMainClient)
            OnPanelMainClientResize();
        else if (watched == c_pPanelRightTop)
            OnPanelRightTopResize();
        else if (watched == c_pPanelRightBottom || watched == c_pPanelOperateCtrl || watched == c_pPanelDispatchCtrl)
            OnPanelRightBottomResize();
        else if (watched == c_pPanelGroupHost)
            OnPanelGroupHostResize();
        else if (watched == c_pPanelUserHost)
            OnPanelUserHostResize();
        else if (watched == c_pPanelVideoGroup)
            OnPanelVideoGroupResize();
        return false;
    }
    if (t == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() != Qt::LeftButton)
            return false;
        if (watched == c_pPanelTitleBar || watched == c_pLabelTitle) {
            if (QWindow *w = windowHandle(); w && !m_modes.fullScreen)
                w->startSystemMove();
            return true;
        }
        if (watched == c_pImageResize) {
            if (QWindow *w = windowHandle())
                w->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
            return true;
        }
    }
    // Split-layout pictures follow the pointer like the map's pictures.
    for (QLabel *p : c_pImageSplit) {
        if (watched != p)
            continue;
        const int state = GetSplitImageStatus(p);
        zox::skin::PointerEvent pe;
        if (t == QEvent::Enter)
            pe = zox::skin::PointerEvent::Enter;
        else if (t == QEvent::Leave)
            pe = zox::skin::PointerEvent::Leave;
        else if (t == QEvent::MouseButtonPress)
            pe = zox::skin::PointerEvent::Down;
        else if (t == QEvent::MouseButtonRelease)
            pe = zox::skin::PointerEvent::Up;
        else
            return false;
        // The current layout stays pressed.
        if (!IsSplitImageSelected(p))
            SetSplitImageStatus(p, zox::skin::NextPictureState(state, pe, p->isEnabled()));
        if (t == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
            p->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
            OnImageSplitScreenClick(p);
        }
        return false;
    }
    return false;
}

void TMainForm::customEvent(QEvent *event)
{
    const CWindowMessage *m = CWindowMessage::From(event);
    if (!m) {
        QWidget::customEvent(event);
        return;
    }
    switch (m->message) {
    case WM_NET_CALL:
        OnNetCall(m->data);
        break;
    case WM_NET_VIDEOPUSH:
        OnNetVideoPush(m->data);
        break;
    case WM_TBCP_IDLE:
    case WM_TBCP_TAKEN:
    case WM_TBCP_GRANTED:
    case WM_TBCP_DENY:
    case WM_TBCP_RELEASE:
        OnTalkBurst(m->message, m->wParam, m->data.toStdString());
        break;
    case WM_DIALPAD_DIAL:
        DialFromDialPanel();
        break;
    case WM_CALLPROGRESS_CLOSE:
        HideCallProgress();
        break;
    case WM_CALLPROGRESS_REDIAL:
        RedialCallProgress();
        break;
    case WM_CALLPROGRESS_HANGUP:
        CancelCallProgress();
        break;
    case WM_CAMERA_STATE:
        // A camera check's verdict: stored now, shown by the next refresh.
        if (m_pListCache)
            m_pListCache->UpdateCameraStatus(std::to_string(static_cast<uint32_t>(m->wParam)),
                                             static_cast<int>(m->lParam));
        break;
    default:
        break;
    }
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    // Closing the window ends the console, as the exit picture does.
    if (m_exitAction) {
        event->ignore();
        OnImageExitClick();
        return;
    }
    QWidget::closeEvent(event);
}

// The datagram's bytes belong to its message and go with it.
void TMainForm::OnNetCall(const QByteArray &datagram)
{
    m_incoming->OnNetCall(reinterpret_cast<const uint8_t *>(datagram.constData()), std::size_t(datagram.size()));
}

void TMainForm::OnNetVideoPush(const QByteArray &datagram)
{
    m_incoming->OnNetVideoPush(reinterpret_cast<const uint8_t *>(datagram.constData()), std::size_t(datagram.size()));
}

int TMainForm::AnswerCall(ST_ZOX_DISPATCH_LINE_INFO *line) { return m_incoming->AnswerCall(line); }

void TMainForm::SendStopVpNotify(uint32_t sourceId, uint32_t destinationId, const std::string &number)
{
    m_incoming->SendStopVpNotify(sourceId, destinationId, number);
}

void TMainForm::OnTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker)
{
    m_incoming->OnTalkBurst(message, wParam, speaker);
}

bool TMainForm::IsCallAlertVisible() const { return m_pCallAlert && m_pCallAlert->isVisible(); }

int TMainForm::ShowCallAlert(int32_t callId, const std::string &number, int32_t kind)
{
    if (!m_pCallAlert) {
        m_pCallAlert = new TCallAlertForm(this);
        m_pCallAlert->SetNameLookup([this](const std::string &n) {
            ST_ZOX_SYSTEM_USER user;
            return m_pListCache && m_pListCache->GetSystemUser(n, user) == 0 ? user.displayName : std::string();
        });
    }
    m_pCallAlert->ShowCall(callId, number, kind);
    m_pCallAlert->move(geometry().center() - m_pCallAlert->rect().center());
    return m_pCallAlert->exec();
}

int32_t TMainForm::CallAlertId() const { return m_pCallAlert ? m_pCallAlert->GetCallId() : 0; }

void TMainForm::DismissCallAlert()
{
    if (m_pCallAlert)
        m_pCallAlert->Dismiss();
}

void TMainForm::OnVideoSize(int32_t instance, uint32_t width, uint32_t height)
{
    CDispatchSession *session = m_lineTable->FindSessionByInstance(instance);
    if (session && session->GetVideoWindow())
        session->GetVideoWindow()->SetVideoSize(width, height);
}

void TMainForm::wheelEvent(QWheelEvent *event)
{
    OnFormMouseWheel(event->angleDelta().y(), event->globalPosition().toPoint());
    event->accept();
}

// ---------------------------------------------------------------------------------
// Lists and the current selection

void TMainForm::ReloadLists()
{
    // Without a cache of its own the window reads the console's data module.
    if ((!m_pListCache || m_pListCache == m_pModuleCache.get()) && g_pZoxDataModule &&
        m_pCacheModule != g_pZoxDataModule) {
        m_pModuleCache = std::make_unique<TZoxDataModuleListCache>(*g_pZoxDataModule);
        m_pCacheModule = g_pZoxDataModule;
        SetListCache(m_pModuleCache.get());
    }
    ClearGroupCells();
    ClearUserCells();
    LoadGroupCells();
    EnableUpdateTimer(true);
}

void TMainForm::ClearGroupCells()
{
    for (TGroupCellCtrl *t : m_groupCells) {
        t->setParent(nullptr);
        delete t;
    }
    m_groupCells.clear();
    SetCurrentSelection(kSelectNone, -1, "", -1);
    PlaceFlowPanel(c_pFlowPanelGroup, c_pPanelGroupHost, 0, 0, false);
    if (m_pGroupScrollBar)
        m_pGroupScrollBar->hide();
}

void TMainForm::ClearUserCells()
{
    c_pLabelUserGroup->clear();
    if (m_pUserTiles)
        m_pUserTiles->Release();
    m_userRows.Clear();
    c_pFlowPanelUser->resize(c_pPanelUserHost->width(), 0);
    PlaceFlowPanel(c_pFlowPanelUser, c_pPanelUserHost, 0, 0, false);
    if (m_pUserScrollBar)
        m_pUserScrollBar->hide();
}

void TMainForm::PlaceFlowPanel(QWidget *panel, QWidget *host, int left, int top, bool custom)
{
    // Top-aligned: at the host's top, its full width; custom: where the scroll puts it.
    const int x = custom ? left : 0;
    panel->setGeometry(x, custom ? top : 0, host->width(), panel->height());
}

void TMainForm::LoadGroupCells()
{
    AddGroupCell(kGroupTypeAllUsers, kGroupIdAllUsers, ZoxText(EN_ZOX_TEXT::AllUserGroup), "");
    AddGroupCell(kGroupTypeCamera, kGroupIdCamera, ZoxText(EN_ZOX_TEXT::CameraGroup), "");
    if (m_pListCache) {
        std::vector<ST_ZOX_SYSTEM_GROUP> groups;
        m_pListCache->GetSystemGroups(groups);
        for (const ST_ZOX_SYSTEM_GROUP &g : groups)
            AddGroupCell(kGroupTypeServer, static_cast<int>(g.groupId), g.groupName, g.groupNumber);
    }
    c_pFlowPanelGroup->resize(c_pPanelGroupHost->width(), TilePanelHeight(static_cast<int>(m_groupCells.size())));
    UpdateGroupScrollBar();
}

void TMainForm::AddGroupCell(int groupType, int groupId, const std::string &name, const std::string &number)
{
    auto *t = new TGroupCellCtrl(c_pFlowPanelGroup, groupType, groupId, name, number);
    t->SetSelectHandler([this](TGroupCellCtrl *tile, bool byUser) { OnGroupCellSelected(tile, byUser); });
    t->setFixedSize(kTileWidth, kTileHeight);
    const int i = static_cast<int>(m_groupCells.size());
    t->move((i % kTilesPerRow) * kTileWidth, (i / kTilesPerRow) * kTileHeight);
    t->show();
    m_groupCells.push_back(t);
}

void TMainForm::LoadUserCells(int groupType, int groupId, const std::string &title)
{
    c_pLabelUserGroup->setText(Q(title));
    c_pImageCameraMenu->setVisible(groupType == kGroupTypeCamera);
    if (m_pListCache) {
        std::vector<UserTileData> tiles;
        ReadUserTiles(*m_pListCache, groupType, groupId, tiles);
        m_userRows.Assign(std::move(tiles));
    }
    // The tile panel is as high as all rows; only the rows in sight get a tile.
    c_pFlowPanelUser->resize(c_pPanelUserHost->width(), TilePanelHeight(m_userRows.Count()));
    UpdateUserScrollBar();
    ShowVisibleUsers(false);
}

void TMainForm::ShowVisibleUsers(bool readStates)
{
    if (m_userRows.Empty())
        return;
    if (!m_pUserTiles) {
        m_pUserTiles = std::make_unique<CUserTilePool>(c_pFlowPanelUser, [this](TUserCellCtrl *t) {
            t->SetSelectHandler([this](TUserCellCtrl *tile, bool byUser) { OnUserCellSelected(tile, byUser); });
            t->SetUsableCheckHandler([this](TUserCellCtrl *tile) { CheckUserCellUsable(tile); });
        });
    }
    const TileRange range =
        VisibleTiles(m_userRows.Count(), -c_pFlowPanelUser->y(), c_pPanelUserHost->height(), kTileHeight);
    const std::vector<int> fresh = m_pUserTiles->Unbound(range);
    if (fresh.empty())
        return;
    if (m_pListCache)
        ReadRowTips(*m_pListCache, m_userRows, fresh);
    m_pUserTiles->Show(m_userRows, range);
    if (readStates && m_pListCache && CurrentSelection.groupId != -1)
        RefreshRowStates(*m_pListCache, CurrentSelection.groupType, m_userRows, fresh,
                         [this](int row) { m_pUserTiles->Redraw(m_userRows, row); });
}

std::vector<TUserCellCtrl *> TMainForm::VisibleUserCells() const
{
    std::vector<TUserCellCtrl *> tiles;
    if (!m_pUserTiles)
        return tiles;
    const TileRange range =
        VisibleTiles(m_userRows.Count(), -c_pFlowPanelUser->y(), c_pPanelUserHost->height(), kTileHeight);
    for (int row = range.first; row < range.last; ++row)
        if (TUserCellCtrl *t = m_pUserTiles->TileOf(row))
            tiles.push_back(t);
    return tiles;
}

std::vector<TUserCellCtrl *> TMainForm::UserCells()
{
    std::vector<TUserCellCtrl *> tiles;
    if (m_userRows.Empty())
        return tiles;
    ShowVisibleUsers(false);
    std::vector<int> all(static_cast<std::size_t>(m_userRows.Count()));
    for (int i = 0; i < m_userRows.Count(); ++i)
        all[static_cast<std::size_t>(i)] = i;
    if (m_pListCache)
        ReadRowTips(*m_pListCache, m_userRows, all);
    tiles.reserve(all.size());
    for (int row : all)
        tiles.push_back(m_pUserTiles->Bind(m_userRows, row));
    return tiles;
}

void TMainForm::OnPanelGroupHostResize()
{
    // The tile panel keeps the host's width (two tiles a row).
    c_pFlowPanelGroup->resize(c_pPanelGroupHost->width(), c_pFlowPanelGroup->height());
    UpdateGroupScrollBar();
}

void TMainForm::OnPanelUserHostResize()
{
    c_pFlowPanelUser->resize(c_pPanelUserHost->width(), c_pFlowPanelUser->height());
    UpdateUserScrollBar();
    ShowVisibleUsers(true);
}

void TMainForm::UpdateGroupScrollBar()
{
    const ListScrollUpdate u =
        ListScrollUpdateFor(static_cast<int>(m_groupCells.size()), c_pPanelGroupHost->height(),
                            c_pFlowPanelGroup->height(), c_pFlowPanelGroup->y(),
                            m_groupCells.empty() ? kTileHeight : m_groupCells.front()->height());
    if (!u.act)
        return;
    if (u.showBar && !m_pGroupScrollBar) {
        m_pGroupScrollBar = new TScrollBarCtrl(c_pPanelGroupScroll);
        m_pGroupScrollBar->setGeometry(c_pPanelGroupScroll->rect());
        c_pPanelGroupScroll->installEventFilter(this);
        auto *l = new QVBoxLayout(c_pPanelGroupScroll);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(m_pGroupScrollBar);
        m_pGroupScrollBar->SetScrollHandler([this](TScrollBarCtrl *) { ScrollGroupList(); });
    }
    if (!m_pGroupScrollBar)
        return;
    m_pGroupScrollBar->SetParams(u.range, u.view, u.line, u.position);
    m_pGroupScrollBar->setVisible(u.showBar);
}

void TMainForm::UpdateUserScrollBar()
{
    const ListScrollUpdate u =
        ListScrollUpdateFor(m_userRows.Count(), c_pPanelUserHost->height(), c_pFlowPanelUser->height(),
                            c_pFlowPanelUser->y(), kTileHeight);
    if (!u.act)
        return;
    if (u.showBar && !m_pUserScrollBar) {
        m_pUserScrollBar = new TScrollBarCtrl(c_pPanelUserScroll);
        auto *l = new QVBoxLayout(c_pPanelUserScroll);
        l->setContentsMargins(0, 0, 0, 0);
        l->addWidget(m_pUserScrollBar);
        m_pUserScrollBar->SetScrollHandler([this](TScrollBarCtrl *) { ScrollUserList(); });
    }
    if (!m_pUserScrollBar)
        return;
    m_pUserScrollBar->SetParams(u.range, u.view, u.line, u.position);
    m_pUserScrollBar->setVisible(u.showBar);
}

void TMainForm::ScrollGroupList()
{
    if (m_pGroupScrollBar)
        PlaceFlowPanel(c_pFlowPanelGroup, c_pPanelGroupHost, kGroupListLeft, -m_pGroupScrollBar->GetPosition(), true);
}

void TMainForm::ScrollUserList()
{
    if (!m_pUserScrollBar)
        return;
    PlaceFlowPanel(c_pFlowPanelUser, c_pPanelUserHost, kUserListLeft, -m_pUserScrollBar->GetPosition(), true);
    ShowVisibleUsers(true);
}

void TMainForm::OnFormMouseWheel(int delta, QPoint globalPos)
{
    if (c_pScrollTimer->isActive())
        return;
    c_pScrollTimer->start();
    auto rectOf = [](QWidget *w) {
        const QPoint tl = w->mapToGlobal(QPoint(0, 0));
        return ScreenRect{tl.x(), tl.y(), tl.x() + w->width(), tl.y() + w->height()};
    };
    WheelList groups{m_pGroupScrollBar && m_pGroupScrollBar->isVisible(), rectOf(c_pPanelGroupHost),
                     c_pPanelGroupScroll->width()};
    WheelList users{m_pUserScrollBar && m_pUserScrollBar->isVisible(), rectOf(c_pPanelUserHost),
                    c_pPanelUserScroll->width()};
    const WheelTarget target = WheelTargetAt(globalPos.x(), globalPos.y(), groups, users);
    TScrollBarCtrl *bar = target == WheelTarget::Groups ? m_pGroupScrollBar
                          : target == WheelTarget::Users ? m_pUserScrollBar
                                                         : nullptr;
    if (!bar)
        return;
    if (WheelScrollsDown(delta))
        bar->ScrollLineDown();
    else
        bar->ScrollLineUp();
}

void TMainForm::OnScrollTimerOut() { c_pScrollTimer->stop(); }

void TMainForm::OnGroupCellSelected(TGroupCellCtrl *tile, bool byUser)
{
    for (TGroupCellCtrl *t : m_groupCells)
        if (t != tile)
            t->SetSelected(false);
    const int type = tile->GetGroupType();
    const int id = tile->GetGroupId();
    if (type == CurrentSelection.groupType && id == CurrentSelection.groupId) {
        m_userRows.Select(-1);
        if (m_pUserTiles)
            for (int row : m_pUserTiles->BoundRows())
                m_pUserTiles->TileOf(row)->SetSelected(false);
    } else {
        CurrentSelection.groupId = id;
        CurrentSelection.groupType = type;
        ClearUserCells();
        LoadUserCells(type, id, tile->GetGroupName());
        MapSelectGroup(type, id);
    }
    SetCurrentSelection(kSelectGroup, id, "", type);
    EnableUpdateTimer(true);
    UpdateOperateButtons();
    // A click by the dispatcher deselects the video tiles (the wall's step).
    (void)byUser;
}

void TMainForm::OnUserCellSelected(TUserCellCtrl *tile, bool byUser)
{
    const int row = m_pUserTiles ? m_pUserTiles->RowOf(tile) : -1;
    if (row >= 0)
        SelectUserRow(row, byUser);
}

void TMainForm::SelectUserRow(int row, bool byUser)
{
    // The selection belongs to the row: a tile that shows it later shows it selected.
    m_userRows.Select(row);
    for (int r : m_pUserTiles->BoundRows())
        m_pUserTiles->TileOf(r)->SetSelected(r == row);
    for (TGroupCellCtrl *g : m_groupCells)
        g->SetSelected(false);
    const UserTileData &tile = m_userRows.Row(row).user;
    SetCurrentSelection(kSelectUser, 0, tile.number, tile.userType);
    EnableUpdateTimer(true);
    UpdateOperateButtons();
    MapSelectUser(tile.number);
    // The video wall follows the user (its own step).
    (void)byUser;
}

bool TMainForm::IsRtspPreviewAction() const
{
    // The "Video Preview" quick action's test.
    return QuickActions().IsRtspPreviewAction();
}

void TMainForm::CheckUserCellUsable(TUserCellCtrl *tile)
{
    const int type = tile->GetUserType();
    if (type != kUserTypeVehicle && type != kUserTypeCamera)
        return;
    if (IsRtspPreviewAction())
        PlaySelectedVideo();
}

bool TMainForm::SelectGroupCell(int groupType, int groupId)
{
    for (std::size_t i = 0; i < m_groupCells.size(); ++i) {
        TGroupCellCtrl *t = m_groupCells[i];
        if (t->GetGroupType() != groupType || t->GetGroupId() != groupId)
            continue;
        t->OnClickHandler(nullptr);
        if (m_pGroupScrollBar)
            m_pGroupScrollBar->ResetViewport(TileRow(static_cast<int>(i)));
        return true;
    }
    return false;
}

bool TMainForm::SelectUserCell(int userType, const std::string &number, bool bySender)
{
    const int row = m_userRows.Find(userType, number);
    if (row < 0)
        return false;
    // Into view first, so that the row has its tile; then the tile is clicked.
    if (m_pUserScrollBar)
        m_pUserScrollBar->ResetViewport(TileRow(row));
    ShowVisibleUsers(true);
    if (TUserCellCtrl *t = m_pUserTiles ? m_pUserTiles->TileOf(row) : nullptr)
        t->OnClickHandler(bySender ? t : nullptr);
    else if (m_userRows.Selected() != row && m_pUserTiles)
        SelectUserRow(row, bySender); // a list out of sight (no room for a tile)
    return true;
}

// ---------------------------------------------------------------------------------
// Video wall

const zox::video::TSplitScreenLayout *TMainForm::GetSplitLayout() const
{
    return zox::video::FindSplitLayout(m_windowCount);
}

void TMainForm::CreateVideoWindows()
{
    const zox::video::TSplitScreenLayout *layout = GetSplitLayout();
    if (!layout)
        return;
    for (int i = 0; i < layout->count; ++i) {
        auto *w = new TVideoWndCtrl(c_pPanelVideoGroup, this);
        const zox::video::WallRect r =
            zox::video::SplitCellBounds(*layout, i, c_pPanelVideoGroup->width(), c_pPanelVideoGroup->height());
        w->setGeometry(r.left, r.top, r.width, r.height);
        w->SetTitleBarVisible(m_videoTitlesVisible);
        w->show();
        m_videoWnds.push_back(w);
    }
}

void TMainForm::RelayoutVideoWindows()
{
    const zox::video::TSplitScreenLayout *layout = GetSplitLayout();
    if (!layout)
        return;
    std::vector<bool> used;
    for (TVideoWndCtrl *w : m_videoWnds)
        used.push_back(w->IsUsed());
    const zox::video::RelayoutPlan plan = zox::video::PlanRelayout(used, layout->count);
    const std::vector<TVideoWndCtrl *> old = std::move(m_videoWnds);
    m_videoWnds.clear();
    for (int i : plan.destroyed)
        delete old[i];
    const int W = c_pPanelVideoGroup->width(), H = c_pPanelVideoGroup->height();
    for (std::size_t i = 0; i < plan.cells.size(); ++i) {
        TVideoWndCtrl *w = plan.cells[i] >= 0 ? old[plan.cells[i]] : new TVideoWndCtrl(c_pPanelVideoGroup, this);
        const zox::video::WallRect r = zox::video::SplitCellBounds(*layout, static_cast<int>(i), W, H);
        w->setGeometry(r.left, r.top, r.width, r.height);
        w->show();
        w->SetTitleBarVisible(m_videoTitlesVisible);
        m_videoWnds.push_back(w);
    }
    // More busy tiles than cells: they keep playing, unseen.
    for (int i : plan.parked) {
        old[i]->setGeometry(0, 0, 0, 0);
        old[i]->show();
        m_videoWnds.push_back(old[i]);
    }
}

TVideoWndCtrl *TMainForm::GetFreeVideoWindow()
{
    for (;;) {
        std::vector<bool> used;
        for (TVideoWndCtrl *w : m_videoWnds)
            used.push_back(w->IsUsed());
        const int free = zox::video::FindFreeTile(used, m_windowCount);
        if (free >= 0)
            return m_videoWnds[free];
        if (zox::video::WallIsFull(used, m_windowCount))
            return nullptr;
        bool enabled[zox::video::kSplitLayoutCount];
        for (std::size_t i = 0; i < zox::video::kSplitLayoutCount; ++i)
            enabled[i] = c_pImageSplit[i]->isEnabled();
        const int next = zox::video::NextSplitCount(m_windowCount, enabled);
        if (next == 0)
            return nullptr;
        QLabel *picture = nullptr;
        for (std::size_t i = 0; i < kSplitScreenPictureCount; ++i)
            if (kSplitScreenPictures[i].windowCount == next)
                picture = c_pImageSplit[i];
        if (!picture)
            return nullptr;
        SetSplitImageStatus(picture, zox::skin::kPicturePressed);
        OnImageSplitScreenClick(picture);
        if (m_windowCount != next)
            return nullptr;
    }
}

void TMainForm::OnImageSplitScreenClick(QLabel *picture)
{
    const bool changed = SelectSplitImage(picture);
    if (changed)
        SetSplitImageStatus(picture, zox::skin::kPicturePressed);
    if (changed || m_singleVideo) {
        m_singleVideo = false;
        RelayoutVideoWindows();
    }
}

void TMainForm::OnPanelVideoGroupResize()
{
    if (m_inFullScreenToggle)
        return;
    const int W = c_pPanelVideoGroup->width(), H = c_pPanelVideoGroup->height();
    if (m_singleVideo) {
        for (TVideoWndCtrl *w : m_videoWnds)
            if (!w->isHidden()) {
                w->setGeometry(0, 0, W, H);
                break;
            }
        return;
    }
    const zox::video::TSplitScreenLayout *layout = GetSplitLayout();
    if (!layout)
        return;
    for (int i = 0; i < layout->count && i < static_cast<int>(m_videoWnds.size()); ++i) {
        const zox::video::WallRect r = zox::video::SplitCellBounds(*layout, i, W, H);
        m_videoWnds[i]->setGeometry(r.left, r.top, r.width, r.height);
    }
}

void TMainForm::OnVideoWindowSelected(QWidget *tile, bool byUser)
{
    for (QObject *c : c_pPanelVideoGroup->children())
        if (auto *w = dynamic_cast<TVideoWndCtrl *>(c); w && w != tile)
            w->SetSelected(false);
    if (byUser) {
        auto *w = dynamic_cast<TVideoWndCtrl *>(tile);
        if (w && w->IsUsed() && SelectUserCell(w->GetUserType(), w->GetUserNumber(), false))
            return;
        if (CurrentSelection.kind == kSelectUser)
            SelectGroupCell(CurrentSelection.groupType, CurrentSelection.groupId);
    }
}

void TMainForm::SetSingleVideoWindow(QWidget *tile, bool on)
{
    if (on == m_singleVideo)
        return;
    if (on) {
        m_singleVideo = true;
        tile->setGeometry(0, 0, c_pPanelVideoGroup->width(), c_pPanelVideoGroup->height());
        tile->show();
        for (TVideoWndCtrl *w : m_videoWnds)
            if (w != tile)
                w->hide();
        return;
    }
    // The extended display keeps one video.
    if (m_modes.swapped)
        return;
    m_singleVideo = false;
    OnPanelVideoGroupResize();
    for (TVideoWndCtrl *w : m_videoWnds)
        w->show();
}

void TMainForm::AutoShowTopBar(QWidget *)
{
    if (!m_modes.fullScreen)
        return;
    const bool show = QCursor::pos().y() - geometry().top() < 10;
    if (c_pPanelRightTop->isVisible() != show)
        c_pPanelRightTop->setVisible(show);
}

void TMainForm::SwapVideoWindows(QWidget *target, QWidget *source)
{
    if (!target || !source || target == source)
        return;
    const QRect t = target->geometry();
    target->setGeometry(source->geometry());
    source->setGeometry(t);
    auto it = std::find(m_videoWnds.begin(), m_videoWnds.end(), target);
    auto is = std::find(m_videoWnds.begin(), m_videoWnds.end(), source);
    if (it != m_videoWnds.end() && is != m_videoWnds.end())
        std::iter_swap(it, is);
}

void TMainForm::PreviewVideo(int userType, const std::string &number)
{
    if (FindVideoPopup(userType, number))
        return;
    IPopupVideoSource *source = m_popupSource ? m_popupSource : RtspClientVideoSource();
    int used = 0;
    for (TVideoWndCtrl *w : m_videoWnds)
        used += w->IsUsed() ? 1 : 0;
    const bool playing = g_pRtspClient && g_pRtspClient->IsPlaying(userType, number);
    if (!zox::video::PreviewAllowed(static_cast<int>(m_popups.size()), used, playing)) {
        WriteLog("main: video window has reached the upper limit, cannot preview video[%d#%s]", userType,
                 number.c_str());
        return;
    }
    std::string title;
    if (userType == 2) {
        ST_ZOX_RTSP_CAMERA camera;
        if (!m_pListCache || m_pListCache->GetRtspCamera(number, camera) != 0) {
            WriteLog("main: failed to get camera[%s] info, cannot preview", number.c_str());
            return;
        }
        if (camera.status == 0 || !source) {
            WriteLog("main: camera[%s] state[%d] incorrect, cannot preview", number.c_str(), camera.status);
            return;
        }
        title = camera.cname;
    } else if (userType == 1) {
        ST_ZOX_SYSTEM_USER user;
        if (!m_pListCache || m_pListCache->GetSystemUser(number, user) != 0) {
            WriteLog("main: failed to get user[%s] info, cannot preview", number.c_str());
            return;
        }
        if (user.regState == 0 || user.regState == 3) {
            WriteLog("main: user[%s] state[%d] incorrect, cannot preview", number.c_str(), user.regState);
            return;
        }
        title = MakeDisplayName(user.userNumber, user.displayName);
    } else {
        WriteLog("main: unknown type[%d], cannot preview video[%s]", userType, number.c_str());
        return;
    }
    auto *popup = new TVideoPopupForm(this, this, title, number, userType, m_popupSource);
    PlaceVideoPopup(popup);
    if (playing) {
        if (popup->RestartPreview() != 0) {
            WriteLog("main: failed to redirect video[%d#%s] preview window", userType, number.c_str());
            CloseVideoPopup(popup);
            return;
        }
    } else if (popup->StartPreview() != 0) {
        WriteLog("main: failed to start video[%d#%s] preview", userType, number.c_str());
        CloseVideoPopup(popup);
        return;
    }
    if (userType == 2 && CurrentSelection.groupId != 0xFFFE)
        SelectGroupCell(2, 0xFFFE);
    if (!SelectUserCell(userType, number, false) && CurrentSelection.kind == kSelectUser)
        SelectGroupCell(CurrentSelection.groupType, CurrentSelection.groupId);
}

bool TMainForm::FindVideoPopup(int userType, const std::string &number)
{
    int found = -1;
    for (std::size_t i = 0; i < m_popups.size(); ++i)
        if (m_popups[i]->GetUserType() == userType && m_popups[i]->GetNumber() == number) {
            found = static_cast<int>(i);
            break;
        }
    if (found < 0)
        return false;
    std::vector<zox::video::PopupPos> pos;
    for (TVideoPopupForm *p : m_popups)
        pos.push_back({p->x(), p->y()});
    const std::vector<int> order = zox::video::BringPopupForward(pos, found);
    std::vector<TVideoPopupForm *> reordered;
    for (int i : order)
        reordered.push_back(m_popups[i]);
    for (std::size_t i = 0; i < m_popups.size(); ++i)
        m_popups[i]->move(pos[i].left, pos[i].top);
    m_popups = std::move(reordered);
    m_popups.back()->show();
    m_popups.back()->raise();
    return true;
}

void TMainForm::PlaceVideoPopup(TVideoPopupForm *popup)
{
    m_popups.push_back(popup);
    if (m_popups.size() > 1) {
        std::vector<zox::video::PopupSize> sizes;
        for (TVideoPopupForm *p : m_popups)
            sizes.push_back({p->width(), p->height()});
        const std::vector<zox::video::PopupPos> pos = zox::video::CascadePopups(width(), height(), sizes);
        for (std::size_t i = 0; i < m_popups.size(); ++i)
            m_popups[i]->move(pos[i].left, pos[i].top);
    } else {
        const QRect g = geometry();
        popup->move(g.left() + (g.width() - popup->width()) / 2, g.top() + (g.height() - popup->height()) / 2);
    }
    popup->show();
}

void TMainForm::CloseVideoPopup(TVideoPopupForm *popup)
{
    auto it = std::find(m_popups.begin(), m_popups.end(), popup);
    if (it != m_popups.end())
        m_popups.erase(it);
    popup->close();
}


bool TMainForm::IsAnyLineInCall() const { return m_lineTable->IsAnyLineInCall(); }

// ---------------------------------------------------------------------------------
// State refresh and status bar

void TMainForm::EnableUpdateTimer(bool on)
{
    c_pUpdateTimer->stop();
    if (on) {
        c_pUpdateTimer->setInterval(500);
        c_pUpdateTimer->start();
    }
}

void TMainForm::OnUpdateTimerOut()
{
    // Only the rows that have a tile are read again.
    if (CurrentSelection.groupId != -1 && m_pListCache && m_pUserTiles && !m_userRows.Empty()) {
        RefreshRowStates(*m_pListCache, CurrentSelection.groupType, m_userRows, m_pUserTiles->BoundRows(),
                         [this](int row) {
                             const UserTileData &s = m_userRows.Row(row).user;
                             m_pUserTiles->TileOf(row)->UpdateUserState(s.regState, s.callState, s.vpState);
                         });
    }
    if (CurrentSelection.kind == kSelectUser)
        RefreshCurrentTarget();
    UpdateOperateButtons();
}

// ---------------------------------------------------------------------------------
// Operate bar and task buttons

void TMainForm::InitTaskButtons()
{
    for (TTaskButtonPair &p : m_taskButtons)
        p = TTaskButtonPair{};
    m_chatImageName = "IMG_CHAT_OFFLINE_NORMAL";
    struct Row {
        const char *names[4]; // normal, focused, pressed, disabled
    };
    const Row rows[kTaskButtonCount] = {
        {{"IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL"}},
        {{"IMG_CALL_END_NORMAL", "IMG_CALL_END_FOCUSED", "IMG_CALL_END_FOCUSED", "IMG_CALL_END_NORMAL"}},
        {{"IMG_BTN_SPEAK_NORMAL", "IMG_BTN_SPEAK_FOCUSED", "IMG_BTN_SPEAK_FOCUSED", "IMG_BTN_SPEAK_NORMAL"}},
        {{"IMG_BTN_DIAL_NORMAL", "IMG_BTN_DIAL_FOCUSED", "IMG_BTN_DIAL_PRESSED", "IMG_BTN_DIAL_NORMAL"}},
    };
    for (int i = 0; i < kTaskButtonCount; ++i) {
        auto *b = new TMultiImageCtrl(c_pPanelDispatchCtrl);
        b->SetForegroundImage(rows[i].names[0], rows[i].names[1], rows[i].names[2], rows[i].names[3]);
        b->SetImageStatus(zox::skin::kPictureNormal);
        b->move(i * b->width(), (kRightBottomHeight - b->height()) / 2);
        b->show();
        m_taskButtons[i].button = b;
    }
    // The enable tests are bound with the quick actions (BindQuickActions); the four
    // actions by the call-control step.
    c_pPanelDispatchCtrl->setFixedWidth(DispatchPanelWidth(m_taskButtons[2].button->width()));
}

void TMainForm::InitOperateButtons()
{
    for (int i = 0; i < kOperateButtonCount; ++i) {
        TOperateButtonMap &e = m_operateMap[i];
        e.kind = kOperateRows[i].kind;
        e.caption = ZoxText(kOperateRows[i].caption);
        e.button = new TButtonCtrl(c_pPanelOperateCtrl, ZoxQText(kOperateRows[i].caption));
        e.button->hide();
    }
    m_visibleButtons.clear();
    m_pageIndex = 0;
    BindQuickActions();
}

void TMainForm::LayoutOperateButtons()
{
    const int n = static_cast<int>(m_visibleButtons.size());
    const OperateBarLayout l = LayoutOperateBar(c_pPanelOperateCtrl->width(), c_pImageSlideLeft->width(),
                                                c_pImageSlideRight->width(), n, m_pageIndex);
    for (int i = 0; i < n; ++i) {
        TButtonCtrl *b = m_visibleButtons[static_cast<std::size_t>(i)];
        if (l.IsShown(i)) {
            b->move(l.lefts[static_cast<std::size_t>(i - l.first)], kOperateTop);
            b->show();
        } else {
            b->hide();
        }
    }
    SetPictureEnabled(c_pImageSlideLeft, l.leftArrowEnabled);
    SetPictureEnabled(c_pImageSlideRight, l.rightArrowEnabled);
}

void TMainForm::OnImageSlideLeftClick()
{
    if (m_pageIndex > 0) {
        m_pageIndex = SlideLeft(m_pageIndex);
        LayoutOperateButtons();
    }
}

void TMainForm::OnImageSlideRightClick()
{
    const int n = static_cast<int>(m_visibleButtons.size());
    if (m_pageIndex + 1 < n) {
        m_pageIndex = SlideRight(m_pageIndex, n);
        LayoutOperateButtons();
    }
}

void TMainForm::OnPanelRightBottomResize()
{
    if (!c_pPanelOperateCtrl || !c_pSeparatorStatusCtrl)
        return;
    const int w = c_pPanelOperateCtrl->width();
    const int h = c_pPanelOperateCtrl->height();
    c_pImageSlideLeft->move(0, 0);
    c_pImageSlideRight->move(w - c_pImageSlideRight->width(), 0);
    c_pSeparatorStatusCtrl->setGeometry(10, 55, std::max(w - 2 * 10, 0), 1);
    c_pPanelStatusBar->setGeometry(0, h - kStatusBarHeight, w, kStatusBarHeight);
    c_pPanelResizeHost->setGeometry(c_pPanelDispatchCtrl->width() - kResizeHostWidth, 0, kResizeHostWidth,
                                    c_pPanelDispatchCtrl->height());
    c_pImageResize->move(0, c_pPanelResizeHost->height() - kResizeHostWidth);
    c_pImageResize->setVisible(!isMaximized() && !isFullScreen());
    if (!m_operateMap[0].button)
        return;
    LayoutOperateButtons();
}

void TMainForm::OnChatTimerOut()
{
    if (m_isRunning && m_isRunning())
        UpdateChatIcon();
}

void TMainForm::UpdateChatIcon()
{
    std::string name;
    const bool bridge = m_bridgeReady && m_bridgeReady();
    if (bridge)
        name = (m_pListCache && m_pListCache->CountWxUnreadMessages()) ? "IMG_CHAT_ONLINE_MESSAGE"
                                                                       : "IMG_CHAT_ONLINE_NORMAL";
    else
        name = (m_pListCache && m_pListCache->CountWxNewMessages()) ? "IMG_CHAT_OFFLINE_MESSAGE"
                                                                    : "IMG_CHAT_OFFLINE_NORMAL";
    if (name == m_chatImageName)
        return;
    m_chatImageName = name;
    m_taskButtons[0].button->UpdateForegroundImage(name, name, name, name);
}
