#pragma once
// The yes/no question asked before a deletion. The caller shows it modally and takes
// every result but 2 as yes. An empty text keeps the designed question.
#include "console/ui/SkinDialog.h"

#include <string>

class TConfirmForm : public TSkinDialog {
    Q_OBJECT
public:
    TConfirmForm(QWidget *owner, const std::string &text);

    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;

    void OnImageCancelClick();
};
