#pragma once
// CDispatchSession: the console's record of one call with the dispatch server (a voice
// or video call, a PTT private or group call, a conference, a monitoring, intrusion or
// forced-release join, or a video upload asked of a terminal). It holds the call's
// identity on the wire (instance number, the peer's reference), its service type and
// media kind, its members and state, builds the call-signalling and video-push
// datagrams the call sends and reads the answers. It reaches the world (the link, the
// cache, the media layer, the sounds, the main window's selection and preview) only
// through IDispatchSessionHost. User-interface thread only.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/ZoxCacheRecords.h"
#include "dispatch/CallMessages.h"
#include "dispatch/SessionInstancePool.h"

enum EN_ZOX_SERVICE_TYPE : uint32_t {
    kServiceCall = 1,
    kServiceRelease = 3,
    kServiceIntrude = 6,
    kServiceForceRelease = 7,
    kServiceForceHangup = 8,
    kServiceMonitor = 9,
    kServiceConference = 14,
    kServiceAdHocGroup = 15,
    kServiceReleaseConference = 17,
    kServiceAddConferenceMember = 18,
    kServicePttPrivate = 31,
    kServicePttGroup = 32,
    kServicePttJoinGroup = 34,
    kServicePttLeave = 35,
    kServicePttIntrude = 36,
    kServicePttForceRelease = 37,
    kServicePttMonitor = 38,
    kServicePttForceHangup = 39,
    kServiceKillTerminal = 40,
    kServiceReviveTerminal = 41,
    kServicePttReleaseGroup = 42,
    kServicePttAddUser = 43,
    kServiceIncomingGroup = 45,
};

enum EN_ZOX_MEDIA_KIND : uint32_t {
    kMediaNone = 0,
    kMediaVoice = 1,
    kMediaVideoCall = 2,
    kMediaPttAudio = 3,
    kMediaVideoUpload = 4,
};

enum EN_ZOX_SESSION_STATE : int32_t {
    kSessionIdle = 0,
    kSessionRequested = 1,
    kSessionAlerting = 2,
    kSessionOpen = 3,
    kSessionReleasing = 5,
};

// States of a video tile that a session drives.
inline constexpr int kTileFree = 0;
inline constexpr int kTileStarting = 1;
inline constexpr int kTilePlaying = 2;

// The video tile bound to a session (owned by its window, never by the session).
class IDispatchTile {
public:
    virtual ~IDispatchTile() = default;
    virtual void SetState(int state) = 0;
    virtual std::string GetUserNumber() const = 0;
    // Selects the tile as the dispatcher's click would.
    virtual void Click() = 0;
    virtual void Deselect() = 0;
    // The native window the received video renders into; 0 without one.
    virtual uintptr_t GetHandle() const { return 0; }
    virtual void SetUser(const std::string & /*displayName*/, const std::string & /*number*/, int /*userType*/) {}
    // 1 a call, 0 an upload.
    virtual void SetService(int /*service*/) {}
    virtual void SetRecording(bool /*on*/) {}
    virtual void SetVideoSize(uint32_t /*width*/, uint32_t /*height*/) {}
};

// The media session of one call (created for soft-phone lines only). Releasing the
// object stops the media and its recording.
class IDispatchMedia {
public:
    virtual ~IDispatchMedia() = default;
    virtual uint16_t LocalAudioPort() const = 0;
    virtual uint16_t LocalVideoPort() const = 0;
    // Configures the remote side from the session and starts; 0 or a negative code.
    virtual int Start() = 0;
    // The id of the manager's video session, 0 without one.
    virtual uint64_t VideoSessionId() const = 0;
    // Records the call's video into `path` (never over an existing file): 0 or -1.
    virtual int StartRecord(const std::string & /*path*/) { return -1; }
    virtual void StopRecord() {}
    // Sends a talk-burst message (0 request, 4 release) on the audio; 0 or -1.
    virtual int SendTalkBurst(uint8_t /*subtype*/) { return -1; }
    // Sends the video of `other` out with this media (a video share), or stops it: 0 or -1.
    virtual int AddVideoShare(IDispatchMedia & /*other*/) { return -1; }
    virtual int RemoveVideoShare(IDispatchMedia & /*other*/) { return -1; }
};

