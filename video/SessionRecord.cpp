#include "video/SessionRecord.h"
#include "core/Log.h"
#include "core/RecordingName.h"
#include "core/SystemConfig.h"
#include "medialib/MediaSessionMgr.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace {
std::string TimeText(const std::tm &t)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour,
                  t.tm_min, t.tm_sec);
    return text;
}
} // namespace

std::tm CSessionRecord::Now() const
{
    if (m_clock)
        return m_clock();
    std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

int CSessionRecord::StartMediaRecord(tmedia_session_mgr_t *mgr, const std::string &path)
{
    return tmedia_session_mgr_start_record(mgr, path.c_str());
}

void CSessionRecord::StopMediaRecord(tmedia_session_mgr_t *mgr) { tmedia_session_mgr_stop_record(mgr); }

CSessionRecord::CSessionRecord() = default;
CSessionRecord::~CSessionRecord() = default;

int CSessionRecord::StartRecord(const std::string &name, const std::string &prefix, const std::string &ext)
{
    tmedia_session_mgr_t *mgr = GetSessionManager();
    if (!mgr || m_recording)
        return -1;
    m_recordName = name;
    std::tm t = Now();
    m_startTime = TimeText(t);
    WriteLog("session-record[%s]:: start session recorder time %s.", m_recordName.c_str(), m_startTime.c_str());
    std::string folder = (g_pSystemConfig ? g_pSystemConfig->GetRecordPath() : std::string(".")) + "/" +
                         RecordingMonthText(t);
    ::mkdir(folder.c_str(), 0755);
    std::string path = MakeRecordingFilePath(folder, prefix, name, t, ext);
    if (path.empty()) {
        // Every name of this second is taken: an existing recording is never overwritten.
        WriteLog("session-record[%s]:: no free file name for %s%s_%s%s.", m_recordName.c_str(), prefix.c_str(),
                 name.c_str(), RecordingTimeText(t).c_str(), ext.c_str());
        WriteLog("session-record[%s]:: failed to start session recorder!", m_recordName.c_str());
        return -2;
    }
    if (StartMediaRecord(mgr, path) != 0) {
        WriteLog("session-record[%s]:: failed to start session recorder!", m_recordName.c_str());
        return -2;
    }
    m_recordFile = path;
    m_recording = true;
    WriteLog("session-record[%s]:: start session recorder success.", m_recordName.c_str());
    return 0;
}

int CSessionRecord::StopRecord()
{
    tmedia_session_mgr_t *mgr = GetSessionManager();
    if (!m_recording || !mgr)
        return 0;
    StopMediaRecord(mgr);
    m_recording = false;
    m_stopTime = TimeText(Now());
    WriteLog("session-record[%s]:: stop session recorder time %s.", m_recordName.c_str(), m_stopTime.c_str());
    return 0;
}
