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
    {T::TalkIdleMonitoring, "Monitoring...", "监听中..."},
    {T::TalkIdle, "Press button to speak", "请按键讲话..."},
    {T::TalkTakenBy, "Speaker: %s", "%s 占用中..."},
    {T::TalkBusy, "Busy", "占用中..."},
    {T::TalkGranted, "Please speak", "请讲话..."},
    {T::TalkDenied, "Please try again later", "请稍后再试..."},
    {T::StatusGroupPrefix, "Group: ", "群组："},
    {T::StatusUserPrefix, "User: ", "用户："},
    {T::StatusUserPrefixWide, "User：", "用户："},
    {T::StatusAdHocGroup, "Group: Ad hoc", "群组：临时群组"},
    {T::StatusInterruptCall, "Interrupt-call", "强插"},
    {T::StatusForcedRelease, "Forced REL", "强拆"},
    {T::StatusMonitoring, "Monitoring", "监听中..."},
    {T::StatusVoiceConf, "Voice CONF", "语音会议"},
    {T::StatusPttCall, "PTT Call", "集群对讲"},
    {T::StatusApplySpeak, "Apply right to speak", "申请发言权，请稍候..."},
    {T::StatusReleaseSpeak, "Release the right to speak", "释放发言权，请稍候..."},
    {T::CallCalling, "Calling ...", "正在呼叫 ..."},
    {T::CallConnected, "Connected ...", "正在通话 ..."},
    {T::CallFailed, "Call failed", "呼叫失败"},
    {T::CallAlertTitle, "Call  Alert", "来电提醒"},
    {T::Decline, "Decline", "拒绝"},
    {T::Answer, "Answer", "接受"},
    {T::DeclineCountdown, "Decline(%s)", "拒绝(%s)"},
    {T::CallKindVideo, "Video Call", "视频通话"},
    {T::CallKindPtt, "PTT Call", "语音对讲"},
    {T::CallKindVoice, "Voice Call", "语音通话"},
    {T::CallConfirmCall, "Call", "呼叫"},
    {T::DialTooLong, "The phone number you entered is too long.", "对不起，您输入的号码已达最大长度。"},
    {T::DialIncorrect, "The phone number you entered is incorrect.", "对不起，您输入的号码中含有非法字符。"},
    {T::DialEmpty, "Please enter correct phone number.", "对不起，请先输入您要拨打的号码。"},
    {T::AddressBookOpenFailed, "Fail to open address book.", "打开通讯录数据文件失败！"},
    {T::ContactsTitle, "Address list", " 通讯录"},
    {T::ContactsListNew, "New ...", "新建"},
    {T::ContactsListEdit, "Edit ...", "编辑"},
    {T::ContactsListDelete, "Delete", "删除"},
    {T::ContactsListClear, "Clear", "清空"},
    {T::ContactsTreeAdd, "Add ...", "新建"},
    {T::ContactsTreeAddSub, "Add ...", "新建"},
    {T::ContactsTreeEdit, "Edit ...", "修改"},
    {T::ContactsTreeDelete, "Delete", "删除"},
    {T::ContactsColName, "Name", "姓名"},
    {T::ContactsColPosition, "Position", "职位"},
    {T::ContactsColMobile, "Mobile", "手机"},
    {T::ContactsColTelephone, "Telephone", "固话"},
    {T::ContactsDialogNew, "New", "新建"},
    {T::ContactsDialogEdit, "Edit", "编辑"},
    {T::ContactsSuperior, "Superior", "上级"},
    {T::ContactsUnitName, "Name", "名称"},
    {T::ContactsNone, "None", "无"},
    {T::ContactsNameEmpty, "Name cannot be empty.", "名称不能为空"},
    {T::ContactsUnitDuplicate, "Please check if the name is duplicate.", "操作失败, 请检查名称是否重复"},
    {T::ContactsUserDuplicate, "Please check if the name is duplicate.", "操作失败, 请检查姓名是否重复"},
    {T::ContactsDeleteQuestion, "Are you sure you want to delete?", "确定要删除吗？"},
    {T::ContactsDeleteAllQuestion, "Are you sure you want to delete all?", "确定要全部删除吗？"},
    {T::ContactsUserUnreachable, "User is not reachable, please try later.", "系统正忙或用户不可达, 请稍后再试"},
    {T::SettingTitle, "Setting", "设置"},
    {T::SettingTabGeneral, "General", "通用设置"},
    {T::SettingTabVideo, "Video", "视频设置"},
    {T::SettingTabAbout, "About", "关于软件"},
    {T::SettingGroupGeneral, "General :", "通用配置："},
    {T::SettingAppTitle, "App Title", "软件名称："},
    {T::SettingDepartment, "Depart/Unit", "部门/单位："},
    {T::SettingGroupRecording, "Recording :", "录像配置："},
    {T::SettingSavePath, "Local path", "保存路径："},
    {T::SettingBrowse, "Browse", "浏览"},
    {T::SettingPathTip, "Non system disk is recommended", "请使用英文路径，建议选择非系统盘"},
    {T::SettingGroupVideo, "Video :", "视频配置："},
    {T::SettingCamera, "Camera", "摄像头："},
    {T::SettingVideoSize, "Resolution", "分辨率："},
    {T::SettingVideoFps, "FPS", "帧   率："},
    {T::SettingCameraPreview, "Show local video preview window", "视频会话时显示本端视频预览窗口"},
    {T::SettingGroupVersion, "Version :", "版本信息："},
    {T::SettingVersion, "Version", "软件版本："},
    {T::SettingLanguage, "Language", "软件语言："},
    {T::TileMaximize, "Maximize", "最大化"},
    {T::TileRestore, "Restore ", "还原  "},
    {T::TileHangup, "Hangup ", "挂断  "},
    {T::TileStop, "Stop    ", "停止  "},
    {T::TileForward, "Forward ", "分发  "},
    {T::TileStretch, "Stretch ", "拉伸  "},
    {T::TileRecord, "Record ", "录制  "},
    {T::TileSound, "Sound ", "声音  "},
    {T::PopupCloseHint, "Close and stop preview", "关闭弹窗 停止预览"},
    {T::PopupAcceptHint, "Close and preview in main window", "关闭弹窗 主窗口预览"},
    {T::ForwardSelectedUsers, "Selected users: ", "选中用户："},
    {T::VpAlertTitle, "Video Push Alert", "视频推送提醒"},
    {T::CameraAddTitle, "Add Camera", "添加摄像头"},
    {T::CameraEditTitle, "Edit Camera", "编辑摄像头"},
    {T::CameraNameLabel, "Camera name:", "摄像头名称："},
    {T::CameraRtspUrlLabel, "RTSP URL:", "RTSP URL："},
    {T::CameraUsernameLabel, "Username:", "用户名："},
    {T::CameraPasswordLabel, "Password:", "密码："},
    {T::CameraTransportLabel, "Transport:", "传输协议："},
    {T::CameraEnabledCheck, "Enabled", "启用"},
    {T::CameraDispatcherCheck, "Dispatching user", "调度用户"},
    {T::CameraGetDataError, "Error getting data. Please try again later.", "获取数据出错，请稍后再试。"},
    {T::CameraDeleteQuestion, "Are you sure you want to delete it?", "确定要删除吗？"},
    {T::CameraOperationFailed, "The operation failed. Please try again later.", "操作失败，请稍后再试。"},
    {T::CameraNameMissing, "Please enter the camera name.", "请输入摄像头名称。"},
    {T::CameraNameMustBeUser,
     "When selecting the dispatch user option, the camera name must be the dispatch user number.",
     "选中调度用户选项时，摄像头名称须为调度用户号码。"},
    {T::CameraUrlInvalid, "RTSP URL validation failed. Please re-enter.", "RTSP URL验证失败，请重新输入。"},
    {T::CameraInsertError, "Error inserting data. Please try again later.", "插入数据出错，请稍后再试。"},
    {T::CameraUpdateError, "Error updating data. Please try again later.", "更新数据出错，请稍后再试。"},
    {T::CameraMenuAdd, "Add ...", "添加"},
    {T::CameraMenuEdit, "Edit ...", "修改"},
    {T::CameraMenuDelete, "Delete", "删除"},
    {T::AddUserTitle, "Add User", "添加用户"},
    {T::AddUserPrompt, "Select the user you want to add", "请选择要添加的用户"},
    {T::ForwardVideoTitle, "Select user", "选择用户"},
    {T::VpSelectUserTitle, "Select User", "选择用户"},
    {T::VpSelectUserSelected, "Selected users:", "选中用户："},
    {T::VpSelectUserAdd, "Add >>", "添加 >>"},
    {T::VpSelectUserRemove, "<< Remove", "<< 删除"},
    {T::VpSelectUserGroupHint, "Select group", "选择群组"},
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

QString ZoxQTextWith(EN_ZOX_TEXT id, const QString &value)
{
    QString text = ZoxQText(id);
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    if (at >= 0)
        text.replace(at, 2, value);
    return text;
}

QString ZoxDeclineCountdown(int seconds)
{
    seconds = seconds < 0 ? 0 : seconds;
    return ZoxQTextWith(EN_ZOX_TEXT::DeclineCountdown, QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0')));
}
