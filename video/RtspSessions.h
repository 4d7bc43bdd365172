#pragma once
// The two kinds of RTSP session: the video of a camera of the server-data cache, and
// the video or the audio of a vehicle of the vehicle platform.
#include "core/ZoxCacheRecords.h"
#include "video/RtspSession.h"

class CCameraSession : public CRtspSession {
public:
    explicit CCameraSession(const ST_ZOX_RTSP_CAMERA &camera);
    ~CCameraSession() override;
    void OnConnectionChanged(bool) override {}
    void BuildStateTable() override;
    uint32_t GetCameraId() const { return m_cameraId; }

private:
    uint32_t m_cameraId = 0;
};

class CVehicleSession : public CRtspSession {
public:
    CVehicleSession(const std::string &number, const std::string &name, const std::string &url,
                    const std::string &serverIp, uint16_t serverPort, int mediaKinds);
    ~CVehicleSession() override;
    void OnConnectionChanged(bool) override {}
    void BuildStateTable() override;
};
