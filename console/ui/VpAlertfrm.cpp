#include "console/ui/VpAlertfrm.h"

#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "console/ui/SkinFormKit.h"
#include "console/ui/VpAlertCtrl.h"
#include "dispatch/VideoPushAlerts.h"

TVpAlertForm::TVpAlertForm(QWidget *owner, std::unique_ptr<IVpAlertActions> actions)
    : QDialog(owner), m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("TVpAlertForm"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setModal(true);
    c_pFlowPanel = new QWidget(this);
    c_pFlowPanel->setObjectName(QStringLiteral("c_pFlowPanel"));
    m_layout = new QVBoxLayout(c_pFlowPanel);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->setAlignment(Qt::AlignTop);
    FitToAlerts();
}

TVpAlertForm::~TVpAlertForm() { OnFormDestroy(); }

void TVpAlertForm::OnFormDestroy()
{
    for (TVpAlertCtrl *a : m_alerts)
        delete a;
    m_alerts.clear();
}

void TVpAlertForm::FitToAlerts()
{
    const int height = int(m_alerts.size()) * TVpAlertCtrl::kHeight;
    c_pFlowPanel->setGeometry(0, 0, kWidth, height);
    // An empty window keeps one pixel: a zero-sized window cannot be shown.
    setFixedSize(kWidth, std::max(height, 1));
}

TVpAlertCtrl *TVpAlertForm::AddAlert(const std::string &number, const std::string &name, uint32_t sourceId,
                                     uint32_t destinationId)
{
    auto *alert = new TVpAlertCtrl(c_pFlowPanel, number, name, sourceId, destinationId);
    alert->SetEventHandler([this](TVpAlertCtrl *a) { OnAlertAccept(a); },
                           [this](TVpAlertCtrl *a) { OnAlertDecline(a); });
    alert->SetMoveHandler([this](TVpAlertCtrl *a, Qt::MouseButton b) { DragAlertForm(a, b); });
    m_layout->addWidget(alert);
    m_alerts.push_back(alert);
    FitToAlerts();
    return alert;
}

bool TVpAlertForm::HasAlert(const std::string &number) const
{
    return std::any_of(m_alerts.begin(), m_alerts.end(),
                       [&](const TVpAlertCtrl *a) { return a->GetUserNumber() == number; });
}

void TVpAlertForm::Remove(TVpAlertCtrl *alert)
{
    auto it = std::find(m_alerts.begin(), m_alerts.end(), alert);
    if (it == m_alerts.end())
        return;
    m_alerts.erase(it);
    m_layout->removeWidget(alert);
    alert->hide();
    alert->SetEventHandler(nullptr, nullptr);
    alert->SetMoveHandler(nullptr);
    // The alert may be running the handler that removes it.
    alert->setParent(nullptr);
    alert->deleteLater();
    FitToAlerts();
    if (m_alerts.empty())
        done(1);
}

void TVpAlertForm::RemoveAlert(const std::string &number)
{
    auto it = std::find_if(m_alerts.begin(), m_alerts.end(),
                           [&](const TVpAlertCtrl *a) { return a->GetUserNumber() == number; });
    if (it != m_alerts.end())
        Remove(*it);
}

void TVpAlertForm::ShowAlerts()
{
    if (m_showing) {
        zox::skin::CentreOnOwner(this);
        return;
    }
    m_showing = true;
    zox::skin::CentreOnOwner(this);
    QPointer<TVpAlertForm> alive(this);
    exec();
    if (!alive)
        return; // the window went with its owner while it showed
    m_showing = false;
    zox::skin::CentreOnOwner(this);
}

void TVpAlertForm::OnAlertDecline(TVpAlertCtrl *alert)
{
    if (DeclineVpAlert(*m_actions, alert->State()))
        Remove(alert);
}

void TVpAlertForm::OnAlertAccept(TVpAlertCtrl *alert)
{
    if (AcceptVpAlert(*m_actions, alert->State()))
        Remove(alert);
}

void TVpAlertForm::DragAlertForm(TVpAlertCtrl *, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    if (QWindow *w = windowHandle())
        w->startSystemMove();
}

void TVpAlertForm::keyPressEvent(QKeyEvent *event)
{
    // No key closes the window: each push is answered or declined.
    event->accept();
}

void TVpAlertForm::reject()
{
    // Closing from outside (Esc, the window manager) leaves the pushes pending.
}
