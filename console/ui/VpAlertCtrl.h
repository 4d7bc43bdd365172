#pragma once
// One pending video push in the alert window: a 300 x 120 panel with the pusher's
// name, an Answer button and a Decline button that counts down 30 seconds. The panel
// reports to its owner through the handlers set after construction; what an answer or
// a decline does is CVpAlertState's business (dispatch/VideoPushAlerts.h).
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

#include "dispatch/VideoPushAlerts.h"

class QFrame;
class QLabel;
class QTimer;

class TVpAlertCtrl : public QWidget {
    Q_OBJECT
public:
    using AlertHandler = std::function<void(TVpAlertCtrl *)>;
    using MoveHandler = std::function<void(TVpAlertCtrl *, Qt::MouseButton)>;

    static constexpr int kWidth = 300;
    static constexpr int kHeight = 120;

    // Starts the one-second countdown at 30 at once.
    TVpAlertCtrl(QWidget *owner, const std::string &number, const std::string &name, uint32_t sourceId,
                 uint32_t destinationId);
    ~TVpAlertCtrl() override;

    void SetEventHandler(AlertHandler accept, AlertHandler decline);
    void SetMoveHandler(MoveHandler move) { m_move = std::move(move); }

    const std::string &GetUserNumber() const { return m_state.GetUserNumber(); }
    const std::string &GetUserName() const { return m_state.GetUserName(); }
    uint32_t GetSourceId() const { return m_state.GetSourceId(); }
    uint32_t GetDestId() const { return m_state.GetDestId(); }
    CVpAlertState &State() { return m_state; }

    void UpdateCountdown();
    void OnTimerOut();
    void OnAcceptClick();
    void OnRejectClick();
    void OnTitleMouseDown(Qt::MouseButton button);
    void OnAcceptMouseEnter();
    void OnAcceptMouseLeave();
    void OnRejectMouseEnter();
    void OnRejectMouseLeave();

    QFrame *c_pPanelClient = nullptr;
    QLabel *c_pImageAvatar = nullptr;
    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pLabelUser = nullptr;
    QFrame *c_pPanelBottom = nullptr;
    QFrame *c_pPanelDecline = nullptr;
    QFrame *c_pPanelAnswer = nullptr;
    QLabel *c_pLabelDecline = nullptr;
    QLabel *c_pLabelAnswer = nullptr;
    QTimer *c_pTimer = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CVpAlertState m_state;
    AlertHandler m_accept;
    AlertHandler m_decline;
    MoveHandler m_move;
};
