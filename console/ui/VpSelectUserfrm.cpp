#include "console/ui/VpSelectUserfrm.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "console/MainListCache.h"
#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/EditionText.h"
#include "core/NumberUtils.h"

using namespace zox::skin;

namespace {

constexpr int kWidth = 580;
constexpr int kHeight = 400;
constexpr int kBottomHeight = 40;
const QColor kTitleColour(0, 45, 62);
const QColor kPanelColour(0, 28, 39);

const char *const kListStyle =
    "QListWidget { background: #001C27; color: #FFFFFF; border: 1px solid #2A4A57; }"
    "QListWidget::item { height: 20px; }"
    "QListWidget::item:selected { background: #1F6E8C; }";

QListWidget *NewList(QWidget *parent, const char *name, const QRect &r)
{
    auto *l = new QListWidget(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(r);
    l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    l->setStyleSheet(QLatin1String(kListStyle));
    return l;
}

} // namespace

TVpSelectUserForm::TVpSelectUserForm(QWidget *owner, IMainListCache *cache) : QDialog(owner), m_cache(cache)
{
    setObjectName(QStringLiteral("TVpSelectUserForm"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setModal(true);
    setFixedSize(kWidth, kHeight);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    setFont(font);
    InitImageMap();

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    TitleBar title = MakeTitleBar(this, m_pImageMap, QStringLiteral("Select User"), 10, [this] { OnImageCloseClick(); });
    title.caption->resize(200, 30);
    title.close->move(kWidth - 30, 0);
    title.close->setToolTip(QStringLiteral("Close"));
    c_pLabelTitle = title.caption;
    c_pImageClose = title.close;
    outer->addWidget(title.panel);

    auto *middle = new TSkinPanel(this, kPanelColour);
    middle->setObjectName(QStringLiteral("c_pPanelMiddle"));
    outer->addWidget(middle, 1);
    auto *bottom = new TSkinPanel(this, kPanelColour);
    bottom->setObjectName(QStringLiteral("c_pPanelBottom"));
    bottom->setFixedHeight(kBottomHeight);
    outer->addWidget(bottom);

    c_pComboBoxGroup = new QComboBox(middle);
    c_pComboBoxGroup->setObjectName(QStringLiteral("c_pComboBoxGroup"));
    c_pComboBoxGroup->setGeometry(15, 8, 230, 24);
    c_pComboBoxGroup->setToolTip(QStringLiteral("Select group"));
    c_pComboBoxGroup->setEditable(false);
    connect(c_pComboBoxGroup, &QComboBox::activated, this, [this] { OnGroupChange(); });
    c_pListBoxGroupUser = NewList(middle, "c_pListBoxGroupUser", QRect(15, 40, 230, 281));
    c_pListBoxSelectUser = NewList(middle, "c_pListBoxSelectUser", QRect(335, 27, 230, 295));
    connect(c_pListBoxGroupUser, &QListWidget::itemSelectionChanged, this, [this] { OnListBoxGroupUserClick(); });
    connect(c_pListBoxSelectUser, &QListWidget::itemSelectionChanged, this, [this] { OnListBoxSelectUserClick(); });
    c_pLabelUserSelected = new QLabel(middle);
    c_pLabelUserSelected->setObjectName(QStringLiteral("c_pLabelUserSelected"));
    c_pLabelUserSelected->setGeometry(335, 8, 230, 16);
    c_pLabelUserSelected->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));

    c_pImageAdd = MakePictureButton(middle, m_pImageMap, QRect(258, 116, 65, 24), kGrayButton,
                                    QStringLiteral("Add >>"), &c_pLabelAdd, [this] { OnAddClick(); });
    c_pImageRemove = MakePictureButton(middle, m_pImageMap, QRect(258, 161, 65, 24), kGrayButton,
                                       QStringLiteral("<< Remove"), &c_pLabelRemove, [this] { OnRemoveClick(); });
    c_pImageOk = MakePictureButton(bottom, m_pImageMap, QRect(432, 7, 60, 24), kGreenButton, QStringLiteral("Ok"),
                                   &c_pLabelOk, [this] { OnImageOkClick(); });
    c_pImageCancel = MakePictureButton(bottom, m_pImageMap, QRect(505, 7, 60, 24), kGrayButton,
                                       QStringLiteral("Cancel"), &c_pLabelCancel, [this] { OnImageCancelClick(); });
    InitControls();
}

void TVpSelectUserForm::InitImageMap() { m_pImageMap = new SkinImageMap(5, this); }

void TVpSelectUserForm::InitControls()
{
    for (QLabel *p : {c_pImageClose, c_pImageOk, c_pImageCancel, c_pImageAdd, c_pImageRemove})
        m_pImageMap->SetImageCtrlStatus(p, 1);
}

void TVpSelectUserForm::ExcludeUser(const std::string &number)
{
    if (!number.empty() && !IsExcludedUser(number))
        m_excluded.push_back(number);
}

bool TVpSelectUserForm::IsExcludedUser(const std::string &number) const
{
    return !number.empty() && std::find(m_excluded.begin(), m_excluded.end(), number) != m_excluded.end();
}

void TVpSelectUserForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOnOwner(this);
    OnFormShow();
}

