#include "console/ui/Confirmfrm.h"

#include "core/Edition.h"
#include "core/EditionText.h"

#include <QFrame>
#include <QLabel>

TConfirmForm::TConfirmForm(QWidget *owner, const std::string &text)
    : TSkinDialog(owner, ZoxQText(EN_ZOX_TEXT::ConfirmTitle), 65, true, ZoxQText(EN_ZOX_TEXT::ExitHint))
{
    setObjectName(QStringLiteral("TConfirmForm"));
    setWindowTitle(ZoxQText(EN_ZOX_TEXT::ConfirmTitle));
    c_pLabelMsg = new QLabel(ZoxQText(EN_ZOX_TEXT::ConfirmDeleteSample), c_pPanelMiddle);
    c_pLabelMsg->setGeometry(20, 33, 270, 16);
    c_pLabelMsg->setWordWrap(false);
    c_pLabelMsg->setStyleSheet(QStringLiteral("color: #D7E4F2; background: transparent;"));
    if (!text.empty())
        c_pLabelMsg->setText(QString::fromStdString(text));
    c_pImageOk = AddBottomButton(157, 7,
                                 {"IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_FOCUSED",
                                  "IMG_BTN_GREEN_PRESSED"},
                                 ZoxQText(EN_ZOX_TEXT::Ok), &c_pLabelOK, [this] { OnImageOkClick(); });
    c_pImageCancel = AddBottomButton(229, 7,
                                     {"IMG_BTN_GRAY_NORMAL", "IMG_BTN_GRAY_NORMAL", "IMG_BTN_GRAY_FOCUSED",
                                      "IMG_BTN_GRAY_PRESSED"},
                                     ZoxQText(EN_ZOX_TEXT::Cancel), &c_pLabelCancel, [this] { OnImageCancelClick(); });
    if constexpr (zox::edition::kChinese) {
        for (QLabel *label : {c_pLabelMsg, c_pLabelOK, c_pLabelCancel}) {
            QFont f = label->font();
            f.setPixelSize(13);
            label->setFont(f);
        }
        QFont tf = c_pLabelTitle->font();
        tf.setPixelSize(14);
        c_pLabelTitle->setFont(tf);
    }
}

void TConfirmForm::OnImageCancelClick() { done(kResultClose); }
