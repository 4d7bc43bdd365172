#pragma once
// A group tile of the main window's group list: the group picture and the group's
// (shortened) name. A click informs the owner every time and selects the tile.

#include "console/ui/CellPanel.h"

#include <functional>
#include <string>

class QLabel;

class TGroupCellCtrl : public CellPanel {
    Q_OBJECT
public:
    // Called on every click: byUser is true for a real mouse click, false when the
    // list clicked the tile itself.
    using SelectHandler = std::function<void(TGroupCellCtrl *tile, bool byUser)>;

    TGroupCellCtrl(QWidget *owner, int groupType, int groupId, const std::string &name, const std::string &number);

    int GetGroupType() const { return groupType_; }
    int GetGroupId() const { return groupId_; }
    const std::string &GetGroupName() const { return name_; }
    const std::string &GetGroupNumber() const { return number_; }

    // Informs the owner, then selects the tile.
    void OnClickHandler(QObject *sender) override;

    void SetSelectHandler(SelectHandler handler) { onSelect_ = std::move(handler); }

    QLabel *Picture() const { return picture_; }
    QLabel *Label() const { return label_; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QLabel *picture_;
    QLabel *label_;
    std::string name_;
    std::string number_;
    int groupType_;
    int groupId_;
    SelectHandler onSelect_;
};