class CDispatchSession;

class IDispatchSessionHost {
public:
    virtual ~IDispatchSessionHost() = default;
    // The dispatch link: bytes sent, 0 or below on failure.
    virtual int SendUdp(const uint8_t *data, std::size_t length) = 0;
    virtual CSessionInstancePool &InstancePool() = 0;
    virtual uint32_t OwnUserId() const = 0;
    // System/LocalIpAddr in network byte order.
    virtual uint32_t LocalIp() const = 0;
    // The media of a session, with its local ports bound; null when it cannot be made.
    virtual std::unique_ptr<IDispatchMedia> CreateMedia(CDispatchSession &session) = 0;
    // The cached row of a user; false when the cache does not know it.
    virtual bool GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) = 0;
    virtual void StartRingBack() = 0;
    // The number of the selected user tile; empty while the selection is not a user.
    virtual std::string SelectedUserNumber() const = 0;
    virtual void HideLocalPreview() = 0;
    // Drops a video call from the video shares of the conference audio channel.
    virtual void RemoveConferenceVideoShare(CDispatchSession &session) = 0;
    // Video/RecordPath: the folder of the call recordings.
    virtual std::string RecordFolder() const { return {}; }
};

struct ST_ZOX_SESSION_MEMBER {
    std::string number;
    uint8_t flag1 = 0;
    uint8_t flag2 = 0;
};

class CDispatchSession {
public:
    static constexpr std::size_t kMaxSetupMembers = 30;
    static constexpr uint32_t kMaxIncomingMembers = 30;
    static constexpr uint32_t kMaxJoinMembers = 32;
    static constexpr std::size_t kMaxPushTargets = 16;

    CDispatchSession(IDispatchSessionHost &host, uint32_t serviceType, uint32_t mediaKind);
    // Closes the media side and returns the instance number; sends nothing.
    ~CDispatchSession();
    CDispatchSession(const CDispatchSession &) = delete;
    CDispatchSession &operator=(const CDispatchSession &) = delete;

    int32_t GetInstance() const { return m_instance; }
    bool IsInstance(int32_t number) const { return m_instance == number; }
    // Claims a number the server chose (1..32, not in use); false leaves the session as it was.
    bool SetInstance(int32_t number);

    void SetLocalParty(const std::string &lineNumber, uint8_t hasMedia, uint8_t videoFlag);
    const std::string &GetLocalNumber() const { return m_localNumber; }
    void SetVideoWindow(IDispatchTile *tile) { m_videoWnd = tile; }
    IDispatchTile *GetVideoWindow() const { return m_videoWnd; }
    void SetState(int32_t state) { m_state = state; }
    int32_t GetState() const { return m_state; }
    void SetOperationAndPeer(const std::string &operation, const std::string &peerText);
    const std::string &GetOperationText() const { return m_operation; }
    const std::string &GetPeerName() const { return m_peerText; }
    void SetPeerGroup(uint32_t id, const std::string &groupName);
    const std::string &GetPeerGroupName() const { return m_groupName; }
    uint32_t GetPeerId() const { return m_peerId; }
    uint32_t GetServiceType() const { return m_serviceType; }
    uint32_t GetMediaKind() const { return m_mediaKind; }
    IDispatchMedia *GetSessionMgr() const { return m_media.get(); }
    uint64_t GetMediaSessionId() const { return m_media ? m_media->VideoSessionId() : 0; }
    bool HasLocalPreview() const { return m_localPreview != 0; }
    void SetLocalPreview(bool on) { m_localPreview = on ? 1 : 0; }
    bool HasMedia() const { return m_hasMedia != 0; }
    bool HasVideoFlag() const { return m_videoFlag != 0; }
    uint32_t GetPeerRef() const { return m_peerRef; }
    uint32_t GetRemoteIp() const { return m_remoteIp; }
    uint16_t GetRemoteAudioPort() const { return m_remoteAudioPort; }
    uint16_t GetRemoteVideoPort() const { return m_remoteVideoPort; }
    uint16_t GetLocalAudioPort() const { return m_localAudioPort; }
    uint16_t GetLocalVideoPort() const { return m_localVideoPort; }
    uint32_t GetLocalIp() const { return m_localIp; }

