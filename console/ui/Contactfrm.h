#pragma once
// The contacts book: a resizable borderless window with the unit tree on the left and
// the contacts of the selected unit (and of the units below it) on the right. Popup
// menus add, edit and delete units and contacts; a click on a contact's mobile or
// telephone number hands that number to the call handler. One instance for the whole
// program; its close picture only hides it.
#include "console/ContactsDb.h"

#include <QWidget>

#include <functional>
#include <string>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;
class SkinImageMap;
class TSkinPanel;

class TContactForm : public QWidget {
    Q_OBJECT
public:
    explicit TContactForm(QWidget *owner);

    // List columns.
    enum { kColNumber = 0, kColName, kColPosition, kColMobile, kColPhone, kColCount };

    void InitListColumns();
    // Rebuilds the tree from the store, every branch expanded.
    void LoadUnitTree(int parentId, QTreeWidgetItem *parentNode);
    // Appends the contacts of the node and of every node below it, depth first.
    void ListUnitContacts(QTreeWidgetItem *node);
    // Removes the dashes and hands the number to the call handler.
    void CallNumber(const std::string &number);

    // Published handlers.
    void OnFormShow();
    void OnImageCloseClick();
    void OnTreeViewChange();
    void OnTreeViewMouseDown(Qt::MouseButton button, QPoint pos);
    void OnListViewMouseDown(Qt::MouseButton button, QPoint pos);
    void OnPopupMenuListPopup();
    void OnPopMenuAddNodeClick();
    void OnPopMenuAddSubNodeClick();
    void OnPopMenuEditNodeClick();
    void OnPopMenuDeleteNodeClick();
    void OnPopMenuNewItemClick();
    void OnPopMenuEditItemClick();
    void OnPopMenuDeleteItemClick();
    void OnPopMenuDeleteAllClick();

    // Who dials a number of the book (set by the main window); the owner is this
    // window, for the questions the call side asks.
    std::function<void(QWidget *owner, const std::string &number)> CallNumberHandler;
    // Shows a modal dialog and returns its result; the message box. Tests replace both.
    std::function<int(QDialog &)> ExecDialog;
    std::function<void(const std::string &)> ShowTip;

    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QSplitter *c_pRzSplitter = nullptr;
    QTreeWidget *c_pTreeView = nullptr;
    QTreeWidget *c_pListView = nullptr;
    TSkinPanel *c_pPanelStatus = nullptr;
    QLabel *c_pImageResize = nullptr;
    QMenu *c_pPopupMenuTree = nullptr;
    QAction *c_pPopMenuAddNode = nullptr;
    QAction *c_pPopMenuAddSubNode = nullptr;
    QAction *c_pPopMenuEditNode = nullptr;
    QAction *c_pPopMenuDeleteNode = nullptr;
    QMenu *c_pPopupMenuList = nullptr;
    QAction *c_pPopMenuNewItem = nullptr;
    QAction *c_pPopMenuEditItem = nullptr;
    QAction *c_pPopMenuDeleteItem = nullptr;
    QAction *c_pPopMenuDeleteAll = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void RebuildList();
    void AddListRow(const CONTACT_USER_ITEM &contact);
    bool AskDelete(const char *question);
    int SelectedUnitId() const;
    QTreeWidgetItem *FindUnitNode(int id) const;
    void PlaceResizeGrip();

    SkinImageMap *m_pImageMap = nullptr;
};
