#pragma once
// The splash window of the login: the product artwork and one status line. While the
// status is exactly "Logging in" dots are added every 500 ms. Esc asks whether to
// cancel the login; on OK the owner's cancel action runs (the login window's Cancel).
#include <QWidget>
#include <functional>
#include <string>

class QLabel;
class QTimer;
class QFrame;

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget *owner = nullptr);

    void SetStatus(const std::string &text);
    const std::string &GetStatus() const { return m_status; }
    // What OK on the Esc question runs.
    void SetCancelAction(std::function<void()> action) { m_cancelAction = std::move(action); }

    void OnProgTimerOut();

    QLabel *c_pImageSplash = nullptr;
    QFrame *c_pPanelBottom = nullptr;
    QLabel *c_pLabelStatus = nullptr;
    QTimer *c_pProgTimer = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void OnFormKeyDown(int key);

    std::string m_status;
    std::function<void()> m_cancelAction;
};
