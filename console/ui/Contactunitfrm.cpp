#include "console/ui/Contactunitfrm.h"

#include "console/ui/ContactDialogKit.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "core/EditionText.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

TContactUnitForm::TContactUnitForm(QWidget *owner, int parentId, bool isNew, const std::string &text, int id)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint), m_id(id)
{
    setObjectName(QStringLiteral("TContactUnitForm"));
    setWindowTitle(ZoxQText(isNew ? EN_ZOX_TEXT::ContactsDialogNew : EN_ZOX_TEXT::ContactsDialogEdit));
    ShowTip = [](const std::string &t) { ShowMsgTip(t); };
    m_pImageMap = new SkinImageMap(3, this);
    auto f = zox::contacts::BuildDialogFrame(this, m_pImageMap, 350, 180, ZoxQText(EN_ZOX_TEXT::ContactsDialogNew));
    c_pLabelTitle = f.title;
    c_pImageClose = f.close;
    c_pImageOk = f.ok;
    c_pLabelOK = f.okCaption;
    c_pImageCancel = f.cancel;
    c_pLabelCancel = f.cancelCaption;

    using zox::contacts::kUnitFields;
    c_pLabeParent = zox::contacts::FieldLabel(f.middle, ZoxQText(EN_ZOX_TEXT::ContactsSuperior), 18, kUnitFields);
    c_pComboParent = new QComboBox(f.middle);
    c_pComboParent->setGeometry(kUnitFields.left, 18, kUnitFields.width, 22);
    c_pComboParent->setEditable(false);
    c_pComboParent->setStyleSheet(QString::fromLatin1(zox::contacts::FieldStyle()));
    c_pLabelName = zox::contacts::FieldLabel(f.middle, ZoxQText(EN_ZOX_TEXT::ContactsUnitName), 62, kUnitFields);
    c_pEditName = zox::contacts::FieldEdit(f.middle, 62, kUnitFields);

    FillParentList(parentId, isNew, text);
}

void TContactUnitForm::FillParentList(int parentId, bool isNew, const std::string &text)
{
    c_pComboParent->clear();
    if (isNew) {
        if (m_id > 0)
            c_pComboParent->addItem(QString::fromStdString(text), QString::number(m_id));
        else
            c_pComboParent->addItem(ZoxQText(EN_ZOX_TEXT::ContactsNone), QStringLiteral("0"));
        c_pComboParent->setCurrentIndex(0);
        // The new unit's own id is not known yet.
        m_id = 0;
        return;
    }
    c_pLabelTitle->setText(ZoxQText(EN_ZOX_TEXT::ContactsDialogEdit));
    c_pEditName->setText(QString::fromStdString(text));
    c_pComboParent->addItem(ZoxQText(EN_ZOX_TEXT::ContactsNone), QStringLiteral("0"));
    c_pComboParent->setCurrentIndex(0);
    std::vector<CONTACT_UNIT_ITEM> units;
    ContactsDbLoadUnits(&units);
    // Neither the unit itself nor any unit below it can become its superior: that
    // branch would no longer hang from a top-level unit.
    const std::vector<int> branch = ContactsUnitSubtree(units, m_id);
    for (const auto &u : units) {
        if (std::find(branch.begin(), branch.end(), u.id) != branch.end())
            continue;
        c_pComboParent->addItem(QString::fromStdString(u.name), QString::number(u.id));
        if (u.id == parentId)
            c_pComboParent->setCurrentIndex(c_pComboParent->count() - 1);
    }
}

void TContactUnitForm::GetUnitItem(CONTACT_UNIT_ITEM *item) const
{
    if (!item)
        return;
    item->id = m_id;
    item->name = c_pEditName->text().trimmed().toStdString();
    item->parent = c_pComboParent->currentData().toString().toInt();
}

void TContactUnitForm::OnImageOkClick()
{
    if (c_pEditName->text().trimmed().isEmpty()) {
        if (ShowTip)
            ShowTip(ZoxText(EN_ZOX_TEXT::ContactsNameEmpty));
        return;
    }
    done(1);
}

void TContactUnitForm::OnImageCancelClick() { done(2); }

void TContactUnitForm::OnImageCloseClick() { done(2); }

void TContactUnitForm::showEvent(QShowEvent *event)
{
    zox::skin::CentreOnOwner(this);
    QDialog::showEvent(event);
}

void TContactUnitForm::keyPressEvent(QKeyEvent *event) { event->accept(); }
