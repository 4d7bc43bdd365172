#pragma once
// The modal New/Edit dialog of a contacts-book unit: its name and its superior unit.
// OK with an empty name is refused; OK ends with 1, Cancel and the close picture with 2.
#include "console/ContactsDb.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class SkinImageMap;

class TContactUnitForm : public QDialog {
    Q_OBJECT
public:
    // New top-level unit: (owner, 0, true, "", 0). New sub-unit: (owner, 0, true, the
    // parent's name, the parent's id). Edit: (owner, the unit's parent, false, its
    // name, its id).
    TContactUnitForm(QWidget *owner, int parentId, bool isNew, const std::string &text, int id);

    void GetUnitItem(CONTACT_UNIT_ITEM *item) const;

    void OnImageOkClick();
    void OnImageCancelClick();
    void OnImageCloseClick();

    // The message box (tests replace it).
    std::function<void(const std::string &)> ShowTip;

    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QLabel *c_pLabeParent = nullptr;
    QComboBox *c_pComboParent = nullptr;
    QLabel *c_pLabelName = nullptr;
    QLineEdit *c_pEditName = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pLabelOK = nullptr;
    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FillParentList(int parentId, bool isNew, const std::string &text);

    SkinImageMap *m_pImageMap = nullptr;
    int m_id = 0;
};
