#pragma once
// The dispatcher's call operations: the quick actions on the selected group or user
// (PTT, voice and video calls, conferences, intrusion, forced release, monitoring, video
// uploads, hang-ups, terminal kill and revive, chat), the starters of calls named by
// number (map page, dial pad, contacts book), the talk-burst request and release, the
// task buttons' end-all and chat program, the video tile's hang-up and stop-upload
// tools, and the main window's side of the call progress panel.
//
// A session operation takes a free dispatch line, creates its CDispatchSession, sends
// the request and arms the line (action, time limit, state); the answers are handled by
// CIncomingSignalling. A failed check or send ends an operation without a word to the
// dispatcher and leaves no session behind. Everything outside the lines and sessions
// (the selection, the cache, the tiles, the status panes, the panel, the chat program)
// is reached through ICallOperationsHost. User-interface thread only.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "console/CurrentSelection.h"
#include "core/ZoxCacheRecords.h"
#include "dispatch/DispatchLineTable.h"
#include "dispatch/DispatchSession.h"

// One entry of the add-to menu of "Join...": a separator, or a caption with the id of
// the conference group or PTT group it adds to.
struct ST_ZOX_ADDTO_ITEM {
    std::string caption;
    uint32_t tag = 0;
    bool separator = false;
};

class ICallOperationsHost {
public:
    virtual ~ICallOperationsHost() = default;
    virtual CDispatchLineTable &Lines() = 0;
    virtual IDispatchSessionHost &SessionHost() = 0;
    virtual const ST_ZOX_CURRENT_SELECTION &Selection() const = 0;
    // The console's own number (the sender of the sessionless setups).
    virtual std::string OwnNumber() const = 0;

    // The server-data cache: list reads give 0 or -1 (no rows then); a group: true when found.
    virtual bool GetSystemGroup(uint32_t groupId, ST_ZOX_SYSTEM_GROUP &group) = 0;
    virtual int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups) = 0;
    virtual int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    // Members that are listed, registered and idle.
    virtual int GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;
    // Users in a call with this call reference.
    virtual int GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &users) = 0;

    // A free tile of the video wall; null when none.
    virtual IDispatchTile *GetFreeVideoWindow() = 0;
    virtual void ShowDispatchStatus(int kind, const std::string &object, const std::string &speaker) = 0;
    virtual void SetSpeakerText(const std::string &text) = 0;
    virtual void UpdateOperateButtons() = 0;

    // The messaging bridge.
    virtual bool IsBridgeReady() const = 0;
    virtual void BeginChat(int kind, int groupId, const std::string &number) = 0;
    // The user picker of "Add User": true with a number (and name) chosen.
    virtual bool PickUserToAdd(std::string &number, std::string &name) = 0;
    // The chat program: whether the file exists, and its start (true when started).
    virtual bool FileExists(const std::string &path) const = 0;
    virtual bool StartProgram(const std::string &path, const std::vector<std::string> &arguments) = 0;
    virtual std::string WorkingDirectory() const = 0;

    // The call progress panel: shown with a number ("Calling ...", hang-up mode), created
    // on first use and docked in the prompt panel.
    virtual void ShowProgressPanel(const std::string &number) = 0;
    virtual bool HasProgressPanel() const = 0;
    virtual bool IsProgressPanelShown() const = 0;
    virtual void SetProgressStatus(const std::string &text, int buttonMode) = 0;
    virtual std::string ProgressNumber() const = 0;
    // Undocks and hides the panel (and the prompt panel when it holds nothing else).
    virtual void HideProgressPanel() = 0;
    // Runs `action` once after `ms` on this thread, unless the host is gone by then.
    virtual void RunLater(int ms, std::function<void()> action) = 0;
};

class CCallOperations {
public:
    // Results of StartVideoUpload.
    static constexpr int kUploadStarted = 0;
    static constexpr int kUploadNoNumber = -1;
    static constexpr int kUploadNoLine = -2;
    static constexpr int kUploadNoTile = -3;
    static constexpr int kUploadRefused = -4;
    static constexpr int kUploadNoInstance = -5;
    static constexpr int kMaxUploads = 16;
    static constexpr int kRedialPauseMs = 500;
    static constexpr const char *kChatProgram = "quorva/Quorva.exe";
    static constexpr const char *kChatArgument = "dispatcher";

    explicit CCallOperations(ICallOperationsHost &host) : m_host(host) {}

