#include "console/ui/Contactfrm.h"

#include "console/ui/Contactunitfrm.h"
#include "console/ui/Contactuserfrm.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "core/ui/PngResource.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <set>

using namespace zox::skin;

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kNumberRole = Qt::UserRole + 1;

// The contact rows, drawn by the window: parity colours, the selection, and the phone
// pictures in front of the two numbers.
class ContactRowDelegate : public QStyledItemDelegate {
public:
    explicit ContactRowDelegate(QTreeWidget *list) : QStyledItemDelegate(list), m_list(list)
    {
        m_mobile = LoadSkinPixmap(QStringLiteral("IMG_MOBILE_PHONE_16"));
        m_phone = LoadSkinPixmap(QStringLiteral("IMG_TELEPHONE_16"));
    }

    void paint(QPainter *p, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QModelIndex first = index.siblingAtColumn(0);
        const int number = first.data(kNumberRole).toInt();
        QColor back = (number % 2) ? QColor(0xE0, 0xE0, 0xE0) : QColor(Qt::white);
        if (option.state & QStyle::State_Selected)
            back = m_list->hasFocus() ? option.palette.color(QPalette::Highlight) : QColor(0x80, 0x80, 0x80);
        p->fillRect(option.rect, back);
        QFont font(QString::fromUtf8(zox::edition::kFormFace));
        font.setPointSize(10);
        p->setFont(font);
        p->setPen(Qt::black);
        const QString text = index.data(Qt::DisplayRole).toString();
        const bool number_cell = index.column() == TContactForm::kColMobile || index.column() == TContactForm::kColPhone;
        QRect r = option.rect;
        if (number_cell && !text.isEmpty()) {
            const QPixmap &pic = index.column() == TContactForm::kColMobile ? m_mobile : m_phone;
            p->drawPixmap(r.left() + 2, r.top() + 1, 16, 16, pic);
            r.setLeft(r.left() + 28);
        } else {
            r.setLeft(r.left() + 2);
        }
        p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(s.height(), 20));
        return s;
    }

private:
    static QPixmap LoadSkinPixmap(const QString &name) { return QPixmap(QStringLiteral(":/img/") + name + ".png"); }

    QTreeWidget *m_list;
    QPixmap m_mobile, m_phone;
};

void ExpandAll(QTreeWidgetItem *node)
{
    node->setExpanded(true);
    for (int i = 0; i < node->childCount(); ++i)
        ExpandAll(node->child(i));
}

} // namespace

