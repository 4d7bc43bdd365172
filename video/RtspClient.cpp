#include "video/RtspClient.h"
#include "core/Log.h"
#include "core/ZoxDataModule.h"
#include "core/ZoxLoginCache.h"
#include "platforms/CmsDataModule.h"
#include "video/RtspSessions.h"
#include "video/UiThread.h"

#include <cstdio>

CRtspClient *g_pRtspClient = nullptr;

namespace {
class CacheSource : public IRtspClientSource {
public:
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->GetRtspCamera(cid, camera) : -1;
    }
    int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->GetRtspCameras(cameras) : -1;
    }
    int GetDisplayName(const std::string &number, std::string &name) override
    {
        return g_pZoxDataModule ? g_pZoxDataModule->GetDisplayName(number, name) : -1;
    }
    int GetVehicleRtsp(const std::string &number, std::string &url, std::string &serverIp, uint16_t &serverPort) override
    {
        return VehicleRtspOf(g_pCMSDataModule, number, url, serverIp, serverPort);
    }
};

// The configured port text as a port number: decimal digits only, 1 to 65535.
bool PortOfText(const std::string &text, uint16_t &port)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    unsigned long v = std::stoul(text);
    if (v == 0 || v > 65535)
        return false;
    port = static_cast<uint16_t>(v);
    return true;
}
} // namespace

int VehicleRtspOf(TCMSDataModule *link, const std::string &number, std::string &url, std::string &serverIp,
                  uint16_t &serverPort)
{
    if (!link)
        return -1;
    std::string address;
    if (link->BuildRtspUrl(number, address) != 0)
        return -1;
    uint16_t port = 0;
    if (!PortOfText(link->GetMediaServerPort(), port)) {
        // A session towards port 0 (or a port cut to 16 bits) could never reach the server.
        WriteLog("rtsp-client: vehicle media server port [%s] is not a port number, cannot play video[%s]",
                 link->GetMediaServerPort().c_str(), number.c_str());
        return -1;
    }
    url = address;
    serverIp = link->GetMediaServerIp();
    serverPort = port;
    return 0;
}

IRtspClientSource *DefaultRtspClientSource()
{
    static CacheSource source;
    return &source;
}

// A registered session and what its terminated callback needs.
struct CRtspClient::Entry {
    CRtspClient *client;
    std::string key;
    std::unique_ptr<CRtspSession> session;
};

CRtspClient::CRtspClient(IRtspClientSource *source) : m_source(source ? source : DefaultRtspClientSource()) {}

CRtspClient::~CRtspClient()
{
    // The camera checks stop before anything else (they read the session map and post
    // through the client).
    m_pings.clear();
    std::map<std::string, std::unique_ptr<Entry>> sessions;
    {
        std::lock_guard<std::mutex> lk(m_lock);
        m_closing = true;
        sessions.swap(m_sessions);
    }
    for (auto &kv : sessions)
        kv.second->session.reset();
    sessions.clear();
    if (m_stack) {
        trtsp_stack_stop(m_stack);
        tsk_object_unref(m_stack);
    }
}

int CRtspClient::Start()
{
    if (!m_stack) {
        std::string ip = RtspClientIpText();
        m_stack = trtsp_stack_create(&CRtspClient::OnStackEvent, ip.c_str(), this);
        if (!m_stack) {
            WriteLog("rtsp-client: create rtsp stack exception!");
            return -1;
        }
    }
    int rc = trtsp_stack_start(m_stack);
    if (rc == 0)
        WriteLog("rtsp-client: rtsp stack start success.");
    else
        WriteLog("rtsp-client: start rtsp stack exception!");
    return rc;
}

int CRtspClient::LoadCameras()
{
    std::vector<ST_ZOX_RTSP_CAMERA> cameras;
    if (m_source->GetRtspCameras(cameras) != 0)
        return -1;
    for (const ST_ZOX_RTSP_CAMERA &c : cameras)
        if (c.enabled != 0 && !FindPingSession(c.cid))
            AddPingSession(c);
    return 0;
}

int CRtspClient::AddCameraPingSessions() { return LoadCameras(); }

int CRtspClient::ReloadCamera(uint32_t cid)
{
    char text[16];
    std::snprintf(text, sizeof text, "%u", cid);
    ST_ZOX_RTSP_CAMERA row;
    if (m_source->GetRtspCamera(text, row) != 0)
        return -1;
    m_pings.erase(cid); // the old check ends before its successor starts
    if (row.enabled != 0)
        AddPingSession(row);
    return 0;
}

void CRtspClient::AddPingSession(const ST_ZOX_RTSP_CAMERA &camera)
{
    auto &slot = m_pings[camera.cid];
    slot.reset(); // a caller that adds twice replaces; never two checks of one camera
    slot = std::make_unique<CPingSession>(camera, this, m_pingTiming);
}

