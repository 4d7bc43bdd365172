#include "console/ui/Callconfirmdlg.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>

#include "console/ui/CallDialogParts.h"
#include "core/Edition.h"
#include "core/EditionText.h"

using namespace zox::calldlg;

TCallConfirmForm::TCallConfirmForm(QWidget *owner, const std::string &number) : QDialog(owner), m_number(number)
{
    setObjectName(QStringLiteral("TCallConfirmForm"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(240, 100);
    c_PanelClient = new QFrame(this);
    c_PanelClient->setObjectName(QStringLiteral("c_PanelClient"));
    c_PanelClient->setGeometry(0, 0, 240, 60);
    c_PanelClient->setStyleSheet(QStringLiteral(
        "QFrame#c_PanelClient { background: qlineargradient(x1:0, y1:0, x2:1, y2:1, stop:0 #B4B4B4, stop:1 #F0F0F0); }"));
    c_PanelClient->installEventFilter(this);
    c_pLabelContent = new QLabel(QString::fromStdString(number), c_PanelClient);
    QFont f(QString::fromUtf8(zox::edition::kFormFaceArial));
    f.setPixelSize(14);
    f.setBold(true);
    c_pLabelContent->setFont(f);
    c_pLabelContent->setStyleSheet(QStringLiteral("color: #434E54; background: transparent;"));
    c_pLabelContent->setAttribute(Qt::WA_TransparentForMouseEvents);
    c_pLabelContent->adjustSize();
    c_pLabelContent->move((c_PanelClient->width() - c_pLabelContent->width()) / 2, 20);
    c_PanelCancel = MakeButtonPanel(this, QRect(0, 60, 120, 40), kRed, ZoxQText(EN_ZOX_TEXT::Cancel), 14, true,
                                    &c_pLabelCancel);
    c_pPanelCall = MakeButtonPanel(this, QRect(120, 60, 120, 40), kGreen, ZoxQText(EN_ZOX_TEXT::CallConfirmCall), 14,
                                   true,
                                   &c_pLabelCall);
    c_PanelCancel->installEventFilter(this);
    c_pPanelCall->installEventFilter(this);
    if (owner)
        move(owner->geometry().center() - rect().center());
}

void TCallConfirmForm::OnCtrlCancelClick() { done(2); }

void TCallConfirmForm::OnCtrCallClick() { done(1); }

void TCallConfirmForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnCtrCallClick();
        return;
    }
    event->accept(); // no small window closes on Esc
}

bool TCallConfirmForm::eventFilter(QObject *watched, QEvent *event)
{
    const bool cancel = watched == c_PanelCancel;
    if (cancel || watched == c_pPanelCall) {
        auto *panel = static_cast<QFrame *>(watched);
        switch (event->type()) {
        case QEvent::Enter:
            SetPanelColour(panel, cancel ? kRedHover : kGreenHover);
            break;
        case QEvent::Leave:
            SetPanelColour(panel, cancel ? kRed : kGreen);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                cancel ? OnCtrlCancelClick() : OnCtrCallClick();
                return true;
            }
            break;
        default:
            break;
        }
    } else if (watched == c_PanelClient) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (event->type() == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
            m_dragging = true;
            m_dragOffset = me->globalPosition().toPoint() - frameGeometry().topLeft();
        } else if (event->type() == QEvent::MouseMove && m_dragging) {
            move(me->globalPosition().toPoint() - m_dragOffset);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
        }
    }
    return QDialog::eventFilter(watched, event);
}