    // Session operations on the selection; 0 when the request went out.
    int StartGroupPttCall();
    int JoinGroupPttCall();
    int StartGroupVoiceConference();
    int StartSelectedUserPttCall();
    int StartSelectedUserVoiceCall();
    int StartSelectedUserVideoCall();
    int IntrudeSelectedUser();
    int ForceReleaseSelectedUser();
    int MonitorSelectedUser();
    // instance -1: from the pool; else the number the server chose. kUpload* results.
    int StartVideoUpload(const std::string &number, const std::string &name, int32_t instance);

    // Releases of a line's session; 0 when the request went out.
    int HangupLine(ST_ZOX_DISPATCH_LINE_INFO *line);
    int HangupVideoWindow(const std::string &number, const std::string &name);
    int ReleaseGroupPttLine(ST_ZOX_DISPATCH_LINE_INFO *line);
    int ExitPttSession();
    int ReleaseConferenceLine(ST_ZOX_DISPATCH_LINE_INFO *line);
    int StopVideoUploadOfWindow(const std::string &number, const std::string &name);

    // Requests without a session; 0 when sent.
    int ForceHangupSelectedUser();
    int KillSelectedTerminal();
    int ReviveSelectedTerminal();
    int AddUserToPttCall(uint32_t groupId, const std::string &number, const std::string &name);

    // Other quick actions.
    int ReleaseConference();
    int ReleaseGroupPttCall();
    // The number of video calls started.
    int StartGroupVideoConference();
    int StartSelectedUserVideoUpload();
    int StopSelectedUserVideoUpload();
    // The number of uploads started / stopped.
    int StartGroupVideoUpload();
    int StopGroupVideoUpload();
    int AddUserToGroupCall();
    int AddConferenceMember(ST_ZOX_DISPATCH_LINE_INFO *line, const std::string &number, const std::string &name);
    // The entries of the add-to menu for the selected user (empty: no menu).
    std::vector<ST_ZOX_ADDTO_ITEM> BuildAddToMenu();
    static void AddAddToMenuItem(std::vector<ST_ZOX_ADDTO_ITEM> &menu, const std::string &kindText,
                                 const std::string &name, uint32_t tag);
    // A chosen entry of the add-to menu; 0 when the user was added.
    int OnAddToMenuItem(const std::string &caption, uint32_t tag);
    bool BeginGroupChat();
    bool BeginUserChat();
    int RequestTalkBurst();
    int ReleaseTalkBurst();
    // The number of lines released.
    int EndAllCalls();
    int HangupVideoCalls();
    bool StartChatProgram();

    // Starters of calls named by number (lists keep their order); 0 when started.
    int StartPttCall(const std::string &number);
    int StartPttGroupCall(const std::vector<std::string> &numbers);
    int StartVoiceGroupCall(const std::vector<std::string> &numbers);
    int StartVoiceConference(const std::vector<std::string> &numbers);
    int StartVoiceCall(const std::string &number);
    int StartVideoCall(const std::string &number);
    // The number of video calls started.
    int StartVideoGroupCall(const std::vector<std::string> &numbers);
    int StartUserVideoUpload(const std::string &number);

    // The call progress panel.
    void ShowCallProgress(const std::string &number);
    void SetCallProgressStatus(const std::string &text, int buttonMode);
    // Shows the panel and dials; 0 when the call started.
    int DialNumber(const std::string &number);
    // Shows the panel afresh and dials its number after a pause, while it still shows it.
    void RedialCallProgress();
    void HideCallProgress();
    // Hides the panel and hangs up the voice lines that call its number.
    int CancelCallProgress();
    void OnCallLineStateChanged(int32_t oldState, int32_t newState);
    bool IsRedialPending() const { return m_redialPending; }

private:
    struct SessionStart;
    enum class Barge { Intrude, ForceRelease, Monitor };

    int StartSession(ST_ZOX_DISPATCH_LINE_INFO *line, const SessionStart &start);
    int StartListCall(const std::vector<std::string> &numbers, uint32_t type, int32_t action, bool needsNoCall);
    int BargeIntoSelectedUser(Barge how);
    int ReleaseLineSession(ST_ZOX_DISPATCH_LINE_INFO *line, uint32_t type, int32_t action, const std::string &operation);
    int SendSessionless(const std::vector<uint8_t> &bytes);
    // Dials without showing the panel first.
    int Dial(const std::string &number);
    bool IsGroupSelected() const;
    bool IsUserSelected() const;
    bool IsRegistered(const ST_ZOX_SYSTEM_USER &user) const { return user.regState != 0 && user.regState != 3; }
    std::vector<std::string> UploadingNumbers() const;
    ST_ZOX_DISPATCH_LINE_INFO *ConnectedConferenceLine() const;

    ICallOperationsHost &m_host;
    ST_ZOX_DISPATCH_LINE_INFO *m_lastStarted = nullptr; // the line of the last session started
    bool m_redialPending = false;
};
