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
    m_parts.dialog = this;
    m_parts.red = c_PanelCancel;
    m_parts.green = c_pPanelCall;
    m_parts.client = c_PanelClient;
    m_parts.onRed = [this] { OnCtrlCancelClick(); };
    m_parts.onGreen = [this] { OnCtrCallClick(); };
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
    return m_parts.Filter(watched, event) || QDialog::eventFilter(watched, event);
}
