#include "console/ui/Mainfrm.h"

#include "core/Edition.h"
#include "core/SystemConfig.h"

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

void TMainForm::customEvent(QEvent *event) { QWidget::customEvent(event); }

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (m_exitAction) {
        event->ignore();
        m_exitAction();
        return;
    }
    QWidget::closeEvent(event);
}
