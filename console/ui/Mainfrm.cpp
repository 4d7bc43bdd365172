#include "console/ui/Mainfrm.h"

#include "core/Edition.h"
#include "core/SystemConfig.h"
#include "core/net/NetFacade.h"
#include "host/MessageNumbers.h"
#include "host/WindowMessage.h"

#include <QCloseEvent>

TMainForm *g_pMainForm = nullptr;

TMainForm::TMainForm(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TMainForm"));
    std::string title = zox::edition::kProductTitle;
    if (g_pSystemConfig && !g_pSystemConfig->GetTitle().empty())
        title = g_pSystemConfig->GetTitle();
    setWindowTitle(QString::fromStdString(title));
    resize(1280, 800);
    g_pMainForm = this;
    // The call-signalling and video-push datagrams come to this window from now on.
    NetSubscribe(WM_NET_CALL, this);
    NetSubscribe(WM_NET_VIDEOPUSH, this);
}

TMainForm::~TMainForm()
{
    if (g_pMainForm == this)
        g_pMainForm = nullptr;
}

// The call-signalling handlers come with the dispatch lines; until then a datagram is
// dropped here (its bytes belong to the message and go with it).
void TMainForm::OnNetCall(const QByteArray &) {}

void TMainForm::OnNetVideoPush(const QByteArray &) {}

void TMainForm::customEvent(QEvent *event)
{
    const CWindowMessage *m = CWindowMessage::From(event);
    if (!m) {
        QWidget::customEvent(event);
        return;
    }
    if (m->message == WM_NET_CALL)
        OnNetCall(m->data);
    else if (m->message == WM_NET_VIDEOPUSH)
        OnNetVideoPush(m->data);
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (m_exitAction) {
        event->ignore();
        m_exitAction();
        return;
    }
    QWidget::closeEvent(event);
}
