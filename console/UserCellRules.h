#pragma once
// What a user cell shows for its target's state: which of the presence, call and video
// icons are visible, with which picture and hint, and where they sit on the tile. Also
// the caption and hint rules of the user and group cells. No windows here: the cell
// controls apply the results.

#include <array>
#include <cstdint>
#include <string>

namespace zox::skin {

// Tile geometry.
inline constexpr int kCellWidth = 150;
inline constexpr int kCellHeight = 60;
inline constexpr int kCellPictureWidth = 50;
inline constexpr int kCellIconWidth = 24;
inline constexpr int kCellIconHeight = 21;
inline constexpr int kCellIconBand = 24; // the strip at the bottom that holds the icons
inline constexpr int kCellIconGap = 2;
inline constexpr int kCellCaptionChars = 12;

// Register states of a user row.
inline constexpr std::uint8_t kRegOffline = 0;
inline constexpr std::uint8_t kRegDisabled = 3;

// Video states of a user row.
inline constexpr std::uint32_t kVideoUploading = 0x10000001;
inline constexpr std::uint32_t kVideoDownloading = 0x10000002;
inline constexpr std::uint32_t kVideoBothWays = 0x10000003;

// Values of the presence setter (SetRegisterState); anything else hides the icon.
inline constexpr int kPresenceOnline = 0;
inline constexpr int kPresenceOffline = 1;
inline constexpr int kPresenceDisabled = 2;
inline constexpr int kPresenceHidden = -1;

// Call icon states (SetAudioTalkState).
inline constexpr int kCallIconNone = 0;
inline constexpr int kCallIconOutgoing = 1;
inline constexpr int kCallIconIncoming = 2;
inline constexpr int kCallIconBusy = 3;
inline constexpr int kCallIconPtt = 4;

// One icon: shown or hidden, its hint, its picture (empty: none).
struct CellIcon {
    bool visible = false;
    std::string hint;
    std::string picture;
    bool operator==(const CellIcon &) const = default;
};

CellIcon PresenceIconOf(int presence);
CellIcon CallIconOf(int callIconState);
CellIcon VideoIconOf(int videoIconState);

// The call icon state of a call-state word (first matching rule): 0 none; byte 0 or
// byte 2 = 1 outgoing; = 2 incoming; = 3 in call; byte 1 = 1 PTT; anything else none.
int CallIconStateOf(std::uint32_t callState);
// The video icon state of a video-state word: 1 upload, 2 download, 3 both, else 0.
int VideoIconStateOf(std::uint32_t vpState);

// The three setter values a cell uses for (register, call, video) state.
struct UserCellIcons {
    int presence = kPresenceHidden;
    int call = kCallIconNone;
    int video = 0;
    bool operator==(const UserCellIcons &) const = default;
};
UserCellIcons UserCellIconsOf(std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState);

// Placement of the name label and of the visible icons (presence, call, video order).
struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Rect &) const = default;
};
struct UserCellLayout {
    Rect nameLabel;
    std::array<Rect, 3> icons{}; // only meaningful for visible icons
};
UserCellLayout LayoutUserCell(int tileWidth, int tileHeight, const std::array<bool, 3> &visible);

// Caption of a user cell: the shortened name, or the shortened number when the name is
// empty. Hint: "name (number)" when the name is non-empty and differs from the number,
// else empty (no hint shown).
std::string UserCellCaption(const std::string &name, const std::string &number);
std::string UserCellHint(const std::string &name, const std::string &number);
// Caption of a group cell: the shortened name.
std::string GroupCellCaption(const std::string &name);

// The two-line tip of a dispatch user that the user platform knows.
std::string MakeUserTip(const std::string &realName, const std::string &number, const std::string &orgName,
                        const std::string &policeNum);

} // namespace zox::skin
