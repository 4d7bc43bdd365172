#include "core/ui/Loginfrm.h"

#include "console/ui/Mainfrm.h"
#include "console/ui/Splashfrm.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "core/Log.h"
#include "core/SystemConfig.h"
#include "core/ui/SystemMessageBox.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

TLoginForm *g_pLoginForm = nullptr;


namespace {
ST_ZOX_LOGIN_SETTINGS SettingsFromConfig()
{
    ST_ZOX_LOGIN_SETTINGS s;
    if (!g_pSystemConfig)
        return s;
    s.localRegIpAddr = g_pSystemConfig->GetLocalRegIpAddr();
    s.localUdpPort = g_pSystemConfig->GetLocalUdpPort();
    s.hbIntervalMs = g_pSystemConfig->GetHBInterval();
    s.heartbeat = g_pSystemConfig->GetHeartbeat();
    s.videoEnabled = g_pSystemConfig->IsVideoEnabled();
    s.uapEnabled = g_pSystemConfig->IsUapEnabled();
    s.cmsEnabled = g_pSystemConfig->IsCmsEnabled();
    return s;
}

QPixmap LoginBackground()
{
    QPixmap pix(360, 220);
    QPainter p(&pix);
    QLinearGradient g(0, 0, 0, 220);
    g.setColorAt(0, QColor(0x00, 0x2D, 0x3E));
    g.setColorAt(1, QColor(0x00, 0x1C, 0x27));
    p.fillRect(pix.rect(), g);
    p.setPen(QColor(0xFF, 0xFF, 0xFF));
    QFont f(QString::fromUtf8(zox::edition::kFormFaceArial));
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 12, 360, 40), Qt::AlignCenter, QString::fromUtf8(zox::edition::kProductTitle));
    return pix;
}
} // namespace

