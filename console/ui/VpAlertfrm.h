#pragma once
// The window of the pending video pushes: a borderless stay-on-top box, 300 wide,
// that stacks one alert panel per push and grows by 120 pixels for each. It shows
// modally while at least one alert exists and closes with result 1 when the last one
// goes; pushes that arrive meanwhile join the stack. An alert removed from inside its
// own handler is freed later, never under itself. One window for the program.
#include <QDialog>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QVBoxLayout;
class TVpAlertCtrl;
class IVpAlertActions;

class TVpAlertForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 300;

    // actions: what an answer or a decline sends (through the main window).
    TVpAlertForm(QWidget *owner, std::unique_ptr<IVpAlertActions> actions);
    ~TVpAlertForm() override;

    TVpAlertCtrl *AddAlert(const std::string &number, const std::string &name, uint32_t sourceId,
                           uint32_t destinationId);
    // Removes the first alert of this number (freed later); the last one ends the showing with 1.
    void RemoveAlert(const std::string &number);
    // Shows the window modally unless it shows already; centred on its owner.
    void ShowAlerts();
    int GetAlertCount() const { return int(m_alerts.size()); }
    bool HasAlert(const std::string &number) const;
    const std::vector<TVpAlertCtrl *> &Alerts() const { return m_alerts; }

    void OnAlertAccept(TVpAlertCtrl *alert);
    void OnAlertDecline(TVpAlertCtrl *alert);
    void DragAlertForm(TVpAlertCtrl *alert, Qt::MouseButton button);
    void OnFormDestroy();

    QWidget *c_pFlowPanel = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    void Remove(TVpAlertCtrl *alert);
    void FitToAlerts();

    std::unique_ptr<IVpAlertActions> m_actions;
    QVBoxLayout *m_layout = nullptr;
    std::vector<TVpAlertCtrl *> m_alerts;
    bool m_showing = false;
};
