#pragma once
// The dialog that picks the users a video upload is pushed to: a group combo box
// ("All user" and the server groups), the available users of the chosen group, and the
// chosen list of at most 16, filled with Add >> and emptied with << Remove. Modal result
// 1 OK, 2 Cancel or close; Esc does nothing.
#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QListWidget;
class SkinImageMap;
class IMainListCache;

class TVpSelectUserForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxSelected = 16;
    static constexpr int kAllUsers = 0xFFFF;

    // cache: the server-data cache the lists read (null: no groups and no users).
    TVpSelectUserForm(QWidget *owner, IMainListCache *cache);

    void ExcludeUser(const std::string &number);
    bool IsExcludedUser(const std::string &number) const;
    // The numbers of the chosen list, in list order.
    void GetSelectedUsers(std::vector<std::string> &numbers) const;

    void LoadGroups();
    void LoadGroupUsers(int groupId);
    void UpdateControls();
    void SetAddEnabled(bool on);
    void SetRemoveEnabled(bool on);
    bool IsAddEnabled() const;
    bool IsRemoveEnabled() const;

    void OnFormShow();
    void OnGroupChange();
    void OnListBoxGroupUserClick() { UpdateControls(); }
    void OnListBoxSelectUserClick() { UpdateControls(); }
    void OnAddClick();
    void OnRemoveClick();
    void OnImageOkClick() { done(1); }
    void OnImageCancelClick() { done(2); }
    void OnImageCloseClick() { done(2); }

    QComboBox *c_pComboBoxGroup = nullptr;
    QListWidget *c_pListBoxGroupUser = nullptr;
    QListWidget *c_pListBoxSelectUser = nullptr;
    QLabel *c_pLabelUserSelected = nullptr;
    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pImageCancel = nullptr;
    QLabel *c_pImageAdd = nullptr;
    QLabel *c_pImageRemove = nullptr;
    QLabel *c_pLabelOk = nullptr;
    QLabel *c_pLabelCancel = nullptr;
    QLabel *c_pLabelAdd = nullptr;
    QLabel *c_pLabelRemove = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override {}

private:
    void InitImageMap();
    void InitControls();

    IMainListCache *m_cache;
    SkinImageMap *m_pImageMap = nullptr;
    std::vector<std::string> m_excluded;
    std::vector<int> m_groupIds;
};
