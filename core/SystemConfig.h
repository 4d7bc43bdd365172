#pragma once
// The console's settings, loaded once from data/zoxcfg.ini under the working folder.
// One instance exists (g_pSystemConfig), created by the login window before anything
// else starts and read from every thread afterwards; only the settings dialog changes
// values, through the setters, each of which writes its one key back at once.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class CSystemConfig;

// The one configuration object; empty while none exists.
extern CSystemConfig *g_pSystemConfig;

// A number in the configuration that does not convert. The message is the one the
// console shows when it cannot start.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writing a key back failed.
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CSystemConfig {
public:
    // Reads data/zoxcfg.ini. Throws EConvertError when a number does not convert.
    CSystemConfig();
    ~CSystemConfig() = default;
    CSystemConfig(const CSystemConfig &) = delete;
    CSystemConfig &operator=(const CSystemConfig &) = delete;

    int Load();
    // Writes one key into data/zoxcfg.ini. Throws EIniFileException when that fails.
    void WriteValue(const std::string &section, const std::string &key, const std::string &value);

    // Lines the load wants in the log (values it had to correct); the log does not
    // exist yet while the configuration loads, so the opener writes them.
    const std::vector<std::string> &GetLoadNotes() const { return m_loadNotes; }

    // Addresses in network order.
    uint32_t GetServerIpAddr() const { return m_serverIpAddr; }
    uint32_t GetLocalIpAddr() const { return m_localIpAddr; }
    uint32_t GetLocalRegIpAddr() const { return m_localRegIpAddr; }
    uint32_t GetRtspClientIp() const { return m_rtspClientIp; }
    uint16_t GetLocalUdpPort() const { return m_localUdpPort; }
    uint16_t GetServerUdpPort() const { return m_serverUdpPort; }

    std::string GetTitle() const { return m_title; }
    std::string GetDepartment() const { return m_department; }
    bool IsAutoLogin() const { return m_autoLogin != 0; }
    std::string GetLoginUsername() const { return m_loginUsername; }
    std::string GetLoginPassword() const { return m_loginPassword; }
    std::string GetLockUsername() const { return m_lockUsername; }
    std::string GetLockPassword() const { return m_lockPassword; }
    int GetHeartbeat() const { return m_heartbeat; }
    // Heartbeat period in milliseconds.
    int GetHBInterval() const { return m_hbInterval; }
    bool IsWriteLogFile() const { return m_writeLogFile != 0; }
    unsigned GetLogLevel() const { return m_writeLogLevel; }
    bool IsVideoEnabled() const { return m_videoEnabled != 0; }
    bool GetJitterBuffer() const { return m_jitterBuffer != 0; }
    bool GetVideoPktLossRetry() const { return m_videoPktLossRetry != 0; }
    bool IsKeepAspectRatio() const { return m_keepAspectRatio != 0; }
    bool IsAutoRecord() const { return m_autoRecord != 0; }
    std::string GetRecordPath() const { return m_recordPath; }
    int GetCameraId() const { return m_cameraId; }
    uint32_t GetResolution() const { return m_resolution; }
    uint32_t GetFps() const { return m_fps; }
    int GetDarX() const { return m_darX; }
    int GetDarY() const { return m_darY; }
    bool IsCameraPreview() const { return m_cameraPreview != 0; }
    std::string GetPttCodec() const { return m_pttCodec; }
    bool IsGisAvailable() const { return m_gisEnabled != 0 && !m_serverUrl.empty(); }
    std::string GetServerUrl() const { return m_serverUrl; }
    bool IsCmsEnabled() const { return m_cmsEnabled != 0; }
    bool IsUapEnabled() const { return m_uapEnabled != 0; }

    // Values that are read and kept but that nothing acts on.
    uint16_t GetLocalRtpPort() const { return m_localRtpPort; }
    uint32_t GetLockInterval() const { return m_lockInterval; }
    int GetVideoMaxSize() const { return m_videoMaxSize; }
    int GetVideoMaxTime() const { return m_videoMaxTime; }
    std::string GetPublisher() const { return m_publisher; }

    void SetTitle(const std::string &title);
    void SetDepartment(const std::string &department);
    void SetRecordPath(const std::string &path);
    void SetCameraId(int id);
    void SetResolution(int index);
    void SetFps(int fps);
    void SetCameraPreview(bool on);

    // Path of the file under the current working folder.
    static std::string ConfigFilePath();

    // The largest heartbeat period accepted, in seconds; larger values are clamped.
    static constexpr int kMaxHBIntervalSeconds = 86400;

private:
    uint32_t m_localIpAddr = 0, m_localRegIpAddr = 0, m_serverIpAddr = 0, m_rtspClientIp = 0;
    uint32_t m_lockInterval = 0;
    int32_t m_heartbeat = 0, m_hbInterval = 0, m_videoMaxSize = 0, m_videoMaxTime = 0, m_cameraId = 0;
    uint32_t m_resolution = 0, m_fps = 0;
    uint16_t m_localRtpPort = 0, m_localUdpPort = 0, m_serverUdpPort = 0;
    int16_t m_writeLogFile = 0;
    uint16_t m_writeLogLevel = 0;
    int16_t m_videoEnabled = 0, m_cameraPreview = 0, m_autoRecord = 0, m_autoLogin = 0, m_gisEnabled = 0,
            m_jitterBuffer = 0, m_keepAspectRatio = 0, m_videoPktLossRetry = 0, m_cmsEnabled = 0,
            m_uapEnabled = 0;
    int32_t m_darX = 0, m_darY = 0;
    std::string m_title, m_department, m_publisher, m_loginUsername, m_loginPassword, m_lockUsername,
        m_lockPassword, m_serverUrl, m_recordPath, m_pttCodec;
    std::vector<std::string> m_loadNotes;
};

namespace zox {
// Converts like the console's StrToInt: optional blanks before, an optional sign,
// decimal digits or a "$"/"0x" hexadecimal number, within 32 bits. Throws EConvertError.
int32_t StrToInt(const std::string &text);
} // namespace zox