TLoginForm::TLoginForm(const ST_ZOX_LOGIN_SERVICES &services, QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      m_services(services)
{
    // 1. The form.
    BuildForm();
    // 3. The configuration (a number that does not convert throws and ends the start).
    if (!g_pSystemConfig) {
        g_pSystemConfig = new CSystemConfig();
        m_bOwnsConfig = true;
    }
    // 4. The log.
    if (g_pSystemConfig->IsWriteLogFile())
        OpenLog();
    // 5., 6. The network layer, then the media libraries.
    m_nNetResult = m_services.netStart ? m_services.netStart() : -1;
    if (m_nNetResult == 0) {
        m_bMediaStarted = m_services.mediaInit && m_services.mediaInit() == 0;
        m_bInitialised = m_bMediaStarted;
    }
    m_session = std::make_unique<CLoginSession>(*this, nullptr, SettingsFromConfig());
    m_session->SetInitialised(m_bInitialised);
    // 7. The two datagram messages (they fail quietly when the network did not start).
    if (m_services.subscribe) {
        m_services.subscribe(WM_NET_LOGIN, this);
        m_services.subscribe(WM_NET_NOTIFY, this);
    }
    // 8. The splash window.
    if (!m_pSplash) {
        m_pSplash = new TSplashForm(nullptr);
        m_pSplash->SetCancelAction([this] { OnBtnCancelClick(); });
    }
    m_pSplash->SetStatus("");
    g_pLoginForm = this;
}

TLoginForm::~TLoginForm()
{
    OnFormDestroy();
    if (g_pLoginForm == this)
        g_pLoginForm = nullptr;
}

void TLoginForm::BuildForm()
{
    setObjectName(QStringLiteral("TLoginForm"));
    setWindowTitle(ZoxQText(EN_ZOX_TEXT::LoginCaption));
    setFixedSize(360, 220);

    c_pImageBack = new QLabel(this);
    c_pImageBack->setGeometry(0, 0, 360, 220);
    c_pImageBack->setPixmap(LoginBackground());

    const QString labelStyle = QStringLiteral("color: #FFFFFF; background: transparent;");
    c_pLabelUserName = new QLabel(ZoxQText(EN_ZOX_TEXT::LoginAccount), this);
    c_pLabelUserName->setGeometry(50, 70, 70, 24);
    c_pLabelUserName->setStyleSheet(labelStyle);
    c_pLabelPassword = new QLabel(ZoxQText(EN_ZOX_TEXT::LoginPassword), this);
    c_pLabelPassword->setGeometry(50, 110, 70, 24);
    c_pLabelPassword->setStyleSheet(labelStyle);

    c_pEditUserName = new QLineEdit(this);
    c_pEditUserName->setGeometry(130, 70, 180, 24);
    c_pEditUserName->setMaxLength(15);
    c_pEditPassword = new QLineEdit(this);
    c_pEditPassword->setGeometry(130, 110, 180, 24);
    c_pEditPassword->setMaxLength(31);
    c_pEditPassword->setEchoMode(QLineEdit::Password);
    // The password shows as "*", whatever the style's own mask character is.
    c_pEditPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    if constexpr (zox::edition::kChinese)
        c_pEditPassword->setFont(QFont(QString::fromUtf8("宋体")));
    connect(c_pEditUserName, &QLineEdit::textChanged, this, [this] { m_session->OnReqFieldChange(); });
    connect(c_pEditPassword, &QLineEdit::textChanged, this, [this] { m_session->OnReqFieldChange(); });

    c_pBtnOk = new QPushButton(ZoxQText(EN_ZOX_TEXT::LoginButton), this);
    c_pBtnOk->setGeometry(130, 160, 80, 28);
    c_pBtnOk->setDefault(true);
    c_pBtnCancel = new QPushButton(ZoxQText(EN_ZOX_TEXT::LoginCancel), this);
    c_pBtnCancel->setGeometry(230, 160, 80, 28);
    connect(c_pBtnOk, &QPushButton::clicked, this, [this] { OnBtnOkClick(); });
    connect(c_pBtnCancel, &QPushButton::clicked, this, [this] { OnBtnCancelClick(); });

    c_pLoginTimer = new QTimer(this);
    c_pHeartbeatTimer = new QTimer(this);
    c_pRetryTimer = new QTimer(this);
    c_pCmsPollTimer = new QTimer(this);
    // The periods are exact: Qt's default timers may fire up to 5% off (a second off for
    // periods of 20 s or more), which would move the re-sends and the time limits.
    for (QTimer *t : {c_pLoginTimer, c_pHeartbeatTimer, c_pRetryTimer, c_pCmsPollTimer})
        t->setTimerType(Qt::PreciseTimer);
    connect(c_pLoginTimer, &QTimer::timeout, this, [this] { m_session->OnLoginTimerOut(); });
    connect(c_pHeartbeatTimer, &QTimer::timeout, this, [this] { m_session->OnHeartbeatTimerOut(); });
    connect(c_pRetryTimer, &QTimer::timeout, this, [this] { m_session->OnRetryTimerOut(); });
    connect(c_pCmsPollTimer, &QTimer::timeout, this, [this] { m_session->OnCmsPollTimerOut(); });

    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
}

void TLoginForm::OpenLog()
{
    OpenLogAtStart(zox::edition::kVersionText);
    if (g_pSystemConfig)
        for (const std::string &note : g_pSystemConfig->GetLoadNotes())
            WriteLog("%s", note.c_str());
}

void TLoginForm::OnFormCreate()
{
    // 1. The cache and the platform links, only when the console initialised.
    if (m_bInitialised) {
        if (m_services.createCache)
            m_cache = m_services.createCache();
        m_session->SetCache(m_cache.get());
        if (g_pSystemConfig->IsCmsEnabled()) {
            int result = -1;
            if (m_services.createCmsLink)
                m_cmsLink = m_services.createCmsLink(result);
            m_session->SetCmsStartResult(result);
        }
        if (g_pSystemConfig->IsUapEnabled() && m_services.createUapLink) {
            int result = -1;
            m_uapLink = m_services.createUapLink(result);
        }
    }
    // 2. Automatic login with the stored account.
    if (m_nNetResult == 0 && g_pSystemConfig->IsAutoLogin()) {
        c_pEditUserName->setText(QString::fromStdString(g_pSystemConfig->GetLoginUsername()));
        c_pEditPassword->setText(QString::fromStdString(g_pSystemConfig->GetLoginPassword()));
        if (!c_pEditUserName->text().isEmpty() && !c_pEditPassword->text().isEmpty()) {
            hide();
            c_pLoginTimer->start(10);
            return;
        }
    }
    // 3. Otherwise the window waits for the dispatcher.
    show();
    c_pBtnOk->setEnabled(false);
    c_pEditUserName->setText(QString::fromStdString(m_strAccount));
    c_pEditPassword->setText(QString::fromStdString(m_strPassword));
    c_pLoginTimer->start(10);
}

void TLoginForm::OnFormDestroy()
{
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    // 1., 2. The logout when registered; the timers.
    m_session->OnDestroy();
    // 3. The splash window.
    delete m_pSplash;
    m_pSplash = nullptr;
    // 4. The cache, then the vehicle link, then the user link.
    m_session->SetCache(nullptr);
    m_cache.reset();
    m_cmsLink.reset();
    m_uapLink.reset();
    // 5. The network stops before the media libraries.
    if (m_services.netStop)
        m_services.netStop();
    if (m_bMediaStarted && m_services.mediaExit)
        m_services.mediaExit();
    m_bMediaStarted = false;
    // 6. The configuration; 7. the log.
    if (m_bOwnsConfig) {
        delete g_pSystemConfig;
        g_pSystemConfig = nullptr;
        m_bOwnsConfig = false;
    }
    CloseLogFile();
}

QTimer *TLoginForm::Timer(EN_ZOX_LOGIN_TIMER timer) const
{
    switch (timer) {
    case EN_ZOX_LOGIN_TIMER::Login:
        return c_pLoginTimer;
    case EN_ZOX_LOGIN_TIMER::Retry:
        return c_pRetryTimer;
    case EN_ZOX_LOGIN_TIMER::Heartbeat:
        return c_pHeartbeatTimer;
    case EN_ZOX_LOGIN_TIMER::CmsPoll:
        return c_pCmsPollTimer;
    }
    return nullptr;
}

void TLoginForm::OnNetLogin(const QByteArray &datagram)
{
    m_session->OnLoginMessage(reinterpret_cast<const uint8_t *>(datagram.constData()), std::size_t(datagram.size()));
}

void TLoginForm::OnNetNotify(const QByteArray &datagram)
{
    m_session->OnNotifyMessage(reinterpret_cast<const uint8_t *>(datagram.constData()),
                               std::size_t(datagram.size()));
}

void TLoginForm::customEvent(QEvent *event)
{
    const CWindowMessage *m = CWindowMessage::From(event);
    if (!m) {
        QWidget::customEvent(event);
        return;
    }
    switch (m->message) {
    case WM_NET_LOGIN:
        OnNetLogin(m->data);
        break;
    case WM_NET_NOTIFY:
        OnNetNotify(m->data);
        break;
    case WM_UAP_USERS_READY:
        OnUapUsersReady();
        break;
    case WM_CMS_VEHICLES_READY:
        OnCmsVehiclesReady();
        break;
    case WM_CMS_STATUS_READY:
        // In every state: the device states go into whatever the cache holds.
        if (m_cmsLink)
            m_cmsLink->ApplyDeviceStatus();
        break;
    default:
        break;
    }
    // The datagram's bytes go with the message.
}

void TLoginForm::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!m_bClosed) {
        m_bClosed = true;
        emit closed();
    }
}

