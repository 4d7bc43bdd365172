#pragma once
// The modal New/Edit dialog of a contact: name, position, mobile and telephone number.
// OK with an empty name is refused; OK ends with 1, Cancel and the close picture with 2.
#include "console/ContactsDb.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class SkinImageMap;

class TContactUserForm : public QDialog {
    Q_OBJECT
public:
    // New contact: (owner, nullptr, the selected unit's id, true). Edit: (owner, the
    // contact, its unit, false), which pre-fills the edits.
    TContactUserForm(QWidget *owner, const CONTACT_USER_ITEM *contact, int unitId, bool isNew);

    // The contact's id and unit with the four texts, trimmed.
    void GetContact(CONTACT_USER_ITEM *contact) const;

    void OnImageOkClick();
    void OnImageCancelClick();
    void OnImageCloseClick();

    std::function<void(const std::string &)> ShowTip;

    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QLabel *c_pLabelName = nullptr;
    QLabel *c_pLabePos = nullptr;
    QLabel *c_pLabelMobile = nullptr;
    QLabel *c_pLabelPhone = nullptr;
    QLineEdit *c_pEditName = nullptr;
    QLineEdit *c_pEditPos = nullptr;
    QLineEdit *c_pEditMobile = nullptr;
    QLineEdit *c_pEditPhone = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pLabelOK = nullptr;
    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    SkinImageMap *m_pImageMap = nullptr;
    int m_id = 0;
    int m_unit = 0;
    bool m_isNew = true;
};
