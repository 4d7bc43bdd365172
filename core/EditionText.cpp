#include "core/EditionText.h"

#include "core/Edition.h"

#include <array>
#include <cstddef>

namespace {

struct Row {
    EN_ZOX_TEXT id;
    const char *english;
    const char *chinese;
};

using T = EN_ZOX_TEXT;

constexpr Row kRows[] = {
    {T::LoginCaption, "User Login", "调度员登录"},
    {T::LoginAccount, "Account", "帐 号"},
    {T::LoginPassword, "Password", "密 码"},
    {T::LoginButton, "Login", "登 录"},
    {T::LoginCancel, "Cancel", "取 消"},
    {T::ErrorCaption, "Error", "错误"},
    {T::StartInitError, "Application has been started or has an initialization error. Please close it.",
     "程序已启动或者初始化出错，请关闭."},
    {T::PlatformInitError, "Platform interface module init failed. Please close it.", "平台接口模块初始化失败，请关闭."},
    {T::LoginInitError, "Application initialization error. Please close and try again.", "程序初始化出错，请关闭后重试."},
    {T::LoggingIn, "Logging in", "正在登录"},
    {T::VerifyingAccount, "Verifying account and password ...", "正在验证帐号和密码 . . ."},
    {T::LogonFailed, "User logon failed", "用户登录失败"},
    {T::AccountError, "Account or password error, please re-enter!", "帐号或密码错误，请重新输入!"},
    {T::LogonSuccessful, "User login successful", "用户登录成功"},
    {T::LoadingLines, "Loading line data ...", "正在同步调度线路信息 . . ."},
    {T::LoadingGroups, "Loading group data ...", "正在同步调度群组信息 . . ."},
    {T::LoadingUsers, "Loading user data ...", "正在同步调度用户信息 . . ."},
    {T::SyncUapUsers, "Sync platform user info ...", ""},
    {T::SyncCmsDevices, "Sync platform device info ...", "正在同步平台设备信息 . . ."},
    {T::LoadGroupsFailed, "Load group data failed, Please try again later.", "同步调度群组信息失败，请稍后再试."},
    {T::LoadUsersFailed, "Load user data failed, Please try again later.", "同步调度用户信息失败，请稍后再试."},
    {T::TimeoutAuth, "User authentication timed out. Please try again later.", "用户认证超时，请稍后再试."},
    {T::TimeoutLines, "Load line data timeout, please try again later.", "同步调度线路信息超时，请稍后再试."},
    {T::TimeoutGroups, "Load group data timeout, please try again later.", "同步调度群组信息超时，请稍后再试."},
    {T::TimeoutUsers, "Load user data timeout, please try again later.", "同步调度用户信息超时，请稍后再试."},
    {T::TimeoutUap, "Sync auth platform user info timeout. Please try again later.", ""},
    {T::TimeoutCms, "Sync platform device info timeout. Please try again later.", "同步平台设备信息超时，请稍后再试."},
    {T::ServerReset, "Communication error, please login again.", "调度机通讯故障，请重新登录."},
    {T::SplashConnecting, "Connecting ...", "正在加载数据, 请稍候 ..."},
    {T::SplashCancelCaption, "Confirmation", "确认"},
    {T::SplashCancelQuestion, "Logging in. Are you sure you want to cancel?", "正在登录系统，确定要取消吗？"},
    {T::Ok, "Ok", "确定"},
    {T::Cancel, "Cancel", "取消"},
    {T::CloseHint, "Close", "退出"},
    {T::ExitHint, "Exit", "退出"},
    {T::MsgTipTitle, "Information", "提示"},
    {T::ConfirmTitle, "Confirm", "确认"},
    {T::ConfirmDeleteSample, "Are you sure you want to delete it?", "确定要删除吗？"},
    {T::SelectFolder, "Select folder...", "选择输出的文件夹..."},
    {T::MinimizeHint, "Minimize", "最小化"},
    {T::MaximizeHint, "Maximize", "最大化"},
    {T::RestoreHint, "Restore", "恢复窗口"},
    {T::SettingHint, "Setting", "设置"},
    {T::FoldDownHint, "Fold downward", "向下折叠"},
    {T::ExpandUpHint, "Upward expansion", "向上展开"},
    {T::SwapWindowHint, "Extended display", "扩展显示"},
    {T::HideLeftHint, "Hide left column", "隐藏左栏"},
    {T::ShowLeftHint, "Show left column", "显示左栏"},
    {T::FullScreenHint, "Full Screen", "全屏"},
    {T::ExitFullScreenHint, "Exit full screen", "退出全屏"},
    {T::FullScreenButtonHint, "Full screen", "全屏"},
    {T::RtspInitFailed, "RTSP client initialization failed, please check the network configuration.",
     "RTSP客户端初始化失败, 请检查网络配置。"},
    {T::VoiceCalling, "Voice Calling ...", "语音调度中..."},
    {T::VideoCalling, "Video Calling ...", "视频调度中..."},
    {T::PttCalling, "PTT Calling ...", "集群对讲中..."},
    {T::StatusGroupPrefix, "Group: ", "群组："},
    {T::StatusUserPrefix, "User: ", "用户："},
    {T::StatusUserPrefixWide, "User：", "用户："},
    {T::StatusAdHocGroup, "Group: Ad hoc", "群组：临时群组"},
    {T::StatusInterruptCall, "Interrupt-call", "强插"},
    {T::StatusForcedRelease, "Forced REL", "强拆"},
    {T::StatusMonitoring, "Monitoring", "监听中..."},
    {T::StatusApplySpeak, "Apply right to speak", "申请发言权，请稍候..."},
    {T::StatusReleaseSpeak, "Release the right to speak", "释放发言权，请稍候..."},
    {T::AddUserTitle, "Add User", "添加用户"},
    {T::AddUserPrompt, "Select the user you want to add", "请选择要添加的用户"},
    {T::ForwardVideoTitle, "Select user", "选择用户"},
    {T::AllUserGroup, "All user", "全体"},
    {T::CameraGroup, "Camera", "摄像头"},
    {T::SplitOne, "Single screen", "单画面"},
    {T::SplitTwo, "Two screen", "二画面"},
    {T::SplitThree, "Three screen", "三画面"},
    {T::SplitFour, "Four screen", "四画面"},
    {T::SplitSix, "Six screen", "六画面"},
    {T::SplitEight, "Eight screen", "八画面"},
    {T::SplitNine, "Nine screen", "九画面"},
    {T::SplitThirteen, "Thirteen screen", "十三画面"},
    {T::SplitSixteen, "Sixteen screen", "十六画面"},
    {T::GroupVideoPush, "Video Push", "视频上传"},
    {T::GroupStopVideo, "Stop Video", "视频停止"},
    {T::GroupPttCall, "PTT Call", "集群发起"},
    {T::GroupJoinPtt, "Join PTT", "集群加入"},
    {T::GroupRelPtt, "REL PTT", "集群释放"},
    {T::GroupVoiceConf, "Voice CONF", "语音会议"},
    {T::GroupVideoConf, "Video CONF", "视频会议"},
    {T::GroupRelConf, "REL CONF", "结束会议"},
    {T::GroupAddUser, "Add User", "添加用户"},
    {T::GroupIm, "IM", "即时消息"},
    {T::UserVideoPush, "Video Push", "视频上传"},
    {T::UserStopVideo, "Stop Video", "视频停止"},
    {T::UserPttCall, "PTT Call", "对讲呼叫"},
    {T::UserVoiceCall, "Voice Call", "语音呼叫"},
    {T::UserVideoCall, "Video Call", "视频呼叫"},
    {T::UserHangup, "Hangup", "强挂"},
    {T::UserIntrusion, "Intrusion", "强插"},
    {T::UserForcedRel, "Forced REL", "强拆"},
    {T::UserMonitor, "Monitor", "监听"},
    {T::UserJoin, "Join...", "加入到..."},
    {T::UserUeKill, "UE Kill", "终端遥毙"},
    {T::UserUeRevive, "UE Revive", "终端复活"},
    {T::UserVideoPreview, "Video Preview", "视频预览"},
    {T::UserIm, "IM", "即时消息"},
};

constexpr bool RowsInKeyOrder()
{
    if (std::size(kRows) != static_cast<std::size_t>(T::Count))
        return false;
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        if (static_cast<std::size_t>(kRows[i].id) != i)
            return false;
    return true;
}
static_assert(RowsInKeyOrder(), "every text key has exactly one row, in the order of EN_ZOX_TEXT");

const Row &RowOf(EN_ZOX_TEXT id)
{
    const auto i = static_cast<std::size_t>(id);
    return kRows[i < std::size(kRows) ? i : 0];
}

} // namespace

const char *ZoxTextEnglish(EN_ZOX_TEXT id) { return RowOf(id).english; }

const char *ZoxTextChinese(EN_ZOX_TEXT id) { return RowOf(id).chinese; }

const char *ZoxText(EN_ZOX_TEXT id) { return zox::edition::kChinese ? ZoxTextChinese(id) : ZoxTextEnglish(id); }

QString ZoxQText(EN_ZOX_TEXT id) { return QString::fromUtf8(ZoxText(id)); }
