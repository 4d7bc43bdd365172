#pragma once
// The login window: the account and password fields, the Login and Cancel buttons and
// the four timers of the session with the dispatch server. It owns the core services
// (configuration, log, network layer, media libraries, cache, platform links, splash
// window) from its construction to its destruction, and is the receiving window of
// the registration and notice datagrams. The session logic itself is CLoginSession.
#include <QByteArray>
#include <QWidget>
#include <memory>
#include <string>

#include "core/LoginHost.h"
#include "core/LoginSession.h"
#include "core/ui/LoginServices.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TSplashForm;

class TLoginForm : public QWidget, public ILoginHost {
    Q_OBJECT
public:
    // Creates the configuration (throws EConvertError for a number that does not
    // convert), opens the log, starts the network layer and the media libraries,
    // subscribes to the two datagram messages and creates the splash window.
    explicit TLoginForm(const ST_ZOX_LOGIN_SERVICES &services, QWidget *owner = nullptr);
    ~TLoginForm() override;

    // The create handler: cache, platform links, automatic login, the first tick.
    void OnFormCreate();
    // The destroy handler (also run by the destructor, once).
    void OnFormDestroy();
    void OpenLog();

    CLoginSession &Session() { return *m_session; }
    uint8_t GetLoginState() const { return m_session->GetLoginState(); }
    bool IsRunning() const { return m_session->IsRunning(); }
    bool IsLineUser(const std::string &lineNumber, const std::string &callRef) const
    {
        return m_session->IsLineUser(lineNumber, callRef);
    }
    uint8_t GetPriority() const { return m_session->GetPriority(); }
    bool IsInitialised() const { return m_bInitialised; }
    int GetNetResult() const { return m_nNetResult; }
    TSplashForm *Splash() const { return m_pSplash; }
    QTimer *Timer(EN_ZOX_LOGIN_TIMER timer) const;

    // The two datagram messages.
    void OnNetLogin(const QByteArray &datagram);
    void OnNetNotify(const QByteArray &datagram);
    // The platform links' results.
    void OnUapUsersReady() { m_session->OnUapSyncDone(); }
    void OnCmsVehiclesReady() { m_session->OnCmsSyncDone(); }

    void OnBtnOkClick() { m_session->OnBtnOkClick(); }
    void OnBtnCancelClick() { m_session->OnBtnCancelClick(); }

    QLabel *c_pImageBack = nullptr;
    QLabel *c_pLabelUserName = nullptr;
    QLabel *c_pLabelPassword = nullptr;
    QLineEdit *c_pEditUserName = nullptr;
    QLineEdit *c_pEditPassword = nullptr;
    QPushButton *c_pBtnOk = nullptr;
    QPushButton *c_pBtnCancel = nullptr;
    QTimer *c_pLoginTimer = nullptr;
    QTimer *c_pHeartbeatTimer = nullptr;
    QTimer *c_pRetryTimer = nullptr;
    QTimer *c_pCmsPollTimer = nullptr;

    // ILoginHost
    int SendUdp(const uint8_t *data, std::size_t length) override;
    void StartTimer(EN_ZOX_LOGIN_TIMER timer, int periodMs) override;
    void StopTimer(EN_ZOX_LOGIN_TIMER timer) override;
    void SleepMs(int ms) override;
    std::string GetAccountField() const override;
    std::string GetPasswordField() const override;
    void SetFieldsEnabled(bool enabled) override;
    void SetLoginButtonEnabled(bool enabled) override;
    void SetCancelButtonEnabled(bool enabled) override;
    void ShowLoginWindow(bool show) override;
    void CloseLoginWindow() override;
    void ShowErrorBox(const std::string &text) override;
    void ShowSplash(bool show) override;
    void SetSplashText(const std::string &text) override;
    void HideMainWindow() override;
    void TearDownMainWindow() override;
    void StartMainWindow() override;
    void RemoveUserFromLine(const std::string &number, uint8_t regState, const std::string &lineCallRef,
                            uint32_t callState) override;
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &user) override;
    ILoginPlatformLink *UapLink() override { return m_uapLink.get(); }
    ILoginPlatformLink *CmsLink() override { return m_cmsLink.get(); }

signals:
    // The login window closed: the program's loop ends.
    void closed();

protected:
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildForm();

    ST_ZOX_LOGIN_SERVICES m_services;
    std::unique_ptr<CLoginSession> m_session;
    std::unique_ptr<ILoginCache> m_cache;
    std::unique_ptr<ILoginPlatformLink> m_cmsLink;
    std::unique_ptr<ILoginPlatformLink> m_uapLink;
    TSplashForm *m_pSplash = nullptr;
    bool m_bInitialised = false;
    bool m_bMediaStarted = false;
    bool m_bDestroyed = false;
    bool m_bClosed = false;
    bool m_bOwnsConfig = false;
    int m_nNetResult = -1;
    std::string m_strAccount;
    std::string m_strPassword;
};

// The one login window; empty while none exists.
extern TLoginForm *g_pLoginForm;
