#include "console/ui/Msgtipfrm.h"

#include <QFrame>
#include <QLabel>

TMsgTipForm::TMsgTipForm(QWidget *owner, const std::string &text)
    : TSkinDialog(owner, QStringLiteral("Information"), 75, false, QStringLiteral("Close"))
{
    setObjectName(QStringLiteral("TMsgTipForm"));
    setWindowTitle(QStringLiteral("Information"));
    c_pLabelMsg = new QLabel(c_pPanelMiddle);
    c_pLabelMsg->setGeometry(10, 11, 280, 58);
    c_pLabelMsg->setWordWrap(true);
    c_pLabelMsg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont msgFont(QStringLiteral("Tahoma"));
    msgFont.setPixelSize(11);
    c_pLabelMsg->setFont(msgFont);
    c_pLabelMsg->setStyleSheet(QStringLiteral("color: #D7E4F2; background: transparent;"));
    c_pLabelMsg->setText(QString::fromStdString(text));
    c_pImageOk = AddBottomButton(228, 9,
                                 {"IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_FOCUSED",
                                  "IMG_BTN_GREEN_PRESSED"},
                                 QStringLiteral("Ok"), &c_pLabelOK, [this] { OnImageOkClick(); });
}

void ShowMsgTip(const std::string &text)
{
    TMsgTipForm form(nullptr, text);
    form.exec();
}
