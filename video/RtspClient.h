#pragma once
// The console's entry point to RTSP video: owns every RTSP session, finds the session
// of a camera or vehicle by its key, and offers the wall, the popups and the tiles a
// few operations by owner type (1 vehicle, 2 camera) and number.
//
// One lock guards the session map: the user-interface thread finds and adds sessions,
// timer threads find them (IsPlaying), and a session that terminates is taken out of
// the map at once on whichever thread ended it; it is then destroyed on the
// user-interface thread, never inside its own callback.
#include "core/ZoxCacheRecords.h"
#include "host/WindowMessage.h"
#include "medialib/RtspStack.h"
#include "video/PingSession.h"
#include "video/VideoTile.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CRtspSession;
struct tmedia_session_mgr_t;

// Where the client reads cameras and vehicles (the server-data cache and the vehicle
// platform in the program; fakes in tests).
class IRtspClientSource {
public:
    virtual ~IRtspClientSource() = default;
    // 0 with the row filled, else failure.
    virtual int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) = 0;
    // Every camera row: 0 with the rows, else failure.
    virtual int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> & /*cameras*/) { return -1; }
    virtual int GetDisplayName(const std::string &number, std::string &name) = 0;
    // The vehicle's RTSP URL and the vehicle platform's media server: 0 when known.
    virtual int GetVehicleRtsp(const std::string &number, std::string &url, std::string &serverIp,
                               uint16_t &serverPort) = 0;
};

// The program's source: cameras and display names from the server-data cache
// (g_pZoxDataModule), vehicle addresses from the vehicle-platform link
// (g_pCMSDataModule, VehicleRtspOf).
IRtspClientSource *DefaultRtspClientSource();

class TCMSDataModule;
// A vehicle's RTSP URL from the vehicle-platform link, and the link's media server
// (address text and port, converted from the configured text). 0 when all three are
// known; -1 without a link, when the link has no URL for the vehicle, or when the
// configured port is not a number from 1 to 65535 (logged).
int VehicleRtspOf(TCMSDataModule *link, const std::string &number, std::string &url, std::string &serverIp,
                  uint16_t &serverPort);

class CRtspClient : public IPingSessionOwner {
public:
    static constexpr int kOwnerVehicle = 1;
    static constexpr int kOwnerCamera = 2;
    static constexpr int kMediaVideo = 4;
    static constexpr int kMediaAudio = 2;

    explicit CRtspClient(IRtspClientSource *source = nullptr);
    ~CRtspClient() override;
    CRtspClient(const CRtspClient &) = delete;
    CRtspClient &operator=(const CRtspClient &) = delete;

    int Start();

    // --- Camera online checks (user-interface thread) ---
    // Where the checks' verdicts go as WM_CAMERA_STATE (the main window); none: dropped.
    void SetCameraStateWindow(WindowHandle window) { m_stateWindow = window; }
    // Poll periods of the checks created from now on (tests shorten them).
    void SetPingTiming(const PingTiming &timing) { m_pingTiming = timing; }
    // A check for every enabled camera of the cache.
    int LoadCameras();
    // A check for every enabled camera that has none yet (after a camera was added).
    int AddCameraPingSessions();
    // The camera's check replaced by one from its row as the cache holds it now (none
    // when it is disabled); nothing changes when the row cannot be read.
    int ReloadCamera(uint32_t cid);
    void AddPingSession(const ST_ZOX_RTSP_CAMERA &camera);
    CPingSession *FindPingSession(uint32_t cid);
    size_t PingSessionCount() const { return m_pings.size(); }

    // IPingSessionOwner (any thread).
    void OnCameraState(uint32_t cid, int online) override;

    static std::string MakeSessionKey(int ownerType, const std::string &number, int mediaKind);
    CRtspSession *FindSession(int ownerType, const std::string &number, int mediaKind);
    void AddSession(int ownerType, const std::string &number, int mediaKind, CRtspSession *session);
    void RemoveSession(int ownerType, const std::string &number, int mediaKind);

    bool IsPlaying(int ownerType, const std::string &number) override; // any thread
    int PlayVideo(int ownerType, const std::string &number, IVideoTile *tile);
    int PlayCamera(const std::string &cid, IVideoTile *tile);
    int PlayVehicleVideo(const std::string &number, IVideoTile *tile);
    int PlayVehicleAudio(const std::string &number, IVideoTile *tile);
    void StopVideo(int ownerType, const std::string &number);
    int ToggleRecord(int ownerType, const std::string &number);
    int ToggleVehicleAudio(int ownerType, const std::string &number, IVideoTile *tile);
    int MoveVideo(int ownerType, const std::string &number, IVideoTile *tile);
    // The owner frees tile: the video and audio sessions of the number let go of it.
    void DetachTile(int ownerType, const std::string &number, IVideoTile *tile);
    tmedia_session_mgr_t *GetMediaSession(int ownerType, const std::string &number);

    size_t SessionCount();

private:
    struct Entry;
    static int OnSessionTerminated(const void *data);
    static int OnStackEvent(const trtsp_event_t *e);
    // The session of the key to start again; null when there is none or it has
    // terminated (then it is taken out and destroyed later: the caller creates anew).
    CRtspSession *FindReusableSession(int ownerType, const std::string &number, int mediaKind);
    int PlayVehicle(const std::string &number, IVideoTile *tile, int mediaKind);
    int Register(int ownerType, const std::string &number, int mediaKind, CRtspSession *session, IVideoTile *tile);

    trtsp_stack_t *m_stack = nullptr;
    std::mutex m_lock;
    std::map<uint32_t, std::unique_ptr<CPingSession>> m_pings; // user-interface thread
    WindowHandle m_stateWindow = nullptr;
    PingTiming m_pingTiming;
    std::map<std::string, std::unique_ptr<Entry>> m_sessions; // m_lock
    bool m_closing = false;                                     // m_lock
    IRtspClientSource *m_source;
};

extern CRtspClient *g_pRtspClient;

// Creates and starts the one client (g_pRtspClient) and loads the camera checks, whose
// verdicts go to stateWindow; false (and no client) when the start failed.
// StopRtspClient destroys it.
bool StartRtspClient(WindowHandle stateWindow = nullptr);
void StopRtspClient();