void TLoginForm::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && c_pBtnOk->isEnabled()) {
        c_pBtnOk->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------- ILoginHost

int TLoginForm::SendUdp(const uint8_t *data, std::size_t length)
{
    return m_services.sendUdp ? m_services.sendUdp(data, length) : -255;
}

void TLoginForm::StartTimer(EN_ZOX_LOGIN_TIMER timer, int periodMs)
{
    QTimer *t = Timer(timer);
    if (!t)
        return;
    // A period of 0 never fires (a QTimer of 0 would fire continuously).
    if (periodMs <= 0) {
        t->stop();
        return;
    }
    t->start(periodMs);
}

void TLoginForm::StopTimer(EN_ZOX_LOGIN_TIMER timer)
{
    if (QTimer *t = Timer(timer))
        t->stop();
}

void TLoginForm::SleepMs(int ms)
{
    if (m_services.sleepMs)
        m_services.sleepMs(ms);
    else
        QThread::msleep(unsigned(ms));
}

std::string TLoginForm::GetAccountField() const { return c_pEditUserName->text().toStdString(); }

std::string TLoginForm::GetPasswordField() const { return c_pEditPassword->text().toStdString(); }

void TLoginForm::SetFieldsEnabled(bool enabled)
{
    c_pEditUserName->setEnabled(enabled);
    c_pEditPassword->setEnabled(enabled);
}

void TLoginForm::SetLoginButtonEnabled(bool enabled) { c_pBtnOk->setEnabled(enabled); }

void TLoginForm::SetCancelButtonEnabled(bool enabled) { c_pBtnCancel->setEnabled(enabled); }

void TLoginForm::ShowLoginWindow(bool show) { setVisible(show); }

void TLoginForm::CloseLoginWindow()
{
    close();
    // A hidden window closes too (the restart paths run while it is hidden).
    if (!m_bClosed) {
        m_bClosed = true;
        hide();
        emit closed();
    }
}

void TLoginForm::ShowErrorBox(const std::string &text)
{
    SystemMessageBox(this, EN_ZOX_MSGBOX::Error, ZoxQText(EN_ZOX_TEXT::ErrorCaption), QString::fromStdString(text));
}

void TLoginForm::ShowSplash(bool show)
{
    if (m_pSplash)
        m_pSplash->setVisible(show);
}

void TLoginForm::SetSplashText(const std::string &text)
{
    if (m_pSplash)
        m_pSplash->SetStatus(text);
}

void TLoginForm::HideMainWindow()
{
    if (g_pMainForm)
        g_pMainForm->hide();
}

void TLoginForm::TearDownMainWindow()
{
    if (g_pMainForm)
        g_pMainForm->OnFormDestroy();
}

void TLoginForm::StartMainWindow()
{
    if (!g_pMainForm)
        return;
    g_pMainForm->CreateRtspClient();
    g_pMainForm->RebuildDispatchLines();
    g_pMainForm->ReloadLists();
    g_pMainForm->show();
    g_pMainForm->ShowMapForm();
}

void TLoginForm::RemoveUserFromLine(const std::string &number, uint8_t regState, const std::string &lineCallRef,
                                    uint32_t callState)
{
    if (g_pMainForm)
        g_pMainForm->RemoveUserFromLine(number, regState, lineCallRef, callState);
}

void TLoginForm::OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &user)
{
    if (g_pMainForm)
        g_pMainForm->OnUserSessionEvent(user);
}