CPingSession *CRtspClient::FindPingSession(uint32_t cid)
{
    auto it = m_pings.find(cid);
    return it == m_pings.end() ? nullptr : it->second.get();
}

void CRtspClient::OnCameraState(uint32_t cid, int online)
{
    if (m_stateWindow)
        PostWindowMessage(m_stateWindow, WM_CAMERA_STATE, cid, online);
}

std::string CRtspClient::MakeSessionKey(int ownerType, const std::string &number, int mediaKind)
{
    return "##" + std::to_string(ownerType) + "@@" + std::to_string(mediaKind) + "@@" + number + "##";
}

CRtspSession *CRtspClient::FindSession(int ownerType, const std::string &number, int mediaKind)
{
    std::lock_guard<std::mutex> lk(m_lock);
    auto it = m_sessions.find(MakeSessionKey(ownerType, number, mediaKind));
    return it == m_sessions.end() ? nullptr : it->second->session.get();
}

void CRtspClient::AddSession(int ownerType, const std::string &number, int mediaKind, CRtspSession *session)
{
    if (!session)
        return;
    auto e = std::make_unique<Entry>();
    e->client = this;
    e->key = MakeSessionKey(ownerType, number, mediaKind);
    e->session.reset(session);
    session->SetTerminatedCallback(&CRtspClient::OnSessionTerminated, e.get());
    std::lock_guard<std::mutex> lk(m_lock);
    m_sessions[e->key] = std::move(e);
}

void CRtspClient::RemoveSession(int ownerType, const std::string &number, int mediaKind)
{
    std::unique_ptr<Entry> e;
    {
        std::lock_guard<std::mutex> lk(m_lock);
        auto it = m_sessions.find(MakeSessionKey(ownerType, number, mediaKind));
        if (it == m_sessions.end())
            return;
        e = std::move(it->second);
        m_sessions.erase(it);
    }
    e.reset(); // destroys the session outside the lock
}

size_t CRtspClient::SessionCount()
{
    std::lock_guard<std::mutex> lk(m_lock);
    return m_sessions.size();
}

int CRtspClient::OnSessionTerminated(const void *data)
{
    auto *entry = const_cast<Entry *>(static_cast<const Entry *>(data));
    CRtspClient *client = entry->client;
    std::unique_ptr<Entry> owned;
    {
        std::lock_guard<std::mutex> lk(client->m_lock);
        if (client->m_closing)
            return 0;
        WriteLog("rtsp-client[%s]:: session terminated", entry->session->GetNumber().c_str());
        auto it = client->m_sessions.find(entry->key);
        if (it == client->m_sessions.end() || it->second.get() != entry)
            return 0; // removed already: its remover destroys it
        owned = std::move(it->second);
        client->m_sessions.erase(it);
    }
    // The session is inside its own state machine here: it is destroyed later, on the
    // user-interface thread.
    Entry *raw = owned.release();
    PostToUi([raw] { delete raw; });
    return 0;
}

int CRtspClient::OnStackEvent(const trtsp_event_t *e)
{
    if (!e)
        return 0;
    unsigned long long sid = (unsigned long long)trtsp_session_get_id(e->session);
    switch (e->type) {
    case trtsp_event_message: WriteLog("rtsp-client: recv trtsp_event_message, sid=%llu", sid); break;
    case trtsp_event_auth_failed: WriteLog("rtsp-client: recv trtsp_event_auth_failed, sid=%llu", sid); break;
    case trtsp_event_closed: WriteLog("rtsp-client: recv trtsp_event_closed, sid=%llu", sid); break;
    case trtsp_event_transport_error: WriteLog("rtsp-client:recv trtsp_event_transport_error, sid=%llu", sid); break;
    case trtsp_event_transport_closed: WriteLog("rtsp-client:recv trtsp_event_transport_closed, sid=%llu", sid); break;
    default: break;
    }
    return 0;
}

bool CRtspClient::IsPlaying(int ownerType, const std::string &number)
{
    std::lock_guard<std::mutex> lk(m_lock);
    auto it = m_sessions.find(MakeSessionKey(ownerType, number, kMediaVideo));
    return it != m_sessions.end() && it->second->session->IsPreviewing();
}

int CRtspClient::Register(int ownerType, const std::string &number, int mediaKind, CRtspSession *session,
                          IVideoTile *tile)
{
    if (!session->HasStateTable()) {
        // A session that could not be built would stay registered and never end.
        WriteLog("rtsp-client[%s]:: session could not be created.", number.c_str());
        delete session;
        return -1;
    }
    AddSession(ownerType, number, mediaKind, session);
    return session->StartPreview(tile);
}

