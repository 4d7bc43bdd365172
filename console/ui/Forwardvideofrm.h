#pragma once
// "Select user": a modal check list of users, some ticked beforehand. The caller hands
// in the rows, shows the dialog and, on OK (1), reads back for each row whether it is
// ticked now. Cancel and the close picture end with 2.
#include "console/UserPickers.h"

#include <QDialog>

class QLabel;
class QListWidget;
class SkinImageMap;

class TForwardVideoForm : public QDialog {
    Q_OBJECT
public:
    explicit TForwardVideoForm(QWidget *owner);

    // Empties the list and the kept rows, then adds each row in order, ticked when its
    // preset flag is set.
    void SetUsers(ST_VECT_USER_SELECT users);
    // One item per kept row in the same order: its text, its preset flag and whether
    // the row is ticked now.
    void GetUsers(ST_VECT_USER_SELECT &users) const;
    int ShowModal() { return exec(); }

    void OnImageOkClick();
    void OnImageCancelClick();
    void OnImageCloseClick();

    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QListWidget *c_pCheckListUser = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pLabelOK = nullptr;
    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;
    SkinImageMap *ImageMap() const { return m_pImageMap; }

public slots:
    // The window's close box and the like end the dialog as Cancel does.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    SkinImageMap *m_pImageMap = nullptr;
    ST_VECT_USER_SELECT m_users; // the rows as given, row i of the list is m_users[i]
};