TContactForm::TContactForm(QWidget *owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TContactForm"));
    setWindowTitle(ZoxQText(EN_ZOX_TEXT::ContactsTitle));
    setMinimumSize(950, 590);
    resize(950, 590);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(pal);
    setAutoFillBackground(true);
    ExecDialog = [](QDialog &d) { return d.exec(); };
    ShowTip = [](const std::string &t) { ShowMsgTip(t); };

    m_pImageMap = new SkinImageMap(2, this);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    TitleBar title = MakeTitleBar(this, m_pImageMap, ZoxQText(EN_ZOX_TEXT::ContactsTitle), 10,
                                  [this] { OnImageCloseClick(); });
    c_pLabelTitle = title.caption;
    c_pLabelTitle->resize(300, 30);
    c_pImageClose = title.close;
    outer->addWidget(title.panel);
    title.panel->installEventFilter(this); // keeps the close picture at the right

    c_pRzSplitter = new QSplitter(Qt::Horizontal, this);
    c_pRzSplitter->setObjectName(QStringLiteral("c_pRzSplitter"));
    c_pRzSplitter->setHandleWidth(1);
    c_pRzSplitter->setChildrenCollapsible(false);
    outer->addWidget(c_pRzSplitter, 1);

    auto *left = new QWidget(c_pRzSplitter);
    left->setObjectName(QStringLiteral("c_pPanelLeft"));
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(5, 5, 5, 5);
    c_pTreeView = new QTreeWidget(left);
    c_pTreeView->setObjectName(QStringLiteral("c_pTreeView"));
    c_pTreeView->setHeaderHidden(true);
    c_pTreeView->setIndentation(24);
    c_pTreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c_pTreeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    QFont treeFont(QString::fromUtf8(zox::edition::kFormFaceArial));
    treeFont.setPixelSize(13);
    c_pTreeView->setFont(treeFont);
    c_pTreeView->setStyleSheet(QStringLiteral("QTreeView { background: #C0C0C0; color: black; border: none; }"
                                              "QTreeView::item { height: 24px; }"
                                              "QTreeView::item:selected { background: #316AC5; color: white; }"));
    leftLayout->addWidget(c_pTreeView);

    auto *right = new QWidget(c_pRzSplitter);
    auto *rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    c_pListView = new QTreeWidget(right);
    c_pListView->setObjectName(QStringLiteral("c_pListView"));
    c_pListView->setRootIsDecorated(false);
    c_pListView->setUniformRowHeights(true);
    c_pListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c_pListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    c_pListView->setSelectionMode(QAbstractItemView::SingleSelection);
    c_pListView->setItemDelegate(new ContactRowDelegate(c_pListView));
    QFont listFont(QString::fromUtf8(zox::edition::kFormFaceArial));
    listFont.setPixelSize(13);
    c_pListView->setFont(listFont);
    c_pListView->setStyleSheet(QStringLiteral("QTreeWidget { background: #E6E6E6; border: none; }"));
    c_pListView->header()->setSectionsClickable(false);
    c_pListView->header()->setStretchLastSection(false);
    // A styled header takes its face from its style sheet: the list's.
    c_pListView->header()->setStyleSheet(
        QStringLiteral("QHeaderView { font-family: \"%1\"; font-size: 13px; }"
                       "QHeaderView::section { background: #C0C0C0; color: black; border: none;"
                       " border-right: 1px solid #808080; padding-left: 5px; padding-bottom: 2px; }")
            .arg(listFont.family()));
    c_pListView->setContextMenuPolicy(Qt::CustomContextMenu);
    rightLayout->addWidget(c_pListView, 1);

    c_pPanelStatus = new TSkinPanel(right, QColor(0xC0, 0xC0, 0xC0));
    c_pPanelStatus->setObjectName(QStringLiteral("c_pPanelStatus"));
    c_pPanelStatus->setFixedHeight(10);
    rightLayout->addWidget(c_pPanelStatus);
    c_pImageResize = new QLabel(c_pPanelStatus);
    c_pImageResize->setObjectName(QStringLiteral("c_pImageResize"));
    c_pImageResize->setFixedSize(10, 10);
    c_pImageResize->setCursor(Qt::SizeFDiagCursor);
    LoadPngResource(c_pImageResize, QStringLiteral("IMG_RESIZE_GRIP"));
    c_pImageResize->installEventFilter(this);
    c_pPanelStatus->installEventFilter(this);

    c_pRzSplitter->addWidget(left);
    c_pRzSplitter->addWidget(right);
    c_pRzSplitter->setSizes({263, 950 - 263});
    c_pRzSplitter->setStretchFactor(0, 28);
    c_pRzSplitter->setStretchFactor(1, 72);

    c_pPopupMenuTree = new QMenu(this);
    c_pPopMenuAddNode = c_pPopupMenuTree->addAction(ZoxQText(EN_ZOX_TEXT::ContactsTreeAdd));
    c_pPopMenuAddSubNode = c_pPopupMenuTree->addAction(ZoxQText(EN_ZOX_TEXT::ContactsTreeAddSub));
    c_pPopMenuEditNode = c_pPopupMenuTree->addAction(ZoxQText(EN_ZOX_TEXT::ContactsTreeEdit));
    c_pPopMenuDeleteNode = c_pPopupMenuTree->addAction(ZoxQText(EN_ZOX_TEXT::ContactsTreeDelete));
    connect(c_pPopMenuAddNode, &QAction::triggered, this, [this] { OnPopMenuAddNodeClick(); });
    connect(c_pPopMenuAddSubNode, &QAction::triggered, this, [this] { OnPopMenuAddSubNodeClick(); });
    connect(c_pPopMenuEditNode, &QAction::triggered, this, [this] { OnPopMenuEditNodeClick(); });
    connect(c_pPopMenuDeleteNode, &QAction::triggered, this, [this] { OnPopMenuDeleteNodeClick(); });

    c_pPopupMenuList = new QMenu(this);
    UseFormFace(c_pPopupMenuTree);
    UseFormFace(c_pPopupMenuList);
    c_pPopMenuNewItem = c_pPopupMenuList->addAction(ZoxQText(EN_ZOX_TEXT::ContactsListNew));
    c_pPopMenuEditItem = c_pPopupMenuList->addAction(ZoxQText(EN_ZOX_TEXT::ContactsListEdit));
    c_pPopMenuDeleteItem = c_pPopupMenuList->addAction(ZoxQText(EN_ZOX_TEXT::ContactsListDelete));
    c_pPopMenuDeleteAll = c_pPopupMenuList->addAction(ZoxQText(EN_ZOX_TEXT::ContactsListClear));
    connect(c_pPopMenuNewItem, &QAction::triggered, this, [this] { OnPopMenuNewItemClick(); });
    connect(c_pPopMenuEditItem, &QAction::triggered, this, [this] { OnPopMenuEditItemClick(); });
    connect(c_pPopMenuDeleteItem, &QAction::triggered, this, [this] { OnPopMenuDeleteItemClick(); });
    connect(c_pPopMenuDeleteAll, &QAction::triggered, this, [this] { OnPopMenuDeleteAllClick(); });
    connect(c_pListView, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        OnPopupMenuListPopup();
        c_pPopupMenuList->popup(c_pListView->viewport()->mapToGlobal(pos));
    });

    connect(c_pTreeView, &QTreeWidget::currentItemChanged, this, [this] { OnTreeViewChange(); });
    c_pTreeView->viewport()->installEventFilter(this);
    c_pListView->viewport()->installEventFilter(this);

    InitListColumns();
}

