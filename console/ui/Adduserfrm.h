#pragma once
// "Add User": a modal tree of "All user" and the server groups, each with the users
// that are available now; the dispatcher picks exactly one user. OK ends with 1 only
// while a user node is selected, Cancel and the close picture with 2. The number and
// the name of each user node are kept with the node, never read back from its text.
#include "console/UserPickers.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class SkinImageMap;

class TAddUserForm : public QDialog {
    Q_OBJECT
public:
    // cache: where the tree is read from (null: the console's server-data cache).
    explicit TAddUserForm(QWidget *owner, IDispatchCacheReads *cache = nullptr);

    int ShowModal() { return exec(); }
    // 0 with the selected user's number and name (the name empty when the user has
    // none or it equals the number); -1 with no user selected, both left unchanged.
    int GetSelectedUser(std::string &number, std::string &name) const;

    void OnImageOkClick();
    void OnImageCancelClick();
    void OnImageCloseClick();

    // The message box (tests replace it).
    std::function<void(const std::string &)> ShowTip;

    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QTreeWidget *c_pTreeViewUser = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pLabelOK = nullptr;
    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pLabelCancel = nullptr;
    SkinImageMap *ImageMap() const { return m_pImageMap; }

    // Item data of the tree: a node's level (0 group, 1 user), a user's number and name.
    static constexpr int kRoleLevel = Qt::UserRole;
    static constexpr int kRoleNumber = Qt::UserRole + 1;
    static constexpr int kRoleName = Qt::UserRole + 2;

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FillTree(IDispatchCacheReads *cache);
    QTreeWidgetItem *SelectedNode() const;
    void OnTreeSelectionChanged();

    SkinImageMap *m_pImageMap = nullptr;
};
