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
#include "medialib/RtspStack.h"
#include "video/VideoTile.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

class CRtspSession;
struct tmedia_session_mgr_t;

// Where the client reads cameras and vehicles (the server-data cache and the vehicle
// platform in the program; fakes in tests).
class IRtspClientSource {
public:
    virtual ~IRtspClientSource() = default;
    // 0 with the row filled, else failure.
    virtual int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) = 0;
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

class CRtspClient {
public:
    static constexpr int kOwnerVehicle = 1;
    static constexpr int kOwnerCamera = 2;
    static constexpr int kMediaVideo = 4;
    static constexpr int kMediaAudio = 2;

    explicit CRtspClient(IRtspClientSource *source = nullptr);
    ~CRtspClient();
    CRtspClient(const CRtspClient &) = delete;
    CRtspClient &operator=(const CRtspClient &) = delete;

    int Start();

    static std::string MakeSessionKey(int ownerType, const std::string &number, int mediaKind);
    CRtspSession *FindSession(int ownerType, const std::string &number, int mediaKind);
    void AddSession(int ownerType, const std::string &number, int mediaKind, CRtspSession *session);
    void RemoveSession(int ownerType, const std::string &number, int mediaKind);

    bool IsPlaying(int ownerType, const std::string &number); // any thread
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
    int PlayVehicle(const std::string &number, IVideoTile *tile, int mediaKind);
    int Register(int ownerType, const std::string &number, int mediaKind, CRtspSession *session, IVideoTile *tile);

    trtsp_stack_t *m_stack = nullptr;
    std::mutex m_lock;
    std::map<std::string, std::unique_ptr<Entry>> m_sessions; // m_lock
    bool m_closing = false;                                     // m_lock
    IRtspClientSource *m_source;
};

extern CRtspClient *g_pRtspClient;

// Creates and starts the one client (g_pRtspClient); false (and no client) when the
// start failed. StopRtspClient destroys it.
bool StartRtspClient();
void StopRtspClient();