void TContactForm::InitListColumns()
{
    c_pListView->setColumnCount(kColCount);
    c_pListView->setHeaderLabels({QString(), ZoxQText(EN_ZOX_TEXT::ContactsColName),
                                  ZoxQText(EN_ZOX_TEXT::ContactsColPosition), ZoxQText(EN_ZOX_TEXT::ContactsColMobile),
                                  ZoxQText(EN_ZOX_TEXT::ContactsColTelephone)});
    const int widths[kColCount] = {45, 120, 200, 150, 150};
    for (int c = 0; c < kColCount; ++c)
        c_pListView->setColumnWidth(c, widths[c]);
}

void TContactForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        OnFormShow();
    QWidget::showEvent(event);
}

void TContactForm::OnFormShow()
{
    c_pTreeView->clear();
    LoadUnitTree(0, nullptr);
}

void TContactForm::LoadUnitTree(int parentId, QTreeWidgetItem *parentNode)
{
    // Walks down from the top-level units; a unit met twice (a loop written into the
    // file by another program) is not followed again.
    std::set<int> seen;
    std::function<void(int, QTreeWidgetItem *)> load = [&](int id, QTreeWidgetItem *node) {
        std::vector<CONTACT_UNIT_ITEM> units;
        if (ContactsDbLoadChildUnits(id, &units) != 0)
            return;
        for (const auto &u : units) {
            if (!seen.insert(u.id).second)
                continue;
            auto *child = node ? new QTreeWidgetItem(node) : new QTreeWidgetItem(c_pTreeView);
            child->setText(0, QString::fromStdString(u.name));
            child->setData(0, kIdRole, u.id);
            load(u.id, child);
            if (!node)
                ExpandAll(child);
        }
    };
    load(parentId, parentNode);
}