    // Members, in the order added; numbers compare case-sensitively.
    void AddMember(const std::string &number);
    void RemoveMember(const std::string &number);
    bool HasMember(const std::string &number) const;
    std::string GetFirstMember() const;
    const std::vector<ST_ZOX_SESSION_MEMBER> &Members() const { return m_members; }
    // Removes the members that left the call with this reference; the count removed.
    int CheckMembersOnline(const std::string &callRef);

    // 0, or -1 when the media did not start (state 0 then).
    int Open();
    // Ends the media side; sends nothing; 0.
    int Close();

    // Recording of the call's video as <folder>/<YYYYMM>/<name>_<YYYYMMDDhhmmss>.264:
    // 0, -1 (already recording or no media) or -2 (no file name free or refused).
    int StartRecord(const std::string &name);
    int StopRecord();
    // Stops a running recording, or starts one on an open call; -1 otherwise.
    int ToggleRecord(const std::string &name);
    // A talk-burst message on a PTT call's audio; -1 on any other call.
    int SendRtcpEvent(uint8_t subtype);
    // The video of another call as a video share of this one: 0, or -1 when either
    // side has no media (or the media layer refuses).
    int AddVideoShare(CDispatchSession *other);
    int RemoveVideoShare(CDispatchSession *other);

    // Builders: 0, or the negative code of the failure (logged).
    int SendSetupRequest(uint32_t type);
    int SendSetupResponse(uint8_t typeByte, uint8_t result);
    int SendJoinRequest(uint32_t type, const std::string &target);
    int SendModifyRequest(uint32_t type, const std::string &target);
    int SendReleaseRequest(uint32_t type, const std::string &number);
    int SendReleaseResponse(uint32_t peerRef, uint32_t type);
    int SendVpSetupRequest(uint32_t type);
    int SendVpReleaseRequest();

    // Parsers of the answers; the caller has checked the minimum length.
    int OnSetupRequest(const uint8_t *data, std::size_t length);
    int OnSetupResponse(const uint8_t *data, std::size_t length);
    int OnJoinResponse(const uint8_t *data, std::size_t length);
    int OnReleaseRequest(const uint8_t *data, std::size_t length);
    int OnReleaseResponse(const uint8_t *data, std::size_t length);
    int OnVpSetupResponse(const uint8_t *data, std::size_t length);
    int OnVpReleaseRequest(const uint8_t *data, std::size_t length);
    int OnVpReleaseResponse(const uint8_t *data, std::size_t length);

    // Recording record of the call (run by the media side).
    uint8_t recording = 0;
    std::string recordPath;
    std::string recordName;
    std::string recordStart;
    std::string recordStop;

private:
    int Send(const zox::call::Bytes &bytes);
    zox::call::CallMessage NewMessage(uint32_t senderRef) const;
    zox::call::MediaBlock Block(uint16_t port) const;
    int CreateMedia();
    int StartMedia();
    void SetTileState(int state);
    void TakeRemoteMedia(const zox::call::CallMessage &msg);

    IDispatchSessionHost &m_host;
    uint32_t m_ownId;
    int32_t m_instance;
    uint32_t m_peerRef = kNoReference;
    uint32_t m_localIp;
    uint32_t m_remoteIp = 0; // network order
    uint16_t m_localAudioPort = 0;
    uint16_t m_remoteAudioPort = 0;
    uint16_t m_localVideoPort = 0;
    uint16_t m_remoteVideoPort = 0;
    uint32_t m_serviceType;
    uint32_t m_mediaKind;
    uint8_t m_videoFlag = 0;
    IDispatchTile *m_videoWnd = nullptr;
    uint8_t m_localPreview = 0;
    std::unique_ptr<IDispatchMedia> m_media;
    uint32_t m_peerId = 0;
    int32_t m_state = kSessionIdle;
    std::vector<ST_ZOX_SESSION_MEMBER> m_members;
    std::string m_operation;
    std::string m_peerText;
    std::string m_groupName;
    std::string m_localNumber;
    uint8_t m_hasMedia = 0;
};

// The video-push notify of a session to its targets (at most 16 are written): 0, or -2
// when the send failed.
int SendVpNotify(IDispatchSessionHost &host, const CDispatchSession &session, std::vector<std::string> targets);
