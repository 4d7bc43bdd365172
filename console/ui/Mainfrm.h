#pragma once
// The dispatcher's working window: title bar, the left column with the group and user
// lists over the map panel, the right column with the split-layout bar, the video
// area, the bottom strip (operate bar, status bar, task buttons) and the prompt panel.
// Created hidden at start, shown when the login completes, alive until the program
// ends. User-interface thread only.
#include "console/MainWindowLayout.h"
#include "console/MapBridge.h"
#include "console/SplitScreenCtrlMap.h"
#include "console/UserListModel.h"
#include "dispatch/DispatchLineTable.h"
#include "dispatch/UserSelectItem.h"
#include "video/ui/VideoPopupForm.h"
#include "video/ui/VideoWndCtrl.h"

#include <QByteArray>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QShortcut;
class QSplitter;
class QTimer;
class TSkinPanel;
class TButtonCtrl;
class TMultiImageCtrl;
class TScrollBarCtrl;
class TUserCellCtrl;
class TGroupCellCtrl;
class TContactForm;
class IMainListCache;
class SkinImageMap;
class CUserTilePool;
class CMainDispatchHost;
class CIncomingSignalling;
class TCallAlertForm;
class TMapForm;
class TCallProgressForm;
class TDialPanelForm;
class CCallOperations;
class CMainOperationsHost;
class QAction;
class QMenu;
class TVpAlertForm;
struct tmedia_session_mgr_t;
class ICameraStore;
class IDispatchCacheReads;
struct CMainQuickActions;
namespace zox::quick {
class CQuickActions;
}

// One quick action of the operate bar: kind 1 a group action, 2 a user action.
struct TOperateButtonMap {
    int kind = 0;
    std::string caption;
    std::function<bool()> enableTest;    // bound to the rules by BindQuickActions
    std::function<bool()> visibleTest;
    TButtonCtrl *button = nullptr;
};

// A task button of the dispatch control panel and its enable test.
struct TTaskButtonPair {
    std::function<bool()> enableTest;
    TMultiImageCtrl *button = nullptr;
};

class TMainForm : public QWidget, public CVideoWndHandler, public IVideoPopupOwner, public IMapCommandHost {
    Q_OBJECT
public:
    static constexpr int kImageMapSize = 32;
    static constexpr int kOperateButtonCount = 24;
    static constexpr int kTaskButtonCount = 4;

    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // --- Login completion (run by the login window, in this order) ---
    void CreateRtspClient();
    void RebuildDispatchLines();
    void ReloadLists();
    void ShowMapForm();
    // The destroy duties, also run by the login window on a restart: hot keys released,
    // sessions dropped without a release, the RTSP client freed.
    void OnFormDestroy();

    // --- Dispatch lines and sessions (the logic is CDispatchLineTable's) ---
    CDispatchLineTable &DispatchLines() { return *m_lineTable; }
    IDispatchSessionHost &DispatchSessionHost();
    void SetLineState(ST_ZOX_DISPATCH_LINE_INFO *line, int32_t state) { m_lineTable->SetLineState(line, state); }
    void ClearLineAction(ST_ZOX_DISPATCH_LINE_INFO *line) { m_lineTable->ClearLineAction(line); }
    void ReleaseLine(ST_ZOX_DISPATCH_LINE_INFO *line) { m_lineTable->ReleaseLine(line); }
    void DestroySession(CDispatchSession *session) { m_lineTable->DestroySession(session); }
    void OnLineTimerOut(ST_ZOX_DISPATCH_LINE_INFO *line) { m_lineTable->OnLineTimerOut(line); }
    int CountFreeLines() const { return m_lineTable->CountFreeLines(); }
    ST_ZOX_DISPATCH_LINE_INFO *GetFreeLine(bool video) const { return m_lineTable->GetFreeLine(video); }
    ST_ZOX_DISPATCH_LINE_INFO *FindLineByName(const std::string &n) const { return m_lineTable->FindLineByName(n); }
    ST_ZOX_DISPATCH_LINE_INFO *FindLineByKey(int32_t kind) const { return m_lineTable->FindLineByKey(kind); }
    ST_ZOX_DISPATCH_LINE_INFO *FindLineBySessionUser(const std::string &n) const
    {
        return m_lineTable->FindLineBySessionUser(n);
    }
    ST_ZOX_DISPATCH_LINE_INFO *FindVideoCallLine(const std::string &n) const { return m_lineTable->FindVideoCallLine(n); }
    ST_ZOX_DISPATCH_LINE_INFO *FindVideoUploadLine(const std::string &n) const
    {
        return m_lineTable->FindVideoUploadLine(n);
    }
    ST_ZOX_DISPATCH_LINE_INFO *FindActiveGroupLine() const { return m_lineTable->FindActiveGroupLine(); }
    void CollectVideoCallSessions(std::vector<CDispatchSession *> &out) const
    {
        m_lineTable->CollectVideoCallSessions(out);
    }
    // From the user state notices of the login.
    void RemoveUserFromLine(const std::string &number, uint8_t regState, const std::string &callRef,
                            uint32_t callState)
    {
        m_lineTable->RemoveUserFromLine(number, regState, callRef, callState);
    }
    void OnUserSessionEvent(const ST_ZOX_SYSTEM_USER &user) { m_lineTable->OnUserSessionEvent(user); }
    void RemoveLineMember(ST_ZOX_DISPATCH_LINE_INFO *line, const std::string &n) { m_lineTable->RemoveLineMember(line, n); }