void TContactForm::OnImageCloseClick() { hide(); }

int TContactForm::SelectedUnitId() const
{
    QTreeWidgetItem *node = c_pTreeView->currentItem();
    return node ? node->data(0, kIdRole).toInt() : 0;
}

QTreeWidgetItem *TContactForm::FindUnitNode(int id) const
{
    std::function<QTreeWidgetItem *(QTreeWidgetItem *)> find = [&](QTreeWidgetItem *n) -> QTreeWidgetItem * {
        if (n->data(0, kIdRole).toInt() == id)
            return n;
        for (int i = 0; i < n->childCount(); ++i)
            if (auto *hit = find(n->child(i)))
                return hit;
        return nullptr;
    };
    for (int i = 0; i < c_pTreeView->topLevelItemCount(); ++i)
        if (auto *hit = find(c_pTreeView->topLevelItem(i)))
            return hit;
    return nullptr;
}

void TContactForm::OnTreeViewChange() { RebuildList(); }

void TContactForm::RebuildList()
{
    c_pListView->clear();
    if (QTreeWidgetItem *node = c_pTreeView->currentItem())
        ListUnitContacts(node);
}

void TContactForm::ListUnitContacts(QTreeWidgetItem *node)
{
    if (!node)
        return;
    const int id = node->data(0, kIdRole).toInt();
    if (id > 0) {
        std::vector<CONTACT_USER_ITEM> contacts;
        ContactsDbLoadContacts(id, &contacts);
        for (const auto &c : contacts)
            AddListRow(c);
    }
    for (int i = 0; i < node->childCount(); ++i)
        ListUnitContacts(node->child(i));
}

void TContactForm::AddListRow(const CONTACT_USER_ITEM &c)
{
    const int number = c_pListView->topLevelItemCount() + 1;
    auto *row = new QTreeWidgetItem(c_pListView);
    row->setText(kColNumber, QStringLiteral("  ") + QString::number(number));
    row->setData(kColNumber, kIdRole, c.id);
    row->setData(kColNumber, kNumberRole, number);
    row->setText(kColName, QString::fromStdString(c.name));
    row->setText(kColPosition, QString::fromStdString(c.position));
    row->setText(kColMobile, QString::fromStdString(c.mobile));
    row->setText(kColPhone, QString::fromStdString(c.phone));
}

void TContactForm::OnTreeViewMouseDown(Qt::MouseButton button, QPoint pos)
{
    if (button != Qt::RightButton)
        return;
    QTreeWidgetItem *node = c_pTreeView->itemAt(pos);
    if (node)
        c_pTreeView->setCurrentItem(node);
    c_pPopMenuAddNode->setVisible(!node);
    c_pPopMenuAddSubNode->setVisible(node != nullptr);
    c_pPopMenuEditNode->setVisible(node != nullptr);
    c_pPopMenuDeleteNode->setVisible(node != nullptr);
    c_pPopupMenuTree->popup(c_pTreeView->viewport()->mapToGlobal(pos));
}

void TContactForm::OnPopupMenuListPopup()
{
    const bool row = c_pListView->currentItem() != nullptr && c_pListView->currentItem()->isSelected();
    c_pPopMenuEditItem->setVisible(row);
    c_pPopMenuDeleteItem->setVisible(row);
    c_pPopMenuNewItem->setVisible(!row);
    c_pPopMenuDeleteAll->setVisible(!row);
}

bool TContactForm::AskDelete(const char *question)
{
    TMsgTipForm ask(this, question);
    return ExecDialog(ask) == 1;
}

void TContactForm::OnPopMenuAddNodeClick()
{
    TContactUnitForm dlg(this, 0, true, std::string(), 0);
    if (ExecDialog(dlg) != 1)
        return;
    CONTACT_UNIT_ITEM item, added;
    dlg.GetUnitItem(&item);
    if (ContactsDbInsertUnit(&item, &added) < 1) {
        ShowTip(ZoxText(EN_ZOX_TEXT::ContactsUnitDuplicate));
        return;
    }
    auto *node = new QTreeWidgetItem(c_pTreeView);
    node->setText(0, QString::fromStdString(item.name));
    node->setData(0, kIdRole, added.id);
}

