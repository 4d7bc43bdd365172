#pragma once
// Recording of a session's media into a file of the recording folder:
// <record path>/<YYYYMM>/<prefix><name>_<YYYYMMDDhhmmss><ext>.
#include <ctime>
#include <functional>
#include <string>

struct tmedia_session_mgr_t;

class CSessionRecord {
public:
    CSessionRecord();
    virtual ~CSessionRecord();
    // The media session to record (none in the base).
    virtual tmedia_session_mgr_t *GetSessionManager() { return nullptr; }

    // 0 started; -1 recording already or no media session; -2 refused by the media layer.
    int StartRecord(const std::string &name, const std::string &prefix, const std::string &ext);
    int StopRecord();
    bool IsRecording() const { return m_recording; }
    const std::string &GetRecordFile() const { return m_recordFile; }
    const std::string &GetStartTimeText() const { return m_startTime; }
    const std::string &GetStopTimeText() const { return m_stopTime; }

    // The local time that starts and stops take (the wall clock unless replaced).
    using LocalClock = std::function<std::tm()>;
    void SetClock(LocalClock clock) { m_clock = std::move(clock); }

protected:
    // The media layer's recording of the manager's stream (0 = recording).
    virtual int StartMediaRecord(tmedia_session_mgr_t *mgr, const std::string &path);
    virtual void StopMediaRecord(tmedia_session_mgr_t *mgr);

    bool m_recording = false;
    std::string m_recordName;
    std::string m_recordFile;
    std::string m_startTime;
    std::string m_stopTime;

private:
    std::tm Now() const;
    LocalClock m_clock;
};