    // The datagram handlers of the call-signalling and video-push families (the logic
    // is CIncomingSignalling's).
    void OnNetCall(const QByteArray &datagram);
    void OnNetVideoPush(const QByteArray &datagram);
    CIncomingSignalling &Incoming() { return *m_incoming; }
    int AnswerCall(ST_ZOX_DISPATCH_LINE_INFO *line);
    void SendStopVpNotify(uint32_t sourceId, uint32_t destinationId, const std::string &number);
    // A talk-burst message with the speaker text it carries.
    void OnTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker);

    // --- The incoming-call alert (created on first use, reused) ---
    bool IsCallAlertVisible() const;
    // Shows the alert modally for a call: 1 answer, 2 decline.
    int ShowCallAlert(int32_t callId, const std::string &number, int32_t kind);
    int32_t CallAlertId() const;
    void DismissCallAlert();
    TCallAlertForm *CallAlert() const { return m_pCallAlert; }

    // --- Call video tiles (the wall's) ---
    // The decoded size of a call's video (handed over from a media thread).
    void OnVideoSize(int32_t instance, uint32_t width, uint32_t height);

    // --- Call operations (the logic is CCallOperations'; console/ui/MainfrmOperations.cpp) ---
    CCallOperations &Operations();
    // Quick actions of a group.
    void StartGroupVideoUpload();
    void StopGroupVideoUpload();
    void StartGroupPttCall();
    void JoinGroupPttCall();
    void ReleaseGroupPttCall();
    void StartGroupVoiceConference();
    void StartGroupVideoConference();
    void ReleaseConference();
    void AddUserToGroupCall();
    void BeginGroupChat();
    // Quick actions of a user.
    void StartSelectedUserVideoUpload();
    void StopSelectedUserVideoUpload();
    void StartSelectedUserPttCall();
    void StartSelectedUserVoiceCall();
    void StartSelectedUserVideoCall();
    void ForceHangupSelectedUser();
    void IntrudeSelectedUser();
    void ForceReleaseSelectedUser();
    void MonitorSelectedUser();
    void ShowAddToMenu();
    void OnPopupMenuAddtoClick(QAction *item);
    void KillSelectedTerminal();
    void ReviveSelectedTerminal();
    void PlaySelectedVideo();
    void BeginUserChat();
    // Operations on lines and numbers.
    int StartVideoUpload(const std::string &number, const std::string &name, int32_t instance);
    void HangupLine(ST_ZOX_DISPATCH_LINE_INFO *line);
    void ReleaseGroupPttLine(ST_ZOX_DISPATCH_LINE_INFO *line);
    void ExitPttSession();
    void ReleaseConferenceLine(ST_ZOX_DISPATCH_LINE_INFO *line);
    void AddUserToPttCall(uint32_t groupId, const std::string &number, const std::string &name);
    void AddConferenceMember(ST_ZOX_DISPATCH_LINE_INFO *line, const std::string &number, const std::string &name);
    void HangupVideoCalls();
    // Task buttons: speak, end calls, chat program, dial pad.
    void RequestTalkBurst();
    void ReleaseTalkBurst();
    void EndAllCalls();
    void StartChatProgram();
    void ToggleDialPanel();
    // Calls named by number (map page, dial pad, contacts book): the map page's
    // command host below.
    // The call progress panel and the dial pad (both created on first use).
    void ShowCallProgress(const std::string &number);
    void SetCallProgressStatus(const std::string &text, int mode);
    void DialFromDialPanel();
    void DialNumber(const std::string &number);
    void RedialCallProgress();
    void HideCallProgress();
    void CancelCallProgress();
    void OnCallLineStateChanged(int32_t oldState, int32_t newState);
    TCallProgressForm *CallProgressForm() const;
    TDialPanelForm *DialPanelForm() const;
    QMenu *AddToMenu() const;
    // The user picker of "Add User": true with a number (and name) chosen.
    void SetAddUserPicker(std::function<bool(std::string &, std::string &)> picker);
    // --- Video forwarding, video push and conference video (MainfrmVideoPush.cpp) ---
    void BuildForwardUserList(tmedia_session_mgr_t *source, ST_VECT_USER_SELECT &list);
    void ForwardUserVideo(const std::string &number);
    void SetupVideoConfAudio();
    void ReleaseVideoConfAudio();
    void AddConfVideoShare(CDispatchSession *session);
    void RemoveConfVideoShare(CDispatchSession *session);
    // Sizes the local camera preview for the capture size; its render window (0 without).
    uintptr_t LayoutCameraPreview();
    void ShowCameraPreview(bool show);
    // The video-push alert window: created with the first push, kept afterwards.
    TVpAlertForm *VpAlertForm() const { return m_pVpAlertForm; }
    TVpAlertForm *GetVpAlertForm();
    // The two modal pickers of the Forward tool (tests answer them themselves).
    void SetForwardUserPicker(std::function<bool(ST_VECT_USER_SELECT &)> picker)
    {
        m_forwardPicker = std::move(picker);
    }
    void SetPushTargetPicker(std::function<bool(const std::string &, std::vector<std::string> &)> picker)
    {
        m_pushPicker = std::move(picker);
    }
    bool PickForwardUsers(ST_VECT_USER_SELECT &list);
    bool PickPushTargets(const std::string &uploader, std::vector<std::string> &chosen);
    QWidget *c_pPanelCameraWnd = nullptr;

    // --- Wiring set by the owner of the window ---
    // The server-data cache the lists read (null: only the two fixed groups).
    void SetListCache(IMainListCache *cache);
    IMainListCache *GetListCache() const { return m_pListCache; }
    // What the exit picture does after its own duties (closes the login window).
    void SetExitAction(std::function<void()> action) { m_exitAction = std::move(action); }
    // Whether the console is logged in (login state 13); the chat indicator acts only then.
    void SetRunningTest(std::function<bool()> test) { m_isRunning = std::move(test); }
    // The RTSP client's start (the video step supplies it): true when the client runs.
    // Without one no client is tried and the console runs without video preview.
    void SetRtspClientStarter(std::function<bool()> start) { m_rtspStarter = std::move(start); }
    // Whether the messaging bridge has a registered peer.
    void SetBridgeReadyTest(std::function<bool()> test) { m_bridgeReady = std::move(test); }

    // --- Layout ---
    void LayoutLeftColumn();
    void LayoutRightColumn();
    void LayoutRightTopBar();
    void SetLeftColumnVisible(bool visible);
    void SetVideoBarImagesVisible(bool visible);
    QWidget *GetLowerLeftPanel() const;
    QWidget *GetMainAreaPanel() const;
    void FoldLowerLeftPanel();
    void UnfoldLowerLeftPanel();
    void ToggleFullScreen();
    // F1 / Esc as the hot keys deliver them.
    void OnHotKey(zox::mainwnd::HotKey key);

    // --- Camera menu of the user list's title (MainfrmCamera.cpp) ---
    void OnImageCameraMenuClick();
    void OnMenuItemAddCameraClick();
    void OnMenuItemEditCameraClick();
    void OnMenuItemDeleteCameraClick();
    // Where the camera menu reads and writes cameras (null: the server-data cache).
    void SetCameraStore(ICameraStore *store) { m_pCameraStore = store; }
    QMenu *c_pPopupMenuCamera = nullptr;
    QAction *c_pMenuItemAddCamera = nullptr;
    QAction *c_pMenuItemEditCamera = nullptr;
    QAction *c_pMenuItemDeleteCamera = nullptr;

    // --- Picture maps ---
    void SetImageCtrlStatus(QObject *control, int state);
    int GetImageCtrlStatus(QObject *control) const;
    void SetSplitImageStatus(QObject *control, int state);
    int GetSplitImageStatus(QObject *control) const;
    bool SelectSplitImage(QObject *control);
    bool IsSplitImageSelected(QObject *control) const;
    int GetCurrentWindowCount() const { return m_windowCount; }

    // --- Video wall ---
    // The layout row of the current tile count, or null.
    const zox::video::TSplitScreenLayout *GetSplitLayout() const;
    void CreateVideoWindows();
    void RelayoutVideoWindows();
    // A free tile shown on the wall (growing the layout when all are busy), or null.
    TVideoWndCtrl *GetFreeVideoWindow() override;
    // Floating previews of a vehicle (1) or camera (2), with the wall under one limit.
    void PreviewVideo(int userType, const std::string &number) override;
    bool FindVideoPopup(int userType, const std::string &number);
    void PlaceVideoPopup(TVideoPopupForm *popup);
    void CloseVideoPopup(TVideoPopupForm *popup) override;
    const std::vector<TVideoPopupForm *> &VideoPopups() const { return m_popups; }
    // Where popups play (null: the RTSP client); tests pass their own.
    void SetPopupVideoSource(IPopupVideoSource *source) { m_popupSource = source; }
    void OnPanelVideoGroupResize();
    void OnImageSplitScreenClick(QLabel *picture);
    const std::vector<TVideoWndCtrl *> &VideoWindows() const { return m_videoWnds; }
    bool IsSingleVideoWindow() const { return m_singleVideo; }
    // CVideoWndHandler: the wall's display operations.
    void OnVideoWindowSelected(QWidget *tile, bool byUser) override;
    void SetSingleVideoWindow(QWidget *tile, bool on) override;
    void AutoShowTopBar(QWidget *tile) override;
    void SwapVideoWindows(QWidget *target, QWidget *source) override;
    // CVideoWndHandler: session operations of the tools (calls, recording and forwarding).
    void StopVideoUploadOfWindow(const std::string &number, const std::string &name) override;
    void HangupVideoWindow(const std::string &number, const std::string &name) override;
    void StopRtspVideo(int userType, const std::string &number) override;
    void OnForwardVideo(int userType, const std::string &number, int service) override;
    void ToggleSessionRecord(const std::string &number, int lineKind) override;
    void ToggleRtspRecord(int userType, const std::string &number) override;
    int ToggleRtspAudio(int userType, const std::string &number, TVideoWndCtrl *tile) override;

    // --- Lists and selection ---
    bool SelectGroupCell(int groupType, int groupId);
    bool SelectUserCell(int userType, const std::string &number, bool bySender);
    void OnGroupCellSelected(TGroupCellCtrl *tile, bool byUser);
    void OnUserCellSelected(TUserCellCtrl *tile, bool byUser);
    void CheckUserCellUsable(TUserCellCtrl *tile);
    bool IsAnyLineInCall() const;
    void UpdateGroupScrollBar();
    void UpdateUserScrollBar();
    const std::vector<TGroupCellCtrl *> &GroupCells() const { return m_groupCells; }
    // The user list: its rows (the shown group's users) and the tiles that show them.
    // Only the rows in sight have a tile; VisibleUserCells gives those, in row order.
    const CUserListModel &UserRows() const { return m_userRows; }
    int UserRowCount() const { return m_userRows.Count(); }
    std::vector<TUserCellCtrl *> VisibleUserCells() const;
    // A tile for every row, in row order, binding tiles to the rows that have none
    // (one tile a row: for inspecting a short list, never used by the list itself).
    std::vector<TUserCellCtrl *> UserCells();
    TScrollBarCtrl *GroupScrollBar() const { return m_pGroupScrollBar; }
    TScrollBarCtrl *UserScrollBar() const { return m_pUserScrollBar; }

    // --- State refresh and status bar ---
    void EnableUpdateTimer(bool on);
    void OnUpdateTimerOut();
    void ShowDispatchStatus(int kind, const std::string &object, const std::string &speaker);
    void SetSpeakerText(const std::string &text);

    // --- Operate bar and task buttons ---
    void InitTaskButtons();
    void InitOperateButtons();
    void UpdateOperateButtons();
    void LayoutOperateButtons();
    void OnImageSlideLeftClick();
    void OnImageSlideRightClick();
    void UpdateChatIcon();
    const std::vector<TButtonCtrl *> &VisibleOperateButtons() const { return m_visibleButtons; }
    int GetPageIndex() const { return m_pageIndex; }
    const TOperateButtonMap &OperateEntry(int i) const { return m_operateMap[i]; }
    TTaskButtonPair &TaskButton(int i) { return m_taskButtons[i]; }
    const std::string &GetChatImageName() const { return m_chatImageName; }
    // The enable tests of the quick actions and task buttons (MainfrmStatus.cpp).
    zox::quick::CQuickActions &QuickActions() const;
    // Where the tests read the server-data cache (null: the console's data module).
    void SetQuickActionCache(IDispatchCacheReads *cache);
    // Whether the contacts book may dial the number now.
    bool IsUserReachable(const std::string &number);

    // --- Map window (MainfrmMap.cpp) ---
    TMapForm *MapForm() const { return m_pMapForm; }
    // The page follows the lists, the talk bursts and the extended display; each does
    // nothing without a map window.
    void MapSelectGroup(int groupType, int groupId);
    void MapSelectUser(const std::string &number);
    void MapSetSpeaker(const std::string &speaker);
    void MapUnsetSpeaker();
    void MapHideLogo();
    // IMapCommandHost: the operations the page's commands start.
    void StartPttCall(const std::string &number) override;
    void StartPttGroupCall(const std::vector<std::string> &numbers) override;
    void StartUserVideoUpload(const std::string &number) override;
    int StartVoiceCall(const std::string &number) override;
    void StartVoiceConference(const std::vector<std::string> &numbers) override;
    void StartVoiceGroupCall(const std::vector<std::string> &numbers) override;
    void StartVideoCall(const std::string &number) override;
    void StartVideoGroupCall(const std::vector<std::string> &numbers) override;

    // --- Flags (read by the wall and the tests) ---
    const zox::mainwnd::MainWindowModes &Modes() const { return m_modes; }
    bool IsFullScreen() const { return m_modes.fullScreen; }
    bool IsLeftVisible() const { return m_modes.leftVisible; }
    bool IsFolded() const { return m_modes.folded; }
    bool IsSwapped() const { return m_modes.swapped; }
    bool IsInFullScreenToggle() const { return m_inFullScreenToggle; }
    bool AreVideoTitlesVisible() const { return m_videoTitlesVisible; }
    bool HasRtspClient() const { return m_hasRtspClient; }
    QShortcut *FullScreenShortcut() const { return m_pFullScreenKey; }
    QShortcut *ExitFullScreenShortcut() const { return m_pExitFullScreenKey; }

    // Components (named as the form description names them).
    TSkinPanel *c_pPanelTitleBar = nullptr;
    QLabel *c_pImageLogo = nullptr;
    QLabel *c_pImageIcon = nullptr;
    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageSetting = nullptr;
    QLabel *c_pImageMin = nullptr;
    QLabel *c_pImageMax = nullptr;
    QLabel *c_pImageExit = nullptr;
    TSkinPanel *c_pPanelMainClient = nullptr;
    QSplitter *c_pSplitterContact = nullptr;
    TSkinPanel *c_pPanelGroupTitle = nullptr;
    QLabel *c_pLabelGroupUnit = nullptr;
    TSkinPanel *c_pPanelGroupHost = nullptr;
    QWidget *c_pFlowPanelGroup = nullptr;
    TSkinPanel *c_pPanelGroupScroll = nullptr;
    TSkinPanel *c_pPanelUserTitle = nullptr;
    QLabel *c_pLabelUserGroup = nullptr;
    QLabel *c_pImageCameraMenu = nullptr;
    TSkinPanel *c_pPanelBottomTitle = nullptr;
    QLabel *c_pImageSwitchBottom = nullptr;
    QLabel *c_pImageSwapWindow = nullptr;
    TSkinPanel *c_pPanelUserHost = nullptr;
    QWidget *c_pFlowPanelUser = nullptr;
    TSkinPanel *c_pPanelUserScroll = nullptr;
    TSkinPanel *c_pPanelGisContainer = nullptr;
    TSkinPanel *c_pPanelRightTop = nullptr;
    QLabel *c_pImageLeftVisible = nullptr;
    QLabel *c_pImageVideoTitleVisible = nullptr;
    QLabel *c_pImageSplit[9] = {};
    QLabel *c_pImageFullScreen = nullptr;
    TSkinPanel *c_pPanelVideoGroup = nullptr;
    TSkinPanel *c_pPanelRightBottom = nullptr;
    TSkinPanel *c_pPanelOperateCtrl = nullptr;
    QLabel *c_pImageSlideLeft = nullptr;
    QLabel *c_pImageSlideRight = nullptr;
    TSkinPanel *c_pSeparatorStatusCtrl = nullptr;
    TSkinPanel *c_pPanelStatusBar = nullptr;
    QLabel *c_pImageDispatchStatus = nullptr;
    QLabel *c_pStatusPaneStatus = nullptr;
    QLabel *c_pStatusPaneObject = nullptr;
    QLabel *c_pStatusPaneSpeaker = nullptr;
    TSkinPanel *c_pPanelDispatchCtrl = nullptr;
    QWidget *c_pPanelResizeHost = nullptr;
    QLabel *c_pImageResize = nullptr;
    TSkinPanel *c_pPanelPrompt = nullptr;
    TSkinPanel *c_pPanelCameraHost = nullptr;
    QTimer *c_pUpdateTimer = nullptr;
    QTimer *c_pScrollTimer = nullptr;
    QTimer *c_pChatTimer = nullptr;

    // Published handlers.
    void OnFormCreate();
    void OnFormShow();
    void OnFormResize();
    void OnPanelMainClientResize();
    void OnPanelRightTopResize();
    void OnPanelRightBottomResize();
    void OnPanelGroupHostResize();
    void OnPanelUserHostResize();
    void OnImageMinClick();
    void OnImageMaxClick();
    void OnImageExitClick();
    void OnImageFullScreenClick();
    void OnImageLeftVisibleClick();
    void OnImageSwitchBottomClick();
    void OnImageSwapWindowClick();
    void OnImageVideoTitleVisibleClick();
    void OnImageSettingClick();
    // The contacts book: created on first use (one for the program), then shown.
    void ShowContactForm();
    TContactForm *ContactForm() const { return m_pContactForm; }
    // A number the contacts book asks to call; the call operations dial it.
    void OnContactCallNumber(QWidget *owner, const std::string &number);
    void OnChatTimerOut();
    void OnScrollTimerOut();
    // The mouse wheel anywhere in the window: at most one line per 200 ms.
    void OnFormMouseWheel(int delta, QPoint globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void customEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    friend class CMainOperationsHost;
    void BindOperationActions();
    void BuildForm();
    void BuildTitleBar();
    void BuildLeftColumn();
    void BuildRightColumn();
    void BuildBottomStrip();
    QLabel *NewPicture(QWidget *parent, int width, int height);
    void ShowSplitPicture(QObject *control, const std::string &name);
    void InitImageCtrlMap();
    void InitTitleBarImages();
    void InitLowerLeftPanel();
    void InitSplitImages();
    void ApplyGeometry();
    void ApplyWindowState(bool maximized);
    void FitToStateLater();
    void SetPictureEnabled(QLabel *picture, bool enabled);
    void UpdatePictureHints();
    void RegisterHotKeys();
    void UnregisterHotKeys();

    void ClearGroupCells();
    void ClearUserCells();
    void LoadGroupCells();
    void AddGroupCell(int groupType, int groupId, const std::string &name, const std::string &number);
    void LoadUserCells(int groupType, int groupId, const std::string &title);
    // Gives the rows in sight their tiles; readStates: read the state of the rows
    // that just got a tile (they were not refreshed while out of sight).
    void ShowVisibleUsers(bool readStates);
    void SelectUserRow(int row, bool byUser);
    void ScrollGroupList();
    void ScrollUserList();
    void PlaceFlowPanel(QWidget *panel, QWidget *host, int left, int top, bool custom);
    bool IsRtspPreviewAction() const;
    void BuildCameraMenu();
    ICameraStore *CameraStore() const;
    void ReloadCameraList();
    void BindQuickActions();
    friend struct CMainQuickActions;

    IMainListCache *m_pListCache = nullptr;
    ICameraStore *m_pCameraStore = nullptr;
    std::function<void()> m_exitAction;
    std::function<bool()> m_isRunning;
    std::function<bool()> m_bridgeReady;

    zox::mainwnd::MainWindowModes m_modes;
    zox::mainwnd::FullScreenMemory m_fullScreenMemory;
    bool m_inFullScreenToggle = false;
    QRect m_normalGeometry; // size of the window in its normal state, kept across full screen
    bool m_videoTitlesVisible = true;
    bool m_hasRtspClient = false;
    bool m_rtspStartFailed = false;
    std::function<bool()> m_rtspStarter;
    // The lists' view of the console's data module, when no other cache was set.
    std::unique_ptr<IMainListCache> m_pModuleCache;
    const void *m_pCacheModule = nullptr;
    bool m_created = false;

    SkinImageMap *m_pImageMap = nullptr;
    SplitScreenCtrlMapTable m_splitMap;
    int m_windowCount = 0;
    std::vector<TVideoWndCtrl *> m_videoWnds; // list position i shows in cell i
    bool m_singleVideo = false;
    std::vector<TVideoPopupForm *> m_popups; // oldest first; each frees itself when closed
    IPopupVideoSource *m_popupSource = nullptr;

    QShortcut *m_pFullScreenKey = nullptr;
    QShortcut *m_pExitFullScreenKey = nullptr;

    std::vector<TGroupCellCtrl *> m_groupCells;
    CUserListModel m_userRows;
    std::unique_ptr<CUserTilePool> m_pUserTiles;
    TScrollBarCtrl *m_pGroupScrollBar = nullptr;
    TScrollBarCtrl *m_pUserScrollBar = nullptr;

    TOperateButtonMap m_operateMap[kOperateButtonCount];
    std::vector<TButtonCtrl *> m_visibleButtons;
    int m_pageIndex = 0;
    TTaskButtonPair m_taskButtons[kTaskButtonCount];
    std::string m_chatImageName;
    TMapForm *m_pMapForm = nullptr;  // the map window; null until the first login completes
    TContactForm *m_pContactForm = nullptr; // the contacts book, created on first use
    std::unique_ptr<CMainDispatchHost> m_dispatchHost;
    std::unique_ptr<CDispatchLineTable> m_lineTable;
    std::unique_ptr<CIncomingSignalling> m_incoming;
    TCallAlertForm *m_pCallAlert = nullptr;
    std::unique_ptr<CMainOperationsHost> m_opsHost;
    std::unique_ptr<CCallOperations> m_ops;
    TVpAlertForm *m_pVpAlertForm = nullptr;
    std::function<bool(ST_VECT_USER_SELECT &)> m_forwardPicker;
    std::function<bool(const std::string &, std::vector<std::string> &)> m_pushPicker;
    mutable std::shared_ptr<CMainQuickActions> m_quick; // shared: its type is complete only in MainfrmStatus.cpp
};

// The one main window (null before it is created and after it is gone).
extern TMainForm *g_pMainForm;
