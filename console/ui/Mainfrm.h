#pragma once
// The console's main window. It is created right after the login window, receives
// the call-signalling and video-push datagrams from its creation on, and shows once
// the login reaches the running state.
#include <QByteArray>
#include <QWidget>
#include <functional>

class TMainForm : public QWidget {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The datagram handlers of the call-signalling and video-push families.
    void OnNetCall(const QByteArray &datagram);
    void OnNetVideoPush(const QByteArray &datagram);

    // Closing the main window ends the console, as its exit button does.
    void SetExitAction(std::function<void()> action) { m_exitAction = std::move(action); }

protected:
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    std::function<void()> m_exitAction;
};

// The one main window; empty while none exists.
extern TMainForm *g_pMainForm;