CRtspSession *CRtspClient::FindReusableSession(int ownerType, const std::string &number, int mediaKind)
{
    std::unique_ptr<Entry> ended;
    {
        std::lock_guard<std::mutex> lk(m_lock);
        auto it = m_sessions.find(MakeSessionKey(ownerType, number, mediaKind));
        if (it == m_sessions.end())
            return nullptr;
        if (it->second->session->GetState() != ZOX_RTSP_TERMINATED)
            return it->second->session.get();
        // Terminated, its end not reported yet: started again it would run on a session
        // about to be destroyed. It leaves now (its report then finds another entry or
        // none) and is destroyed on the user-interface thread.
        ended = std::move(it->second);
        m_sessions.erase(it);
    }
    WriteLog("rtsp-client[%s]:: session terminated, a new one is created", number.c_str());
    Entry *raw = ended.release();
    PostToUi([raw] { delete raw; });
    return nullptr;
}

int CRtspClient::PlayVideo(int ownerType, const std::string &number, IVideoTile *tile)
{
    if (CRtspSession *s = FindReusableSession(ownerType, number, kMediaVideo))
        return s->StartPreview(tile);
    if (ownerType == kOwnerCamera)
        return PlayCamera(number, tile);
    if (ownerType == kOwnerVehicle)
        return PlayVehicleVideo(number, tile);
    return -1;
}

int CRtspClient::PlayCamera(const std::string &cid, IVideoTile *tile)
{
    ST_ZOX_RTSP_CAMERA row;
    if (m_source->GetRtspCamera(cid, row) != 0)
        return -1;
    return Register(kOwnerCamera, cid, kMediaVideo, new CCameraSession(row), tile);
}

int CRtspClient::PlayVehicle(const std::string &number, IVideoTile *tile, int mediaKind)
{
    std::string name, url, ip;
    uint16_t port = 0;
    if (m_source->GetDisplayName(number, name) != 0 || name.empty())
        return -1;
    if (m_source->GetVehicleRtsp(number, url, ip, port) != 0 || url.empty())
        return -1;
    return Register(kOwnerVehicle, number, mediaKind, new CVehicleSession(number, name, url, ip, port, mediaKind), tile);
}

int CRtspClient::PlayVehicleVideo(const std::string &number, IVideoTile *tile)
{
    return PlayVehicle(number, tile, kMediaVideo);
}

int CRtspClient::PlayVehicleAudio(const std::string &number, IVideoTile *tile)
{
    return PlayVehicle(number, tile, kMediaAudio);
}

void CRtspClient::StopVideo(int ownerType, const std::string &number)
{
    if (CRtspSession *s = FindSession(ownerType, number, kMediaVideo))
        s->StopPreview();
    if (CRtspSession *s = FindSession(ownerType, number, kMediaAudio))
        s->StopPreview();
}

int CRtspClient::ToggleRecord(int ownerType, const std::string &number)
{
    CRtspSession *s = FindSession(ownerType, number, kMediaVideo);
    return s ? s->ToggleRecord() : -1;
}

int CRtspClient::ToggleVehicleAudio(int ownerType, const std::string &number, IVideoTile *tile)
{
    CRtspSession *s = FindReusableSession(ownerType, number, kMediaAudio);
    if (!s)
        return PlayVehicleAudio(number, tile);
    if (s->IsPreviewing())
        s->StopPreview();
    else
        s->StartPreview(tile);
    return 0;
}

int CRtspClient::MoveVideo(int ownerType, const std::string &number, IVideoTile *tile)
{
    CRtspSession *s = FindSession(ownerType, number, kMediaVideo);
    return s ? s->SetVideoWindow(tile) : -1;
}

void CRtspClient::DetachTile(int ownerType, const std::string &number, IVideoTile *tile)
{
    if (CRtspSession *s = FindSession(ownerType, number, kMediaVideo))
        s->DetachTile(tile);
    if (CRtspSession *s = FindSession(ownerType, number, kMediaAudio))
        s->DetachTile(tile);
}

tmedia_session_mgr_t *CRtspClient::GetMediaSession(int ownerType, const std::string &number)
{
    CRtspSession *s = FindSession(ownerType, number, kMediaVideo);
    return s ? s->GetSessionManager() : nullptr;
}

bool StartRtspClient(WindowHandle stateWindow)
{
    if (g_pRtspClient)
        return true;
    auto *client = new CRtspClient();
    if (client->Start() != 0) {
        delete client;
        return false;
    }
    g_pRtspClient = client;
    client->SetCameraStateWindow(stateWindow);
    client->LoadCameras();
    return true;
}

void StopRtspClient()
{
    delete g_pRtspClient;
    g_pRtspClient = nullptr;
}
