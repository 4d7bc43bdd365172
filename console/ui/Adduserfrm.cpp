#include "console/ui/Adduserfrm.h"

#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "core/ZoxLoginCache.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTreeWidget>

#include <memory>

namespace {

constexpr int kWidth = 390;
constexpr int kHeight = 460;
constexpr int kTreeSize = 360;
constexpr int kIconSize = 24;
const QColor kBack(0x00, 0x1C, 0x27);

QString Q(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// The tree's pictures: 0 a group, 1 a selected group, 2 a user.
QIcon TreeIcon(int index)
{
    QPixmap pm(kIconSize, kIconSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (index == 2) {
        p.setBrush(QColor(0x5F, 0xB8, 0xE8));
        p.drawEllipse(QRectF(8, 3, 8, 8));
        p.drawRoundedRect(QRectF(5, 12, 14, 9), 4, 4);
    } else {
        p.setBrush(index == 1 ? QColor(0xF0, 0xB4, 0x3C) : QColor(0x9C, 0xA8, 0xB0));
        p.drawRoundedRect(QRectF(3, 6, 8, 5), 1, 1);
        p.drawRoundedRect(QRectF(3, 8, 18, 12), 2, 2);
    }
    return QIcon(pm);
}

} // namespace

TAddUserForm::TAddUserForm(QWidget *owner, IDispatchCacheReads *cache)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TAddUserForm"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
    ShowTip = [this](const std::string &text) {
        TMsgTipForm tip(this, text);
        tip.exec();
    };
    m_pImageMap = new SkinImageMap(3, this);

    auto *client = new TSkinPanel(this, kBack);
    client->setGeometry(0, 0, kWidth, kHeight);
    auto t = zox::skin::MakeTitleBar(this, m_pImageMap, ZoxQText(EN_ZOX_TEXT::AddUserTitle), 10,
                                     [this] { OnImageCloseClick(); });
    t.panel->setGeometry(0, 0, kWidth, 30);
    t.caption->resize(200, 30);
    QFont titleFont(QString::fromUtf8(zox::edition::kFormFace));
    titleFont.setPixelSize(13);
    titleFont.setBold(zox::edition::kChinese);
    t.caption->setFont(titleFont);
    t.caption->setStyleSheet(QStringLiteral("color: palette(highlighted-text); background: transparent;"));
    t.close->move(kWidth - 30, 0);
    t.close->setToolTip(ZoxQText(EN_ZOX_TEXT::CloseHint));
    c_pLabelTitle = t.caption;
    c_pImageClose = t.close;

    c_pTreeViewUser = new QTreeWidget(this);
    c_pTreeViewUser->setObjectName(QStringLiteral("c_pTreeViewUser"));
    c_pTreeViewUser->setGeometry((kWidth - kTreeSize) / 2, 40, kTreeSize, kTreeSize);
    c_pTreeViewUser->setHeaderHidden(true);
    c_pTreeViewUser->setColumnCount(1);
    c_pTreeViewUser->setRootIsDecorated(false);
    c_pTreeViewUser->setItemsExpandable(true);
    c_pTreeViewUser->setIndentation(35);
    c_pTreeViewUser->setIconSize(QSize(kIconSize, kIconSize));
    c_pTreeViewUser->setSelectionMode(QAbstractItemView::SingleSelection);
    c_pTreeViewUser->setSelectionBehavior(QAbstractItemView::SelectRows);
    c_pTreeViewUser->setAllColumnsShowFocus(true);
    QFont treeFont(QString::fromUtf8(zox::edition::kFormFace));
    treeFont.setPixelSize(11);
    c_pTreeViewUser->setFont(treeFont);
    c_pTreeViewUser->setStyleSheet(
        QStringLiteral("QTreeWidget { background: #001C27; color: #FFFFFF; border: 1px solid #2B4856; }"));
    connect(c_pTreeViewUser, &QTreeWidget::itemSelectionChanged, this, [this] { OnTreeSelectionChanged(); });

    const int buttonsTop = 40 + kTreeSize + (kHeight - 40 - kTreeSize - 24) / 2;
    c_pImageOk = zox::skin::MakePictureButton(this, m_pImageMap, QRect(kWidth - 140, buttonsTop, 60, 24),
                                              zox::skin::kGreenButton, ZoxQText(EN_ZOX_TEXT::Ok), &c_pLabelOK,
                                              [this] { OnImageOkClick(); });
    c_pImageCancel = zox::skin::MakePictureButton(this, m_pImageMap, QRect(kWidth - 70, buttonsTop, 60, 24),
                                                  zox::skin::kGrayButton, ZoxQText(EN_ZOX_TEXT::Cancel),
                                                  &c_pLabelCancel, [this] { OnImageCancelClick(); });
    QFont buttonFont(QString::fromUtf8(zox::edition::kFormFace));
    buttonFont.setPixelSize(zox::edition::kChinese ? 12 : 11);
    c_pLabelOK->setFont(buttonFont);
    c_pLabelCancel->setFont(buttonFont);

    FillTree(cache);
}

void TAddUserForm::FillTree(IDispatchCacheReads *cache)
{
    std::unique_ptr<TZoxDataModuleDispatchReads> moduleReads;
    if (!cache && g_pZoxDataModule) {
        moduleReads = std::make_unique<TZoxDataModuleDispatchReads>(*g_pZoxDataModule);
        cache = moduleReads.get();
    }
    const std::vector<zox::pickers::PickerGroup> tree =
        zox::pickers::BuildAddUserTree(cache, ZoxText(EN_ZOX_TEXT::AllUserGroup));
    const QIcon groupIcon = TreeIcon(0);
    const QIcon userIcon = TreeIcon(2);
    c_pTreeViewUser->clear();
    for (const zox::pickers::PickerGroup &g : tree) {
        auto *node = new QTreeWidgetItem(c_pTreeViewUser, QStringList{Q(g.name)});
        node->setIcon(0, groupIcon);
        node->setData(0, kRoleLevel, 0);
        for (const zox::pickers::PickerUser &u : g.users) {
            auto *child = new QTreeWidgetItem(node, QStringList{Q(u.text)});
            child->setIcon(0, userIcon);
            child->setData(0, kRoleLevel, 1);
            child->setData(0, kRoleNumber, Q(u.number));
            child->setData(0, kRoleName, Q(u.name));
        }
    }
}

QTreeWidgetItem *TAddUserForm::SelectedNode() const
{
    const QList<QTreeWidgetItem *> selected = c_pTreeViewUser->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void TAddUserForm::OnTreeSelectionChanged()
{
    // A group opens while it is selected and shows its selected picture.
    const QTreeWidgetItem *selected = SelectedNode();
    const QTreeWidgetItem *selectedGroup = selected && !selected->parent() ? selected : nullptr;
    static const QIcon groupIcon = TreeIcon(0);
    static const QIcon selectedIcon = TreeIcon(1);
    for (int i = 0; i < c_pTreeViewUser->topLevelItemCount(); ++i) {
        QTreeWidgetItem *g = c_pTreeViewUser->topLevelItem(i);
        const bool on = g == selectedGroup;
        g->setIcon(0, on ? selectedIcon : groupIcon);
        if (on)
            g->setExpanded(true);
    }
}

int TAddUserForm::GetSelectedUser(std::string &number, std::string &name) const
{
    const QTreeWidgetItem *node = SelectedNode();
    if (!node || node->data(0, kRoleLevel).toInt() != 1)
        return -1;
    const std::string n = node->data(0, kRoleNumber).toString().toStdString();
    if (n.empty())
        return -1;
    number = n;
    name = node->data(0, kRoleName).toString().toStdString();
    return 0;
}

void TAddUserForm::OnImageOkClick()
{
    const QTreeWidgetItem *node = SelectedNode();
    if (node && node->data(0, kRoleLevel).toInt() == 1) {
        done(1);
        return;
    }
    if (ShowTip)
        ShowTip(ZoxText(EN_ZOX_TEXT::AddUserPrompt));
}

void TAddUserForm::OnImageCancelClick() { done(2); }
void TAddUserForm::OnImageCloseClick() { done(2); }
void TAddUserForm::reject() { done(2); }

void TAddUserForm::showEvent(QShowEvent *event)
{
    zox::skin::CentreOnOwner(this);
    QDialog::showEvent(event);
}

void TAddUserForm::keyPressEvent(QKeyEvent *event)
{
    // Neither Esc nor Enter ends this dialog.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
