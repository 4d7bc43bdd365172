#include "console/ui/Contactuserfrm.h"

#include "console/ui/ContactDialogKit.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "core/EditionText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

TContactUserForm::TContactUserForm(QWidget *owner, const CONTACT_USER_ITEM *contact, int unitId, bool isNew)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_unit(unitId), m_isNew(isNew)
{
    setObjectName(QStringLiteral("TContactUserForm"));
    const QString title = ZoxQText(isNew ? EN_ZOX_TEXT::ContactsDialogNew : EN_ZOX_TEXT::ContactsDialogEdit);
    setWindowTitle(title);
    ShowTip = [](const std::string &t) { ShowMsgTip(t); };
    m_pImageMap = new SkinImageMap(3, this);
    auto f = zox::contacts::BuildDialogFrame(this, m_pImageMap, 350, 230, title);
    c_pLabelTitle = f.title;
    c_pImageClose = f.close;
    c_pImageOk = f.ok;
    c_pLabelOK = f.okCaption;
    c_pImageCancel = f.cancel;
    c_pLabelCancel = f.cancelCaption;

    using zox::contacts::FieldEdit;
    using zox::contacts::FieldLabel;
    using zox::contacts::kUserFields;
    c_pLabelName = FieldLabel(f.middle, ZoxQText(EN_ZOX_TEXT::ContactsColName), 14, kUserFields);
    c_pEditName = FieldEdit(f.middle, 14, kUserFields);
    c_pLabePos = FieldLabel(f.middle, ZoxQText(EN_ZOX_TEXT::ContactsColPosition), 52, kUserFields);
    c_pEditPos = FieldEdit(f.middle, 52, kUserFields);
    c_pLabelMobile = FieldLabel(f.middle, ZoxQText(EN_ZOX_TEXT::ContactsColMobile), 90, kUserFields);
    c_pEditMobile = FieldEdit(f.middle, 90, kUserFields);
    c_pLabelPhone = FieldLabel(f.middle, ZoxQText(EN_ZOX_TEXT::ContactsColTelephone), 128, kUserFields);
    c_pEditPhone = FieldEdit(f.middle, 128, kUserFields);

    if (contact && !isNew) {
        m_id = contact->id;
        m_unit = contact->unit;
        c_pEditName->setText(QString::fromStdString(contact->name));
        c_pEditPos->setText(QString::fromStdString(contact->position));
        c_pEditMobile->setText(QString::fromStdString(contact->mobile));
        c_pEditPhone->setText(QString::fromStdString(contact->phone));
    }
}

void TContactUserForm::GetContact(CONTACT_USER_ITEM *contact) const
{
    if (!contact)
        return;
    contact->id = m_id;
    contact->unit = m_unit;
    contact->name = c_pEditName->text().trimmed().toStdString();
    contact->position = c_pEditPos->text().trimmed().toStdString();
    contact->mobile = c_pEditMobile->text().trimmed().toStdString();
    contact->phone = c_pEditPhone->text().trimmed().toStdString();
}

void TContactUserForm::OnImageOkClick()
{
    if (c_pEditName->text().trimmed().isEmpty()) {
        if (ShowTip)
            ShowTip(ZoxText(EN_ZOX_TEXT::ContactsNameEmpty));
        return;
    }
    done(1);
}

void TContactUserForm::OnImageCancelClick() { done(2); }

void TContactUserForm::OnImageCloseClick() { done(2); }

void TContactUserForm::showEvent(QShowEvent *event)
{
    zox::skin::CentreOnOwner(this);
    QDialog::showEvent(event);
}

void TContactUserForm::keyPressEvent(QKeyEvent *event) { event->accept(); }
