#pragma once
// The incoming-call alert: a borderless modal box with the caller, the kind of call, an
// Answer button and a Decline button that counts down 30 seconds. One instance for the
// whole program, reused for every call. Result 1 answer (button or Enter), 2 decline
// (button, time-out or Dismiss). Esc does nothing.
#include "console/ui/CallDialogParts.h"

#include <QDialog>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <string>

class QFrame;
class QLabel;
class QTimer;

class TCallAlertForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCountdownSeconds = 30;

    explicit TCallAlertForm(QWidget *owner);
    ~TCallAlertForm() override;

    // The display name of a number as the cache knows it (empty: the number alone).
    void SetNameLookup(std::function<std::string(const std::string &)> lookup) { m_lookup = std::move(lookup); }

    // Prepares the alert for a call; the caller then shows it modally.
    void ShowCall(int32_t callId, const std::string &number, int32_t kind);
    int32_t GetCallId() const { return m_callId; }
    const std::string &GetNumber() const { return m_number; }
    int GetCountdown() const { return m_countdown; }
    // Ends the showing with result 2.
    void Dismiss();

    QFrame *c_PanelClient = nullptr;
    QLabel *c_pImageUser = nullptr;
    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pLabelContent = nullptr;
    QFrame *c_PanelReject = nullptr;
    QLabel *c_pLabelReject = nullptr;
    QFrame *c_pPanelAccept = nullptr;
    QLabel *c_pLabelAccept = nullptr;
    QTimer *c_pTimer = nullptr;

    void OnCtrlRejectClick();
    void OnCtrlAcceptClick();
    // One tick of the countdown.
    void OnTimerOut();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ShowCountdown();

    std::function<std::string(const std::string &)> m_lookup;
    std::string m_number;
    int32_t m_callId = 0;
    int m_countdown = 0;
    zox::calldlg::TwoButtonDialogParts m_parts;
};
