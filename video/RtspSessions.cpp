#include "video/RtspSessions.h"

CCameraSession::CCameraSession(const ST_ZOX_RTSP_CAMERA &camera)
    : CRtspSession(camera.ip, uint16_t(camera.port & 0xFFFF), camera.transport, camera.main_url, camera.username,
                   camera.password)
{
    m_name = camera.cname;
    m_number = std::to_string(camera.cid);
    m_ownerType = 2;
    m_cameraId = camera.cid;
    if (CreateStack() == 0 && CreateSession() == 0 && StartWorkThread() == 0)
        BuildStateTable();
}

CCameraSession::~CCameraSession() { Shutdown(); }

void CCameraSession::BuildStateTable() { InstallTable(ZOX_RTSP_TABLE_CAMERA); }

CVehicleSession::CVehicleSession(const std::string &number, const std::string &name, const std::string &url,
                                 const std::string &serverIp, uint16_t serverPort, int mediaKinds)
    : CRtspSession(serverIp, serverPort, 1, url, std::string(), std::string())
{
    m_name = name;
    m_number = number;
    m_ownerType = 1;
    m_mediaKinds = mediaKinds;
    if (mediaKinds & 2)
        m_agent = "Trackvane (6.1.0.1 2012-06-14)";
    if (CreateStack() == 0 && CreateSession() == 0 && StartWorkThread() == 0)
        BuildStateTable();
}

CVehicleSession::~CVehicleSession() { Shutdown(); }

void CVehicleSession::BuildStateTable()
{
    InstallTable((m_mediaKinds & 2) ? ZOX_RTSP_TABLE_VEHICLE_AUDIO : ZOX_RTSP_TABLE_VEHICLE_VIDEO);
}
