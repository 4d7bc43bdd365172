#include "console/UserCellRules.h"

#include "core/Edition.h"
#include "core/NumberUtils.h"

namespace zox::skin {
namespace {

struct Texts {
    const char *online, *offline, *disabled;
    const char *outgoing, *incoming, *inCall, *ptt;
    const char *upload, *download, *both;
};

constexpr Texts kEnglish = {"Online",        "Offline",       "Disabled", "Outgoing Call", "Incoming Call",
                            "In Call",       "In PTT Call",   "Video Upload", "Video Download",
                            "Two-way Video"};
constexpr Texts kChineseTexts = {"在线", "离线", "禁用", "呼出", "来电", "通话", "对讲",
                                 "视频上传", "视频下载", "视频上传下载"};

const Texts &T()
{
    return zox::edition::kChinese ? kChineseTexts : kEnglish;
}

CellIcon Shown(const char *hint, const char *picture)
{
    return CellIcon{true, hint, picture};
}

} // namespace

CellIcon PresenceIconOf(int presence)
{
    switch (presence) {
    case kPresenceOnline:
        return Shown(T().online, "IMG_PRESENCE_ONLINE");
    case kPresenceOffline:
        return Shown(T().offline, "IMG_PRESENCE_INVISIBLE");
    case kPresenceDisabled:
        return Shown(T().disabled, "IMG_PRESENCE_INVISIBLE");
    default:
        return CellIcon{};
    }
}

CellIcon CallIconOf(int callIconState)
{
    switch (callIconState) {
    case kCallIconOutgoing:
        return Shown(T().outgoing, "IMG_PHONE_CALL_OUTGOING");
    case kCallIconIncoming:
        return Shown(T().incoming, "IMG_PHONE_CALL_INCOMING");
    case kCallIconBusy:
        return Shown(T().inCall, "IMG_PHONE_CALL_BUSY");
    case kCallIconPtt:
        return Shown(T().ptt, "IMG_AUDIO_DISPATCH");
    default:
        return CellIcon{};
    }
}

CellIcon VideoIconOf(int videoIconState)
{
    switch (videoIconState) {
    case 1:
        return Shown(T().upload, "IMG_VIDEO_UPLOAD");
    case 2:
        return Shown(T().download, "IMG_VIDEO_DOWNLOAD");
    case 3:
        return Shown(T().both, "IMG_VIDEO_BOTHTRANS");
    default:
        return CellIcon{};
    }
}

int CallIconStateOf(std::uint32_t callState)
{
    if (callState == 0)
        return kCallIconNone;
    const unsigned voice = callState & 0xFF;
    const unsigned ptt = (callState >> 8) & 0xFF;
    const unsigned video = (callState >> 16) & 0xFF;
    for (unsigned s = 1; s <= 3; ++s) {
        if (voice == s || video == s)
            return static_cast<int>(s);
    }
    if (ptt == 1)
        return kCallIconPtt;
    return kCallIconNone;
}

int VideoIconStateOf(std::uint32_t vpState)
{
    switch (vpState) {
    case kVideoUploading:
        return 1;
    case kVideoDownloading:
        return 2;
    case kVideoBothWays:
        return 3;
    default:
        return 0;
    }
}

UserCellIcons UserCellIconsOf(std::uint8_t regState, std::uint32_t callState, std::uint32_t vpState)
{
    UserCellIcons out;
    if (regState == kRegOffline) {
        out.presence = kPresenceOffline;
    } else if (regState == kRegDisabled) {
        out.presence = kPresenceDisabled;
    } else {
        out.video = VideoIconStateOf(vpState);
        out.call = CallIconStateOf(callState);
        out.presence = (out.video == 0 && out.call == kCallIconNone) ? kPresenceOnline : kPresenceHidden;
    }
    return out;
}

UserCellLayout LayoutUserCell(int tileWidth, int tileHeight, const std::array<bool, 3> &visible)
{
    UserCellLayout out;
    out.nameLabel = Rect{kCellPictureWidth, 0, tileWidth - kCellPictureWidth, tileHeight - kCellIconBand};
    int total = 0;
    int count = 0;
    for (bool v : visible) {
        if (!v)
            continue;
        total += kCellIconWidth;
        ++count;
    }
    if (count == 0)
        return out;
    total += kCellIconGap * (count - 1);
    int x = kCellPictureWidth + (out.nameLabel.width - total) / 2;
    for (std::size_t i = 0; i < visible.size(); ++i) {
        if (!visible[i])
            continue;
        out.icons[i] = Rect{x, tileHeight - kCellIconBand, kCellIconWidth, kCellIconHeight};
        x += kCellIconWidth + kCellIconGap;
    }
    return out;
}

std::string UserCellCaption(const std::string &name, const std::string &number)
{
    return EllipsizeText(name.empty() ? number : name, kCellCaptionChars);
}

std::string UserCellHint(const std::string &name, const std::string &number)
{
    if (name.empty() || name == number)
        return std::string();
    return name + " (" + number + ")";
}

std::string GroupCellCaption(const std::string &name)
{
    return EllipsizeText(name, kCellCaptionChars);
}

std::string MakeUserTip(const std::string &realName, const std::string &number, const std::string &orgName,
                        const std::string &policeNum)
{
    return realName + " (" + number + ")\r\n" + orgName + " (" + policeNum + ")";
}

} // namespace zox::skin
