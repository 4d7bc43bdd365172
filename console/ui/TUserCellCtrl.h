#pragma once
// A user tile of the main window's user list (a dispatch user, a vehicle user or a
// camera): the user picture, the (shortened) name and up to three state icons
// (presence, call, video) that follow the target's state.
//
// The inputs are plain values of the user row (type, name, number, register state,
// call state, video state); the list feeds them from its rows.

#include "console/ui/CellPanel.h"

#include <cstdint>
#include <functional>
#include <string>

class QLabel;

class TUserCellCtrl : public CellPanel {
    Q_OBJECT
public:
    using SelectHandler = std::function<void(TUserCellCtrl *tile, bool byUser)>;
    using UsableCheckHandler = std::function<void(TUserCellCtrl *tile)>;

    TUserCellCtrl(QWidget *owner, int userType, const std::string &name, const std::string &number,
                  std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState);

    // Makes the tile show another user (a list reuses its tiles as it scrolls): type,
    // texts and hints as a new tile would have them, then the state triple drawn.
    void BindUser(int userType, const std::string &name, const std::string &number, std::uint8_t regState,
                  std::uint32_t callState, std::uint32_t vpState);

    // Redraws the icons for a new state triple; nothing when it equals the last one.
    void UpdateUserState(std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState);

    // The three icon setters: presence 0 online, 1 offline, 2 disabled, else hidden;
    // call 0 none, 1 outgoing, 2 incoming, 3 in call, 4 PTT; video 0 none, 1 upload,
    // 2 download, 3 both ways.
    void SetRegisterState(int value);
    void SetAudioTalkState(int value);
    void SetVideoPushState(int value);
    void LayoutControls();

    const std::string &GetUserNumber() const { return number_; }
    const std::string &GetUserName() const { return name_; }
    int GetUserType() const { return userType_; }
    // A non-empty tip replaces the name label's hint (shown only where the hint is).
    void SetUserTip(const std::string &tip);

    // The tile's own handlers. A null sender is the list clicking the tile; a click
    // on a selected tile does nothing.
    void OnClickHandler(QObject *sender) override;
    void OnDblClickHandler(QObject *sender);

    void SetSelectHandler(SelectHandler handler) { onSelect_ = std::move(handler); }
    void SetUsableCheckHandler(UsableCheckHandler handler) { onUsableCheck_ = std::move(handler); }

    QLabel *Picture() const { return picture_; }
    QLabel *NameLabel() const { return nameLabel_; }
    QLabel *PresenceIcon() const { return presenceIcon_; }
    QLabel *CallIcon() const { return callIcon_; }
    QLabel *VideoIcon() const { return videoIcon_; }
    bool IsNameHintShown() const { return nameHintShown_; }
    // The pictures the icons show now (empty when none).
    const std::string &PresencePicture() const { return presencePicture_; }
    const std::string &CallPicture() const { return callPicture_; }
    const std::string &VideoPicture() const { return videoPicture_; }

protected:
    bool event(QEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void DrawState();

    QLabel *picture_;
    QLabel *nameLabel_;
    QLabel *presenceIcon_;
    QLabel *callIcon_;
    QLabel *videoIcon_;
    std::string name_;
    std::string number_;
    int userType_;
    std::uint8_t lastRegState_ = 255;
    std::uint32_t lastCallState_ = 0;
    std::uint32_t lastVpState_ = 0;
    bool nameHintShown_ = false;
    bool constructed_ = false;
    std::string presencePicture_, callPicture_, videoPicture_;
    SelectHandler onSelect_;
    UsableCheckHandler onUsableCheck_;
};
