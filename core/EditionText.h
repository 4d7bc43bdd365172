#pragma once
// The texts that the user sees, one row per text with its English and its Chinese
// wording; a build shows the column of its language (core/Edition.h). Windows and
// sessions read a text by its key. A new window adds its keys here and a row for each
// in core/EditionText.cpp.
#include <QString>

enum class EN_ZOX_TEXT : int {
    // Login window, splash and the login sequence.
    LoginCaption,
    LoginAccount,
    LoginPassword,
    LoginButton,
    LoginCancel,
    ErrorCaption,
    StartInitError,
    PlatformInitError,
    LoginInitError,
    LoggingIn,
    VerifyingAccount,
    LogonFailed,
    AccountError,
    LogonSuccessful,
    LoadingLines,
    LoadingGroups,
    LoadingUsers,
    SyncUapUsers,
    SyncCmsDevices,
    LoadGroupsFailed,
    LoadUsersFailed,
    TimeoutAuth,
    TimeoutLines,
    TimeoutGroups,
    TimeoutUsers,
    TimeoutUap,
    TimeoutCms,
    ServerReset,
    SplashConnecting,
    SplashCancelCaption,
    SplashCancelQuestion,
    // Small dialogs.
    Ok,
    Cancel,
    CloseHint,
    ExitHint,
    MsgTipTitle,
    ConfirmTitle,
    ConfirmDeleteSample,
    SelectFolder,
    // Main window.
    MinimizeHint,
    MaximizeHint,
    RestoreHint,
    SettingHint,
    FoldDownHint,
    ExpandUpHint,
    SwapWindowHint,
    HideLeftHint,
    ShowLeftHint,
    FullScreenHint,
    ExitFullScreenHint,
    FullScreenButtonHint,
    RtspInitFailed,
    VoiceCalling,
    VideoCalling,
    PttCalling,
    // Status texts of the call operations and call starters (the status panes).
    StatusGroupPrefix,
    StatusUserPrefix,
    StatusUserPrefixWide,
    StatusAdHocGroup,
    StatusInterruptCall,
    StatusForcedRelease,
    StatusMonitoring,
    StatusApplySpeak,
    StatusReleaseSpeak,
    // User pickers.
    AddUserTitle,
    AddUserPrompt,
    ForwardVideoTitle,
    AllUserGroup,
    CameraGroup,
    // Split-layout pictures of the video wall, 1, 2, 3, 4, 6, 8, 9, 13 and 16 tiles.
    SplitOne,
    SplitTwo,
    SplitThree,
    SplitFour,
    SplitSix,
    SplitEight,
    SplitNine,
    SplitThirteen,
    SplitSixteen,
    // Quick actions of a group, then of a user, in the bar's order.
    GroupVideoPush,
    GroupStopVideo,
    GroupPttCall,
    GroupJoinPtt,
    GroupRelPtt,
    GroupVoiceConf,
    GroupVideoConf,
    GroupRelConf,
    GroupAddUser,
    GroupIm,
    UserVideoPush,
    UserStopVideo,
    UserPttCall,
    UserVoiceCall,
    UserVideoCall,
    UserHangup,
    UserIntrusion,
    UserForcedRel,
    UserMonitor,
    UserJoin,
    UserUeKill,
    UserUeRevive,
    UserVideoPreview,
    UserIm,
    Count
};

// The text of this build's language as UTF-8.
const char *ZoxText(EN_ZOX_TEXT id);
// The same as a QString.
QString ZoxQText(EN_ZOX_TEXT id);
// Both wordings (for the tests of either build).
const char *ZoxTextEnglish(EN_ZOX_TEXT id);
const char *ZoxTextChinese(EN_ZOX_TEXT id);
