#include "core/SystemConfig.h"

#include "core/Edition.h"
#include "core/FolderUtils.h"
#include "medialib/MediaDefaults.h"
#include "host/IniFile.h"

#include <arpa/inet.h>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

CSystemConfig *g_pSystemConfig = nullptr;

namespace zox {

int32_t StrToInt(const std::string &text)
{
    const std::string error = "'" + text + "' is not a valid integer value";
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        throw EConvertError(error);
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            throw EConvertError(error);
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL)
            throw EConvertError(error);
    }
    if (negative)
        value = -value;
    if (base == 16 && !negative && value > INT32_MAX)
        value -= 0x100000000LL; // a hexadecimal number fills all 32 bits
    if (value < INT32_MIN || value > INT32_MAX)
        throw EConvertError(error);
    return static_cast<int32_t>(value);
}

} // namespace zox

namespace {

std::string trimBlanks(const std::string &s)
{
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return std::string();
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool folderExists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void dropOneTrailingSeparator(std::string &path)
{
    if (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
}

} // namespace

std::string CSystemConfig::ConfigFilePath()
{
    std::error_code ec;
    return (std::filesystem::current_path(ec) / "data" / "zoxcfg.ini").string();
}

CSystemConfig::CSystemConfig()
{
    Load();
}

int CSystemConfig::Load()
{
    zox::host::IniFile ini(ConfigFilePath());
    auto text = [&](const char *section, const char *key, const std::string &def) {
        return ini.ReadString(section, key, def);
    };
    auto number = [&](const char *section, const char *key, const char *def) {
        return zox::StrToInt(ini.ReadString(section, key, def));
    };
    auto address = [&](const char *section, const char *key) {
        std::string t = ini.ReadString(section, key, "0.0.0.0");
        return static_cast<uint32_t>(::inet_addr(t.c_str()));
    };
    auto flag = [&](const char *section, const char *key, const char *def) {
        return static_cast<int16_t>(number(section, key, def));
    };

    m_loadNotes.clear();
    m_title = text("General", "Title", zox::edition::kProductTitle);
    m_department = text("General", "Department", "");
    m_publisher = text("General", "Publisher", "");
    m_serverIpAddr = address("System", "ServerIpAddr");
    m_localIpAddr = address("System", "LocalIpAddr");
    m_localRegIpAddr = address("System", "LocalRegIpAddr");
    m_rtspClientIp = address("System", "RtspClientIP");

    m_localRtpPort = static_cast<uint16_t>(number("System", "LocalRtpPort", "0"));
    if (m_localRtpPort == 0)
        m_localRtpPort = 50000;
    else if (m_localRtpPort & 1)
        m_localRtpPort = m_localRtpPort == 0xFFFF ? 0xFFFE : static_cast<uint16_t>(m_localRtpPort + 1);

    m_autoLogin = flag("Security", "AutoLogin", "0");
    m_loginUsername = text("Security", "LoginUsername", "4");
    m_loginPassword = text("Security", "LoginPassword", zox::edition::kDefaultLoginPassword);
    m_lockUsername = text("Security", "LockUsername", "qorvu");
    m_lockPassword = text("Security", "LockPassword", "qorvu");
    m_lockInterval = static_cast<uint32_t>(number("Security", "LockInterval", "0"));
    if (m_lockInterval > 1440)
        m_lockInterval = 1440;
    m_heartbeat = number("Security", "Heartbeat", "0");

    // The period is kept in milliseconds; out-of-range seconds would overflow or turn
    // negative, so they are clamped and noted.
    int32_t hbSeconds = number("Security", "HBInterval", "12");
    if (hbSeconds < 0 || hbSeconds > kMaxHBIntervalSeconds) {
        int32_t fixed = hbSeconds < 0 ? 0 : kMaxHBIntervalSeconds;
        char note[128];
        std::snprintf(note, sizeof note, "config: Security/HBInterval %d out of range, using %d", hbSeconds, fixed);
        m_loadNotes.emplace_back(note);
        hbSeconds = fixed;
    }
    m_hbInterval = hbSeconds * 1000;

    m_writeLogFile = flag("Debug", "WriteLogFile", "0");
    m_writeLogLevel = static_cast<uint16_t>(number("Debug", "WriteLogLevel", "2"));
    if (m_writeLogLevel == 0 || m_writeLogLevel > 4)
        m_writeLogLevel = 2;

    m_videoEnabled = flag("Video", "VideoEnabled", "0");
    m_jitterBuffer = flag("Video", "JitterBuffer", "1");
    m_videoPktLossRetry = flag("Video", "VideoPktLossRetry", "0");
    m_keepAspectRatio = flag("Video", "KeepAspectRatio", "0");
    m_autoRecord = flag("Video", "AutoRecord", "0");

    std::string recordPath = text("Video", "RecordPath", "");
    if (recordPath.empty())
        recordPath = GetPublicVideosFolder();
    if (!folderExists(recordPath) && !CreateDirectories(recordPath))
        recordPath = GetPublicVideosFolder();
    dropOneTrailingSeparator(recordPath);
    m_recordPath = recordPath;

    m_videoMaxSize = number("Video", "VideoMaxSize", "1024");
    m_videoMaxTime = number("Video", "VideoMaxTime", "3600");
    m_cameraId = number("Video", "CameraId", "0");
    m_resolution = static_cast<uint32_t>(number("Video", "Resolution", "8"));
    if (m_resolution > 14)
        m_resolution = 14;
    m_fps = static_cast<uint32_t>(number("Video", "FPS", "20"));
    if (m_fps < 5 || m_fps > 60)
        m_fps = 20;

    std::string dar = text("Video", "DAR", "0:0");
    int x = 0, y = 0;
    if (std::sscanf(dar.c_str(), "%d:%d", &x, &y) == 2) {
        m_darX = x;
        m_darY = y;
    } else {
        m_darX = m_darY = 0;
    }

    m_cameraPreview = flag("Video", "CameraPreview", "0");
    m_pttCodec = trimBlanks(text("Audio", "PttCodec", "G711A"));
    if (m_pttCodec.empty())
        m_pttCodec = "G711A";

    m_gisEnabled = flag("GIS", "GisEnabled", "0");
    m_serverUrl = text("GIS", "ServerUrl", "");
    m_cmsEnabled = flag("Extend", "CmsEnabled", "0");
    if (zox::edition::kHasUapLink)
        m_uapEnabled = flag("Extend", "UapEnabled", "0");

    m_localUdpPort = 8888;
    m_serverUdpPort = 8888;
    return 0;
}

void CSystemConfig::WriteValue(const std::string &section, const std::string &key, const std::string &value)
{
    zox::host::IniFile ini(ConfigFilePath());
    if (!ini.WriteString(section, key, value))
        throw EIniFileException("Unable to write to " + ini.path());
}

void CSystemConfig::SetTitle(const std::string &title)
{
    if (title.empty())
        return;
    m_title = title;
    WriteValue("General", "Title", m_title);
}

void CSystemConfig::SetDepartment(const std::string &department)
{
    m_department = department;
    WriteValue("General", "Department", m_department);
}

void CSystemConfig::SetRecordPath(const std::string &path)
{
    if (path.empty())
        return;
    std::string p = path;
    dropOneTrailingSeparator(p);
    m_recordPath = p;
    WriteValue("Video", "RecordPath", m_recordPath);
}

void CSystemConfig::SetCameraId(int id)
{
    if (id == m_cameraId)
        return;
    m_cameraId = id;
    WriteValue("Video", "CameraId", std::to_string(id));
}

void CSystemConfig::SetResolution(int index)
{
    if (static_cast<uint32_t>(index) == m_resolution)
        return;
    m_resolution = static_cast<uint32_t>(index);
    WriteValue("Video", "Resolution", std::to_string(index));
    tmedia_defaults_set_pref_video_size(index);
}

void CSystemConfig::SetFps(int fps)
{
    if (static_cast<uint32_t>(fps) == m_fps)
        return;
    m_fps = static_cast<uint32_t>(fps);
    WriteValue("Video", "FPS", std::to_string(fps));
    tmedia_defaults_set_video_fps(fps);
}

void CSystemConfig::SetCameraPreview(bool on)
{
    m_cameraPreview = on ? 1 : 0;
    WriteValue("Video", "CameraPreview", on ? "1" : "0");
}
