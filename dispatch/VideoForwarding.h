#pragma once
// Passing the video a tile shows on to other users: media forwarding from a camera,
// vehicle or call into the console's connected video calls (picked in a check list),
// and for an upload also a video-push notice that asks the terminals of users not in a
// video call with the console to receive the uploading user's video (picked in the
// push-target dialog). The decisions live here; the dialogs, the RTSP client and the
// media layer are reached through IVideoForwardHost. User-interface thread only.
#include <cstdint>
#include <string>
#include <vector>

#include "dispatch/DispatchLineTable.h"
#include "dispatch/DispatchSession.h"
#include "dispatch/UserSelectItem.h"

struct tmedia_session_mgr_t;

// Services of a tile's Forward tool.
inline constexpr int kForwardUpload = 0;
inline constexpr int kForwardCall = 1;
inline constexpr int kForwardRtsp = 2;

class IVideoForwardHost {
public:
    virtual ~IVideoForwardHost() = default;
    virtual CDispatchLineTable &Lines() = 0;
    virtual IDispatchSessionHost &SessionHost() = 0;
    // The RTSP video session of a vehicle (1) or camera (2); null without one or
    // without the RTSP client.
    virtual tmedia_session_mgr_t *RtspMediaSession(int userType, const std::string &number) = 0;
    // The media manager of a call; null without one.
    virtual tmedia_session_mgr_t *CallMediaSession(const CDispatchSession &session) = 0;
    // The media layer: 0 on success.
    virtual int AddVideoForward(tmedia_session_mgr_t *source, tmedia_session_mgr_t *target) = 0;
    virtual int RemoveVideoForward(tmedia_session_mgr_t *source, tmedia_session_mgr_t *target) = 0;
    // The ids of the video sessions `source` forwards to (at most `capacity`); the count, or -1.
    virtual int GetVideoForwardSid(tmedia_session_mgr_t *source, uint64_t *ids, int capacity) = 0;
    // The check list of the forwarding targets, shown modally: true on OK, with the
    // rows' checked flags as the dispatcher left them.
    virtual bool PickForwardUsers(ST_VECT_USER_SELECT &list) = 0;
    // The push-target dialog with `uploader` excluded, shown modally: true on OK, with
    // the chosen numbers in list order.
    virtual bool PickPushTargets(const std::string &uploader, std::vector<std::string> &chosen) = 0;
};

class CVideoForwarding {
public:
    static constexpr int kMaxForwards = 16;

    explicit CVideoForwarding(IVideoForwardHost &host) : m_host(host) {}

    // The Forward tool of a tile (service 0 upload, 1 video call, 2 RTSP preview).
    void OnForwardVideo(int userType, const std::string &number, int service);
    // One row per connected video call with a first member, in line order; preset when
    // the source already forwards to that call's video session.
    void BuildForwardUserList(tmedia_session_mgr_t *source, ST_VECT_USER_SELECT &list);
    // The Forward tool of an upload tile: media forwards to the chosen users in a video
    // call with the console, one video-push notice for the rest.
    void ForwardUserVideo(const std::string &number);

private:
    tmedia_session_mgr_t *FindSource(int userType, const std::string &number, int service);
    std::vector<uint64_t> ForwardIds(tmedia_session_mgr_t *source);
    std::vector<CDispatchSession *> ConnectedVideoCalls() const;

    IVideoForwardHost &m_host;
};