void TVpSelectUserForm::OnFormShow()
{
    LoadGroups();
    if (c_pComboBoxGroup->count() > 0) {
        c_pComboBoxGroup->setCurrentIndex(0);
        LoadGroupUsers(m_groupIds[0]);
    }
    UpdateControls();
}

void TVpSelectUserForm::LoadGroups()
{
    c_pComboBoxGroup->clear();
    m_groupIds.clear();
    c_pComboBoxGroup->addItem(ZoxQText(EN_ZOX_TEXT::AllUserGroup));
    m_groupIds.push_back(kAllUsers);
    std::vector<ST_ZOX_SYSTEM_GROUP> groups;
    if (m_cache && m_cache->GetSystemGroups(groups) == 0)
        for (const ST_ZOX_SYSTEM_GROUP &g : groups) {
            c_pComboBoxGroup->addItem(QString::fromStdString(g.groupName));
            m_groupIds.push_back(int(g.groupId));
        }
}

void TVpSelectUserForm::LoadGroupUsers(int groupId)
{
    c_pListBoxGroupUser->clear();
    std::vector<ST_ZOX_SYSTEM_USER> users;
    if (!m_cache)
        return;
    const int rc = groupId == kAllUsers ? m_cache->GetSystemUsers(users) : m_cache->GetGroupMembers(uint32_t(groupId), users);
    if (rc != 0)
        return;
    for (const ST_ZOX_SYSTEM_USER &u : users) {
        if (u.regState == 0 || u.regState == 3 || u.priority == 4 || IsExcludedUser(u.userNumber))
            continue;
        auto *item = new QListWidgetItem(QString::fromStdString(MakeDisplayName(u.userNumber, u.displayName)));
        item->setData(Qt::UserRole, QString::fromStdString(u.userNumber));
        c_pListBoxGroupUser->addItem(item);
    }
}

void TVpSelectUserForm::OnGroupChange()
{
    const int i = c_pComboBoxGroup->currentIndex();
    if (i < 0 || i >= int(m_groupIds.size()))
        return;
    LoadGroupUsers(m_groupIds[std::size_t(i)]);
    UpdateControls();
}

namespace {

bool ListHolds(const QListWidget *list, const QString &text)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == text)
            return true;
    return false;
}

} // namespace

void TVpSelectUserForm::UpdateControls()
{
    const int count = c_pListBoxSelectUser->count();
    c_pLabelUserSelected->setText(ZoxQText(EN_ZOX_TEXT::ForwardSelectedUsers) + QString::number(count) + "/" +
                                  QString::number(kMaxSelected));
    bool canAdd = false;
    if (count < kMaxSelected)
        for (int i = 0; i < c_pListBoxGroupUser->count() && !canAdd; ++i) {
            const QListWidgetItem *item = c_pListBoxGroupUser->item(i);
            canAdd = item->isSelected() && !ListHolds(c_pListBoxSelectUser, item->text());
        }
    SetAddEnabled(canAdd);
    SetRemoveEnabled(!c_pListBoxSelectUser->selectedItems().isEmpty());
}

void TVpSelectUserForm::SetAddEnabled(bool on)
{
    c_pImageAdd->setEnabled(on);
    c_pLabelAdd->setEnabled(on);
    m_pImageMap->SetImageCtrlStatus(c_pImageAdd, on ? 1 : 0);
}

void TVpSelectUserForm::SetRemoveEnabled(bool on)
{
    c_pImageRemove->setEnabled(on);
    c_pLabelRemove->setEnabled(on);
    m_pImageMap->SetImageCtrlStatus(c_pImageRemove, on ? 1 : 0);
}

bool TVpSelectUserForm::IsAddEnabled() const { return c_pImageAdd->isEnabled(); }

bool TVpSelectUserForm::IsRemoveEnabled() const { return c_pImageRemove->isEnabled(); }

void TVpSelectUserForm::OnAddClick()
{
    if (!IsAddEnabled())
        return;
    for (int i = 0; i < c_pListBoxGroupUser->count(); ++i) {
        const QListWidgetItem *item = c_pListBoxGroupUser->item(i);
        if (item->isSelected() && !ListHolds(c_pListBoxSelectUser, item->text())) {
            auto *copy = new QListWidgetItem(item->text());
            copy->setData(Qt::UserRole, item->data(Qt::UserRole));
            c_pListBoxSelectUser->addItem(copy);
        }
        if (c_pListBoxSelectUser->count() >= kMaxSelected)
            break;
    }
    UpdateControls();
}

void TVpSelectUserForm::OnRemoveClick()
{
    for (int i = c_pListBoxSelectUser->count() - 1; i >= 0; --i)
        if (c_pListBoxSelectUser->item(i)->isSelected())
            delete c_pListBoxSelectUser->takeItem(i);
    UpdateControls();
}

void TVpSelectUserForm::GetSelectedUsers(std::vector<std::string> &numbers) const
{
    for (int i = 0; i < c_pListBoxSelectUser->count(); ++i) {
        // The number travels with the entry; its text is only what the dispatcher saw.
        const std::string number = c_pListBoxSelectUser->item(i)->data(Qt::UserRole).toString().toStdString();
        if (!number.empty())
            numbers.push_back(number);
    }
}

void TVpSelectUserForm::keyPressEvent(QKeyEvent *event)
{
    // Neither Esc nor Enter closes the dialog.
    event->accept();
}
