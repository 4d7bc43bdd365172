#pragma once
// The question whether to call a number: a borderless modal box with the number and
// the buttons Cancel (2) and Call (1, also Enter). The caller creates, shows and frees it.
#include "console/ui/CallDialogParts.h"

#include <QDialog>
#include <QPoint>

#include <string>

class QFrame;
class QLabel;

class TCallConfirmForm : public QDialog {
    Q_OBJECT
public:
    TCallConfirmForm(QWidget *owner, const std::string &number);

    const std::string &GetNumber() const { return m_number; }

    QFrame *c_PanelClient = nullptr;
    QLabel *c_pLabelContent = nullptr;
    QFrame *c_PanelCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;
    QFrame *c_pPanelCall = nullptr;
    QLabel *c_pLabelCall = nullptr;

    void OnCtrlCancelClick();
    void OnCtrCallClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::string m_number;
    zox::calldlg::TwoButtonDialogParts m_parts;
};
