#pragma once
// One RTSP stream of a camera or a vehicle played into a video tile (or a vehicle's
// audio into the speakers). The session owns its RTSP stack and RTSP session, a
// worker that sends the requests, a state machine that decides which comes next, a
// media session that receives the RTP, and a timer manager (monitor and poll).
//
// Threads: the preview operations run on the user-interface thread; requests on the
// worker; responses and transport events on the stack's thread; timers on the timer
// manager's thread. The state machine serialises the acts. Tile changes are handed
// to the user-interface thread. A session is destroyed on the user-interface thread
// only, after the act that terminated it has returned.
#include "core/BaseThread.h"
#include "medialib/Fsm.h"
#include "medialib/RtspStack.h"
#include "medialib/TimerManager.h"
#include "video/RtspStateTables.h"
#include "video/SessionRecord.h"
#include "video/VideoTile.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <cstdint>
#include <mutex>
#include <string>

struct tmedia_session_mgr_t;
struct tsdp_message_t;

struct ST_ZOX_RTSP_CSEQ {
    uint32_t used = 0;
    uint32_t cseq = 0;
    std::string method;
};

class CRtspSession : public CBaseThread<CRtspSession>, public CSessionRecord {
public:
    CRtspSession(const std::string &host, uint16_t port, int transport, const std::string &url,
                 const std::string &user, const std::string &password);
    ~CRtspSession() override;

    virtual void OnConnectionChanged(bool connected) = 0;
    virtual void BuildStateTable() = 0;
    tmedia_session_mgr_t *GetSessionManager() override;

    int CreateStack();
    int CreateSession();
    int StartWorkThread();

    // User-interface thread.
    int StartPreview(IVideoTile *tile);
    int StopPreview();
    bool IsPreviewing();
    int SetVideoWindow(IVideoTile *tile);
    // The owner is about to free tile: when the session drives it, the session forgets
    // it (no further changes reach it) and renders into no window.
    void DetachTile(IVideoTile *tile);
    int ToggleRecord();
    int SetTerminatedCallback(tsk_fsm_onterminated_f callback, const void *data);

    int Act(int event, const trtsp_message_t *message);

    int GetState() { return tsk_fsm_get_current_state(m_fsm); }
    int GetOwnerType() const { return m_ownerType; }
    const std::string &GetNumber() const { return m_number; }
    const std::string &GetName() const { return m_name; }
    int GetMediaKinds() const { return m_mediaKinds; }
    bool HasStateTable() const { return m_hasTable; }
    int64_t GetVideoCodec() const { return m_videoCodec; }

    // Periods of the monitor and the poll timer (10000 ms each); tests shorten them.
    void SetTimerPeriods(uint64_t monitorMs, uint64_t pollMs);
    // How long a rebuild keeps trying to send its DESCRIBE while the server is down.
    void SetRebuildBackoff(int firstWaitMs, int tries);

    // Parsing of a DESCRIBE reply's description (the media kinds decide what is read).
    bool ParseVideoMedia(tsdp_message_t *sdp);
    bool ParseAudioMedia(tsdp_message_t *sdp);
    std::string BuildSetupUrl() const;
    std::string BuildTransport() const;
    const std::string &GetVideoControl() const { return m_videoControl; }
    const std::string &GetAudioControl() const { return m_audioControl; }
    const std::string &GetSps() const { return m_sps; }
    const std::string &GetPps() const { return m_pps; }
    const std::string &GetVps() const { return m_vps; }
    int64_t GetAudioCodec() const { return m_audioCodec; }
    void SetVideoControlForTest(const std::string &c) { m_videoControl = c; }

    // CSeq ring of the last five requests.
    std::string NextCSeq(const std::string &method);
    std::string TakeCSeqMethod(uint32_t cseq);

protected:
    // Called first thing by every derived destructor (and by this one): ends every
    // thread that could call into the session while the whole object still exists.
    void Shutdown();
    void InstallTable(EN_ZOX_RTSP_TABLE table);

    void CancelBlockingWork() override;

    // Worker handlers.
    int SendOptions();
    int SendDescribe();
    int SendSetup();
    int SendPlay();
    int SendTeardown();
    int Rebuild();
    int SendSetParameter();
    int Send(const char *method, const std::string &url, const trtsp_headers_t &extra, const char *okText,
             const char *failText);