void TContactForm::OnPopMenuAddSubNodeClick()
{
    QTreeWidgetItem *parent = c_pTreeView->currentItem();
    if (!parent)
        return;
    TContactUnitForm dlg(this, 0, true, parent->text(0).toStdString(), parent->data(0, kIdRole).toInt());
    if (ExecDialog(dlg) != 1)
        return;
    CONTACT_UNIT_ITEM item, added;
    dlg.GetUnitItem(&item);
    if (ContactsDbInsertUnit(&item, &added) <= 0) {
        ShowTip(ZoxText(EN_ZOX_TEXT::ContactsUnitDuplicate));
        return;
    }
    auto *node = new QTreeWidgetItem(parent);
    node->setText(0, QString::fromStdString(item.name));
    node->setData(0, kIdRole, added.id);
}

void TContactForm::OnPopMenuEditNodeClick()
{
    QTreeWidgetItem *node = c_pTreeView->currentItem();
    if (!node)
        return;
    const int id = node->data(0, kIdRole).toInt();
    CONTACT_UNIT_ITEM unit;
    unit.id = -1;
    if (ContactsDbGetUnit(id, &unit) != 0 || unit.id != id)
        return;
    TContactUnitForm dlg(this, unit.parent, false, unit.name, unit.id);
    if (ExecDialog(dlg) != 1)
        return;
    CONTACT_UNIT_ITEM changed;
    dlg.GetUnitItem(&changed);
    if (changed.parent == unit.parent && changed.name == unit.name)
        return;
    if (ContactsDbUpdateUnit(&changed) <= 0)
        return;
    node->setText(0, QString::fromStdString(changed.name));
    if (changed.parent == unit.parent)
        return;
    QTreeWidgetItem *newParent = changed.parent > 0 ? FindUnitNode(changed.parent) : nullptr;
    if (changed.parent > 0 && !newParent) {
        OnFormShow(); // the new superior is not in the tree: show the book as stored
        return;
    }
    const bool wasCurrent = c_pTreeView->currentItem() == node;
    QTreeWidgetItem *oldParent = node->parent();
    QTreeWidgetItem *taken = oldParent ? oldParent->takeChild(oldParent->indexOfChild(node))
                                       : c_pTreeView->takeTopLevelItem(c_pTreeView->indexOfTopLevelItem(node));
    if (newParent)
        newParent->addChild(taken);
    else
        c_pTreeView->addTopLevelItem(taken);
    ExpandAll(taken);
    if (wasCurrent)
        c_pTreeView->setCurrentItem(taken);
}

void TContactForm::OnPopMenuDeleteNodeClick()
{
    QTreeWidgetItem *node = c_pTreeView->currentItem();
    if (!node || !AskDelete(ZoxText(EN_ZOX_TEXT::ContactsDeleteQuestion)))
        return;
    if (ContactsDbDeleteUnit(node->data(0, kIdRole).toInt()) != 0)
        return;
    delete node;
}

void TContactForm::OnPopMenuNewItemClick()
{
    const int unitId = SelectedUnitId();
    if (!c_pTreeView->currentItem())
        return;
    TContactUserForm dlg(this, nullptr, unitId, true);
    if (ExecDialog(dlg) != 1)
        return;
    CONTACT_USER_ITEM c;
    dlg.GetContact(&c);
    if (ContactsDbInsertContact(&c) < 1) {
        ShowTip(ZoxText(EN_ZOX_TEXT::ContactsUserDuplicate));
        return;
    }
    RebuildList();
}

