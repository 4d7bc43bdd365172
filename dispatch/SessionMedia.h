#pragma once
// The media of one dispatch call on the media layer: a session manager per media kind
// (voice, video call, PTT audio, video upload), configured from the call and started,
// rendering into the call's tile or sending the local camera, recording, and turning
// the manager's talk-burst events into window messages for the main window.
#include <cstdint>
#include <memory>
#include <string>

#include "dispatch/DispatchSession.h"
#include "host/MessageNumbers.h"
#include "medialib/MediaSessionMgr.h"


// The window message of a talk-burst event subtype (low 5 bits used) with its wParam;
// 0 for a subtype that posts nothing.
uint32_t TalkBurstMessage(uint8_t subtype, uint32_t serviceType, uintptr_t &wParam);

// What the media of a call needs from the running console.
class ISessionMediaEnv {
public:
    virtual ~ISessionMediaEnv() = default;
    // Audio/PttCodec, Video/CameraId, Video/AutoRecord.
    virtual std::string PttCodec() const = 0;
    virtual int CameraId() const = 0;
    virtual bool AutoRecord() const = 0;
    // The window of the local camera preview, laid out for a call; 0 when none.
    virtual uintptr_t LayoutCameraPreview() = 0;
    virtual void ShowCameraPreview(bool on) = 0;
    virtual void AddConfVideoShare(CDispatchSession &session) = 0;
    // Media threads: hand a talk-burst message to the main window. The speaker text
    // travels with its message; no later event can change it.
    virtual void PostTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker) = 0;
    // Media threads: the decoded video size of the call with this instance number.
    virtual void PostVideoSize(int32_t instance, uint32_t width, uint32_t height) = 0;
};

class CSessionMedia : public IDispatchMedia {
public:
    // The manager of the session's media kind with its local ports; null (logged) when
    // it cannot be made or a port is unknown.
    static std::unique_ptr<CSessionMedia> Create(CDispatchSession &session, ISessionMediaEnv &env);
    ~CSessionMedia() override;

    uint16_t LocalAudioPort() const override { return m_audioPort; }
    uint16_t LocalVideoPort() const override { return m_videoPort; }
    // Configures the remote side, codecs and windows from the session and starts:
    // 0, or -2 .. -17 for the step that failed (logged).
    int Start() override;
    uint64_t VideoSessionId() const override;
    int StartRecord(const std::string &path) override;
    void StopRecord() override;
    int SendTalkBurst(uint8_t subtype) override;
    int AddVideoShare(IDispatchMedia &other) override;
    int RemoveVideoShare(IDispatchMedia &other) override;

    tmedia_session_mgr_t *Manager() const { return m_mgr; }
    // The codec flag of PTT audio for an Audio/PttCodec text.
    static int64_t PttCodecFlag(const std::string &setting);

    // Installed on the manager (media threads).
    static int OnTalkBurstEvent(const void *self, int kind, uint8_t subtype, const void *body, size_t size);
    static int OnVideoSize(const void *self, uint32_t width, uint32_t height);

private:
    CSessionMedia(CDispatchSession &session, ISessionMediaEnv &env, tmedia_session_mgr_t *mgr);
    int Configure();

    CDispatchSession &m_session;
    ISessionMediaEnv &m_env;
    tmedia_session_mgr_t *m_mgr;
    // Copies that the media threads read.
    const uint32_t m_serviceType;
    const int32_t m_instance;
    uint16_t m_audioPort = 0;
    uint16_t m_videoPort = 0;
};
