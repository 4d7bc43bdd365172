#include "console/ui/Confirmfrm.h"

#include <QFrame>
#include <QLabel>

TConfirmForm::TConfirmForm(QWidget *owner, const std::string &text)
    : TSkinDialog(owner, QStringLiteral("Confirm"), 65, true, QStringLiteral("Exit"))
{
    setObjectName(QStringLiteral("TConfirmForm"));
    setWindowTitle(QStringLiteral("Confirm"));
    c_pLabelMsg = new QLabel(QStringLiteral("Are you sure you want to delete it?"), c_pPanelMiddle);
    c_pLabelMsg->setGeometry(20, 33, 270, 16);
    c_pLabelMsg->setWordWrap(false);
    c_pLabelMsg->setStyleSheet(QStringLiteral("color: #D7E4F2; background: transparent;"));
    if (!text.empty())
        c_pLabelMsg->setText(QString::fromStdString(text));
    c_pImageOk = AddBottomButton(157, 7,
                                 {"IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_NORMAL", "IMG_BTN_GREEN_FOCUSED",
                                  "IMG_BTN_GREEN_PRESSED"},
                                 QStringLiteral("Ok"), &c_pLabelOK, [this] { OnImageOkClick(); });
    c_pImageCancel = AddBottomButton(229, 7,
                                     {"IMG_BTN_GRAY_NORMAL", "IMG_BTN_GRAY_NORMAL", "IMG_BTN_GRAY_FOCUSED",
                                      "IMG_BTN_GRAY_PRESSED"},
                                     QStringLiteral("Cancel"), &c_pLabelCancel, [this] { OnImageCancelClick(); });
}

void TConfirmForm::OnImageCancelClick() { done(kResultClose); }