void TContactForm::OnPopMenuEditItemClick()
{
    QTreeWidgetItem *row = c_pListView->currentItem();
    if (!row)
        return;
    const int id = row->data(kColNumber, kIdRole).toInt();
    CONTACT_USER_ITEM c;
    c.id = -1;
    if (ContactsDbGetContact(id, &c) != 0 || c.id != id)
        return;
    TContactUserForm dlg(this, &c, c.unit, false);
    if (ExecDialog(dlg) != 1)
        return;
    CONTACT_USER_ITEM changed;
    dlg.GetContact(&changed);
    if (ContactsDbUpdateContact(&changed) < 1) {
        ShowTip(ZoxText(EN_ZOX_TEXT::ContactsUserDuplicate));
        return;
    }
    RebuildList();
}

void TContactForm::OnPopMenuDeleteItemClick()
{
    QTreeWidgetItem *row = c_pListView->currentItem();
    if (!row || !AskDelete(ZoxText(EN_ZOX_TEXT::ContactsDeleteQuestion)))
        return;
    if (ContactsDbDeleteContact(row->data(kColNumber, kIdRole).toInt()) != 0)
        return;
    const int index = c_pListView->indexOfTopLevelItem(row);
    const int count = c_pListView->topLevelItemCount();
    QTreeWidgetItem *next = nullptr;
    if (index + 1 < count)
        next = c_pListView->topLevelItem(index + 1);
    else if (index > 0)
        next = c_pListView->topLevelItem(index - 1);
    delete row;
    if (next)
        c_pListView->setCurrentItem(next);
}

void TContactForm::OnPopMenuDeleteAllClick()
{
    if (!c_pTreeView->currentItem() || !AskDelete(ZoxText(EN_ZOX_TEXT::ContactsDeleteAllQuestion)))
        return;
    if (ContactsDbDeleteUnitContacts(SelectedUnitId()) != 0)
        return;
    RebuildList();
}

void TContactForm::OnListViewMouseDown(Qt::MouseButton button, QPoint pos)
{
    if (button != Qt::LeftButton)
        return;
    // The row and the column under the pointer.
    QTreeWidgetItem *row = c_pListView->itemAt(pos);
    if (!row)
        return;
    const int column = c_pListView->header()->logicalIndexAt(pos.x());
    if (column != kColMobile && column != kColPhone)
        return;
    const std::string number = row->text(column).toStdString();
    if (!number.empty())
        CallNumber(number);
}

void TContactForm::CallNumber(const std::string &number)
{
    std::string digits;
    for (char ch : number)
        if (ch != '-')
            digits += ch;
    if (CallNumberHandler && !digits.empty())
        CallNumberHandler(this, digits);
}

void TContactForm::PlaceResizeGrip()
{
    c_pImageResize->move(c_pPanelStatus->width() - c_pImageResize->width(),
                         c_pPanelStatus->height() - c_pImageResize->height());
}

void TContactForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange)
        c_pImageResize->setVisible(!(windowState() & Qt::WindowMaximized));
    QWidget::changeEvent(event);
}

bool TContactForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == c_pTreeView->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        OnTreeViewMouseDown(me->button(), me->position().toPoint());
        return me->button() == Qt::RightButton;
    }
    if (watched == c_pListView->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        // The row under the pointer becomes the selected row before it is called.
        if (QTreeWidgetItem *row = c_pListView->itemAt(me->position().toPoint()))
            c_pListView->setCurrentItem(row);
        OnListViewMouseDown(me->button(), me->position().toPoint());
        return false;
    }
    if (watched == c_pPanelStatus && event->type() == QEvent::Resize) {
        PlaceResizeGrip();
        return false;
    }
    if (watched == c_pImageResize && event->type() == QEvent::MouseButtonPress) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton && windowHandle())
            windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        return true;
    }
    if (watched == c_pImageClose->parentWidget() && event->type() == QEvent::Resize) {
        c_pImageClose->move(c_pImageClose->parentWidget()->width() - c_pImageClose->width(), 0);
        return false;
    }
    return QWidget::eventFilter(watched, event);
}
