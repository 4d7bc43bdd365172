#pragma once
// The quick actions of the operate bar: the kind of selection each entry belongs to,
// the test that enables it, the tests of the four task buttons, and the reachability
// check the contacts book makes before it dials. The tests read the current selection,
// the dispatch lines, the server-data cache and a few flags of the main window; they
// change nothing. User-interface thread only.
#include "console/CurrentSelection.h"
#include "console/DispatchCacheReads.h"
#include "dispatch/DispatchLineTable.h"

#include <cstdint>
#include <string>

namespace zox::quick {

// The entries in bar order: 0..9 act on a server group, 10..23 on a user tile.
enum EN_ZOX_QUICK_ACTION : int {
    kQuickGroupVideoPush = 0,
    kQuickGroupStopVideo,
    kQuickGroupPttCall,
    kQuickGroupJoinPtt,
    kQuickGroupRelPtt,
    kQuickGroupVoiceConf,
    kQuickGroupVideoConf,
    kQuickGroupRelConf,
    kQuickGroupAddUser,
    kQuickGroupIm,
    kQuickUserVideoPush,
    kQuickUserStopVideo,
    kQuickUserPttCall,
    kQuickUserVoiceCall,
    kQuickUserVideoCall,
    kQuickUserHangup,
    kQuickUserIntrusion,
    kQuickUserForcedRel,
    kQuickUserMonitor,
    kQuickUserJoin,
    kQuickUserUeKill,
    kQuickUserUeRevive,
    kQuickUserVideoPreview,
    kQuickUserIm,
    kQuickActionCount
};

// The task buttons of the dispatch control panel, left to right.
enum EN_ZOX_TASK_BUTTON : int { kTaskChat = 0, kTaskEndCalls, kTaskSpeak, kTaskDial, kTaskButtonCount };

// Kind of an entry: 1 (a group action) or 2 (a user action); 0 for an index out of range.
int QuickActionKind(int index);

// Uploads that may run at once.
inline constexpr int kMaxUploadLines = 16;

// What the tests need from the window beyond the selection, the lines and the cache.
class IQuickActionHost {
public:
    virtual ~IQuickActionHost() = default;
    virtual bool IsVideoEnabled() const = 0;             // Video/VideoEnabled
    virtual uint8_t OwnPriority() const = 0;             // the console's priority level
    virtual bool IsBridgeReady() const = 0;              // the messaging bridge has its peer
    virtual bool HasRtspClient() const = 0;
    virtual bool IsRtspPlaying(int userType, const std::string &number) const = 0;
    virtual bool IsCallProgressShownInPanel() const = 0; // false without a call progress window
};

class CQuickActions {
public:
    CQuickActions(const ST_ZOX_CURRENT_SELECTION &selection, const CDispatchLineTable &lines, IQuickActionHost &host)
        : m_sel(selection), m_lines(lines), m_host(host)
    {
    }

    // The server-data cache (null: none; the tests that need it then fail).
    void SetCache(IDispatchCacheReads *cache) { m_cache = cache; }

    // The enable and visible tests of entry `index`; false out of range.
    bool IsEnabled(int index) const;
    bool IsVisible(int index) const;
    // The enable test of a task button; false out of range.
    bool IsTaskEnabled(int index) const;

    // Group actions.
    bool CanPushGroupVideo() const;
    bool CanStopGroupVideo() const;
    bool CanStartGroupPtt() const;
    bool CanJoinGroupPtt() const;
    bool CanReleaseGroupPtt() const;
    bool CanStartGroupConference() const;
    bool CanReleaseConference() const;
    bool CanAddUserToGroupCall() const;
    bool CanChatWithGroup() const;
    // User actions.
    bool CanPushUserVideo() const;
    bool CanStopUserVideo() const;
    bool CanStartUserPttCall() const;
    bool CanStartUserVoiceCall() const;
    bool CanStartUserVideoCall() const;
    bool CanHangupUser() const;
    bool CanBargeIntoUser() const;
    bool CanJoinUserToCall() const;
    bool CanKillTerminal() const;
    bool CanReviveTerminal() const;
    bool IsRtspPreviewAction() const;
    bool CanChatWithUser() const;
    // Task buttons.
    bool CanEndCalls() const;
    bool CanSpeak() const;
    bool CanShowDialPad() const;

    // Whether the contacts book may dial this number now.
    bool IsUserReachable(const std::string &number) const;

private:
    bool IsTargetRegistered() const;
    bool IsDispatchOrVehicle() const;
    bool IsNoCall() const;
    std::string GroupKey() const;
    int CountUploadLines() const;
    // The conference line: the first busy voice line whose session is a voice conference.
    const ST_ZOX_DISPATCH_LINE_INFO *ConferenceLine() const;
    bool IsSessionMemberOfKind(const std::string &number, int32_t kind) const;
    bool IsFirstMemberOfUpload(const std::string &number) const;
    bool AnyGroupMemberInGroupPtt() const;

    const ST_ZOX_CURRENT_SELECTION &m_sel;
    const CDispatchLineTable &m_lines;
    IQuickActionHost &m_host;
    IDispatchCacheReads *m_cache = nullptr;
};

} // namespace zox::quick
