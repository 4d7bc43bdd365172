#pragma once
// Everything that differs between the English and the Chinese-language build lives
// here, one constant per item. The Chinese-language profile is selected at configure
// time (ZOX_EDITION=CN). The texts that the user sees are in core/EditionText.h.

namespace zox::edition {

#ifdef ZOX_EDITION_CN
inline constexpr bool kChinese = true;
inline constexpr const char *kVersionText = "V2.00.200213.CN";
inline constexpr const char *kLanguageText = "简体中文";
// Default of General/Title: the caption of the main window when none is configured.
inline constexpr const char *kProductTitle = "ZoxClient 调度台";
#else
inline constexpr bool kChinese = false;
// Written into the first line of the log and shown by the settings dialog.
inline constexpr const char *kVersionText = "V2.00.201208.EN";
inline constexpr const char *kLanguageText = "English";
// Default of General/Title: the caption of the main window when none is configured.
inline constexpr const char *kProductTitle = "ZoxClient Dispatch Console";
#endif

// The face of the forms' visible texts ("Tahoma" and "Arial" in the English build).
inline constexpr const char *kFormFace = kChinese ? "微软雅黑" : "Tahoma";
inline constexpr const char *kFormFaceArial = kChinese ? "微软雅黑" : "Arial";

// Title labels of the settings dialog, the camera forms and the two video user
// pickers ("宋体" in the Chinese-language build; the other title labels use kFormFace).
inline constexpr const char *kFormTitleFaceSong = kChinese ? "宋体" : "Tahoma";
// The group drop-down of the video-push user picker.
inline constexpr const char *kVpSelectGroupFace = kChinese ? "Tahoma" : "Arial";
// The user picker for a call: bold title and the pixel height of its Ok and Cancel labels.
inline constexpr bool kAddUserTitleBold = kChinese;
inline constexpr int kAddUserButtonPixels = kChinese ? 12 : 11;

// Quick-action buttons and their pitch in the operate bar (button plus gap).
inline constexpr int kQuickActionWidth = kChinese ? 72 : 90;
inline constexpr int kQuickActionPitch = kChinese ? 82 : 100;
inline constexpr const char *kQuickActionFace = kChinese ? "微软雅黑" : "Arial";
inline constexpr int kQuickActionPoints = kChinese ? 9 : 10;

// Video tile: the face of its title and tools (empty: the tile's inherited face),
// their point size, and the widths of the tools Maximize, Stop, Forward, Stretch,
// Record and Sound.
inline constexpr const char *kTileFace = kChinese ? "微软雅黑" : "";
inline constexpr int kTilePoints = kChinese ? 9 : 10;
inline constexpr int kTileToolWidths[6] = {60, kChinese ? 60 : 75, kChinese ? 60 : 80,
                                           kChinese ? 60 : 80, kChinese ? 60 : 75, 60};

// Group and user cells: the face and point size of the name (empty: inherited).
inline constexpr const char *kCellFace = kChinese ? "微软雅黑" : "";
inline constexpr int kCellPoints = 9;

// Video-push alert: the face, and the point sizes of its title (bold), user label and
// Decline and Answer captions (bold).
inline constexpr const char *kVpAlertFace = kChinese ? "微软雅黑" : "Tahoma";
inline constexpr int kVpAlertTitlePoints = kChinese ? 10 : 11;
inline constexpr int kVpAlertUserPoints = kChinese ? 9 : 10;
inline constexpr int kVpAlertButtonPoints = kChinese ? 9 : 11;

// Default of Security/LoginPassword: a one-character text.
inline constexpr const char *kDefaultLoginPassword = "1";

// The Chinese-language build has no user-platform link and reads no Extend/UapEnabled.
inline constexpr bool kHasUapLink = !kChinese;

// Login sequence: the re-send period, and which requests the re-send repeats (the
// Chinese-language build repeats only the register request and the heartbeat).
inline constexpr int kLoginRetryMs = kChinese ? 3000 : 5000;
inline constexpr bool kResendEveryStep = !kChinese;

// HTTP client of the platform links: the proxy of the environment (http_proxy and
// friends) in the Chinese-language build, none in the English build; the User-Agent
// header; the longest host and path; and whether https addresses can be served (the
// Chinese-language build sends no encrypted requests and refuses them).
inline constexpr bool kHttpUseEnvironmentProxy = kChinese;
inline constexpr const char *kHttpUserAgent = kChinese ? "zox-wxclient" : "zox-client";
inline constexpr unsigned kHttpMaxHostPath = kChinese ? 2083 : 260;
inline constexpr bool kHttpsSupported = !kChinese;

} // namespace zox::edition