    // Stack events.
    static int OnStackEvent(const trtsp_event_t *e);
    void OnResponse(const trtsp_event_t *e);
    void OnAuthFailed(const trtsp_event_t *e);
    bool MatchResponse(const trtsp_event_t *e, std::string &method);

    // Actions and conditions of the tables.
    static int PostOptions(const void *s, const void *m);
    static int PostDescribe(const void *s, const void *m);
    static int PostSetup(const void *s, const void *m);
    static int PostPlay(const void *s, const void *m);
    static int PostSetParameter(const void *s, const void *m);
    static int PostTeardown(const void *s, const void *m);
    static int PostRebuild(const void *s, const void *m);
    static int OnOptionsReply(const void *s, const void *m);
    static int OnDescribeReply(const void *s, const void *m);
    static int OnSetupVideoReply(const void *s, const void *m);
    static int OnSetupAudioReply(const void *s, const void *m);
    static int OnPlayReply(const void *s, const void *m);
    static int OpenMedia(const void *s, const void *m);
    static int Terminate(const void *s, const void *m);
    static bool IsSetUp(const void *s, const void *m);
    static bool IsNotSetUp(const void *s, const void *m);
    static bool CanRebuild(const void *s, const void *m);

    int DescribeReply(const trtsp_message_t *m);
    void TakeRtpInfo(const trtsp_message_t *m);
    int SetupReply(const trtsp_message_t *m, bool video);
    int CreateMediaSession();
    int StartMediaSession();
    void CloseMedia();
    void ReleaseMedia();
    void Stop();
    int StartStack();

    // Timers.
    int ScheduleTimer(uint64_t periodMs, bool monitor);
    void CancelTimer(bool monitor);
    static int OnTimer(const void *arg, tsk_timer_id_t id);
    bool CheckDecodedFrames();

    // Media callbacks.
    static int OnVideoSize(const void *data, uint32_t width, uint32_t height);
    static int OnKeepAspectRatio(const void *data, int keep);

    void PostTile(std::function<void(IVideoTile *)> change);
    const char *Id() const { return m_number.c_str(); }

    trtsp_stack_t *m_stack = nullptr;
    trtsp_session_t *m_session = nullptr;
    bool m_connected = false;
    int m_ownerType = 2;
    std::string m_number;
    std::string m_name;
    std::string m_host;
    uint16_t m_port = 0;
    std::string m_url, m_user, m_password;
    std::string m_agent = "zox-client";
    std::atomic<int> m_cseq{1};
    int m_options401 = 0;
    int m_describe401 = 0;
    std::atomic<bool> m_rebuilding{false};
    std::atomic<bool> m_mediaOpen{false};
    std::atomic<bool> m_previewing{false};
    std::atomic<bool> m_setUp{false};
    int m_transport = 0;
    std::mutex m_cseqLock;
    ST_ZOX_RTSP_CSEQ m_cseqTable[5];
    std::string m_sessionId;
    std::string m_videoControl, m_sps, m_pps, m_vps, m_audioControl;
    uint16_t m_localVideoPort = 0, m_videoServerPort = 0, m_videoChannel = 0;
    uint16_t m_localAudioPort = 0, m_audioServerPort = 0, m_audioChannel = 0;
    std::atomic<IVideoTile *> m_tile{nullptr};
    std::atomic<uintptr_t> m_tileHandle{0};
    std::recursive_mutex m_mediaLock; // the media session pointer (user-interface, stack, timer threads)
    tmedia_session_mgr_t *m_media = nullptr;
    int64_t m_videoCodec = 0x100000;
    int64_t m_audioCodec = 0;
    int m_mediaKinds = 4;
    tsk_fsm_t *m_fsm = nullptr;
    bool m_hasTable = false;
    std::mutex m_timerLock;
    tsk_timer_manager_t *m_timers = nullptr;
    tsk_timer_id_t m_monitorTimer = 0, m_pollTimer = 0;
    uint32_t m_lastFramesLow = 0, m_lastFramesHigh = 0;
    std::atomic<int64_t> m_mediaStartTime{0};

    uint64_t m_monitorMs = 10000, m_pollMs = 10000;
    int m_rebuildFirstWaitMs = 250, m_rebuildTries = 6;
    std::mutex m_waitLock;
    std::condition_variable m_waitCv;
    std::atomic<bool> m_shutdown{false};
    bool m_recordAfterRebuild = false;
    int m_videoSeq = -1, m_audioSeq = -1; // from the PLAY reply's RTP-Info
};

// The dotted text of System/RtspClientIP.
std::string RtspClientIpText();
