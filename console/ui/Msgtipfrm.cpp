#include "console/ui/Msgtipfrm.h"

#include "core/Edition.h"
#include "core/EditionText.h"

#include <QFrame>
#include <QLabel>

TMsgTipForm::TMsgTipForm(QWidget *owner, const std::string &text)
    : TSkinDialog(owner, ZoxQText(EN_ZOX_TEXT::MsgTipTitle), 75, zox::edition::kChinese, ZoxQText(EN_ZOX_TEXT::CloseHint))
{
    setObjectName(QStringLiteral("TMsgTipForm"));
    setWindowTitle(ZoxQText(EN_ZOX_TEXT::MsgTipTitle));
    c_pLabelMsg = new QLabel(c_pPanelMiddle);
    c_pLabelMsg->setGeometry(10, 11, 280, 58);
    c_pLabelMsg->setWordWrap(true);
    c_pLabelMsg->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont msgFont(QString::fromUtf8(zox::edition::kFormFace));
    msgFont.setPixelSize(11);
    c_pLabelMsg->setFont(msgFont);
    c_pLabelMsg->setStyleSheet(QStringLiteral("color: #D7E4F2; background: transparent;"));
    c_pLabelMsg->setText(QString::fromStdString(text));
    if constexpr (zox::edition::kChinese) {
        // One line, auto-sized from (20, 33), however long the message.
        msgFont.setPixelSize(12);
        c_pLabelMsg->setFont(msgFont);
        c_pLabelMsg->setWordWrap(false);
        c_pLabelMsg->move(20, 33);
        c_pLabelMsg->adjustSize();
    }
    c_pImageOk = AddBottomButton(228, 9,
                                 {"IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_FOCUSED",
                                  "IMG_BTN_GREEN_PRESSED"},
                                 ZoxQText(EN_ZOX_TEXT::Ok), &c_pLabelOK, [this] { OnImageOkClick(); });
    if constexpr (zox::edition::kChinese) {
        QFont okFont = c_pLabelOK->font();
        okFont.setPixelSize(12);
        c_pLabelOK->setFont(okFont);
    }
}

void ShowMsgTip(const std::string &text)
{
    TMsgTipForm form(nullptr, text);
    form.exec();
}
