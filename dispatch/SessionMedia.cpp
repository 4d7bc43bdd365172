#include "dispatch/SessionMedia.h"

#include <arpa/inet.h>
#include <strings.h>

#include "core/Log.h"
#include "core/MediaLibrary.h"
#include "core/NumberUtils.h"

namespace {

in_addr Address(uint32_t networkOrder)
{
    in_addr a {};
    a.s_addr = networkOrder;
    return a;
}

} // namespace

uint32_t TalkBurstMessage(uint8_t subtype, uint32_t serviceType, uintptr_t &wParam)
{
    wParam = 0;
    switch (subtype & 0x1F) {
    case 1:
        return WM_TBCP_GRANTED;
    case 2:
        return WM_TBCP_TAKEN;
    case 3:
        return WM_TBCP_DENY;
    case 4:
        return WM_TBCP_RELEASE;
    case 5:
        wParam = serviceType == kServicePttMonitor ? 1 : 0;
        return WM_TBCP_IDLE;
    default:
        return 0;
    }
}

int64_t CSessionMedia::PttCodecFlag(const std::string &setting)
{
    return ::strcasecmp(setting.c_str(), "iLBC") == 0 ? tmedia_codec_id_ilbc : tmedia_codec_id_pcma;
}

CSessionMedia::CSessionMedia(CDispatchSession &session, ISessionMediaEnv &env, tmedia_session_mgr_t *mgr)
    : m_session(session), m_env(env), m_mgr(mgr), m_serviceType(session.GetServiceType()),
      m_instance(session.GetInstance())
{
}

CSessionMedia::~CSessionMedia()
{
    // Stops a started manager; no callback of it runs once this returns.
    ReleaseMediaSession(m_mgr);
}

std::unique_ptr<CSessionMedia> CSessionMedia::Create(CDispatchSession &session, ISessionMediaEnv &env)
{
    const uint32_t kind = session.GetMediaKind();
    const in_addr local = Address(session.GetLocalIp());
    int mask = 0, sendMask = 0, recvMask = 0;
    if (kind == kMediaVoice && session.HasVideoFlag()) {
        mask = kMediaAudioVideo, sendMask = kMediaAudioVideo, recvMask = kMediaAudio;
    } else if (kind == kMediaVoice || kind == kMediaPttAudio) {
        mask = kMediaAudio, sendMask = kMediaAudio, recvMask = kMediaAudio;
    } else if (kind == kMediaVideoCall || kind == kMediaVideoUpload) {
        mask = kMediaVideo, sendMask = 0, recvMask = kMediaVideo;
    } else {
        WriteLog("dispatch: serice type not support!");
        return nullptr;
    }
    tmedia_session_mgr_t *mgr = CreateMediaSession(mask, local, sendMask, recvMask, 1);
    if (!mgr) {
        WriteLog("dispatch: session mgr create failed!");
        return nullptr;
    }
    std::unique_ptr<CSessionMedia> media(new CSessionMedia(session, env, mgr));
    if (mask == kMediaAudioVideo) {
        const int camera = env.CameraId();
        if (camera != 0 &&
            tmedia_session_mgr_set_int32(mgr, tmedia_video, tmedia_ppt_producer, "camera-id", camera) != 0)
            WriteLog("dispatch: session mgr set local camera index failed!");
        if (GetMediaLocalPort(mgr, kMediaAudio, &media->m_audioPort) != 0) {
            WriteLog("dispatch: session mgr get local audio port failed!");
            return nullptr;
        }
        if (GetMediaLocalPort(mgr, kMediaVideo, &media->m_videoPort) != 0) {
            WriteLog("dispatch: session mgr get local video port failed!");
            return nullptr;
        }
        WriteLog("dispatch: session mgr create success, local audio port: %d, local video port: %d.",
                 int(media->m_audioPort), int(media->m_videoPort));
    } else if (mask == kMediaAudio) {
        if (GetMediaLocalPort(mgr, kMediaAudio, &media->m_audioPort) != 0) {
            WriteLog("dispatch: session mgr get local media port failed!");
            return nullptr;
        }
        WriteLog("dispatch: session mgr create success, local audio port: %d.", int(media->m_audioPort));
    } else {
        if (GetMediaLocalPort(mgr, kMediaVideo, &media->m_videoPort) != 0) {
            WriteLog("dispatch: session mgr get local media port failed!");
            return nullptr;
        }
        WriteLog("dispatch: session mgr create success, local video port: %d.", int(media->m_videoPort));
    }
    return media;
}

uint64_t CSessionMedia::VideoSessionId() const { return GetMediaSessionId(m_mgr); }

int CSessionMedia::Configure()
{
    CDispatchSession &s = m_session;
    const in_addr remote = Address(s.GetRemoteIp());
    switch (s.GetMediaKind()) {
    case kMediaVoice:
        if (SetMediaCodecs(m_mgr, kMediaAudio, tmedia_codec_id_pcma) != 0) {
            WriteLog("dispatch: set media codecs exception!");
            return -2;
        }
        if (SetMediaRemoteAddress(m_mgr, kMediaAudio, remote, s.GetRemoteAudioPort()) != 0) {
            WriteLog("dispatch: set remote audio addr exception!");
            return -3;
        }
        if (s.HasVideoFlag()) {
            if (SetMediaCodecs(m_mgr, kMediaVideo, tmedia_codec_id_h264) != 0) {
                WriteLog("dispatch: set media codecs exception!");
                return -4;
            }
            if (SetMediaRemoteAddress(m_mgr, kMediaVideo, remote, 0) != 0) {
                WriteLog("dispatch: set remote video addr exception!");
                return -5;
            }
            const uintptr_t preview = m_env.LayoutCameraPreview();
            if (!preview) {
                WriteLog("dispatch: no local video window!");
                return -7;
            }
            if (SetMediaLocalWindow(m_mgr, preview) != 0) {
                WriteLog("dispatch: set local video window exception!");
                return -6;
            }
            s.SetLocalPreview(true);
        }
        return 0;
    case kMediaPttAudio: {
        const int64_t codec = PttCodecFlag(m_env.PttCodec());
        if (SetMediaCodecs(m_mgr, kMediaAudio, codec) != 0) {
            WriteLog("dispatch: set media codecs exception!");
            return -8;
        }
        if (SetMediaRemoteAddress(m_mgr, kMediaAudio, remote, s.GetRemoteAudioPort()) != 0) {
            WriteLog("dispatch: set remote audio addr exception!");
            return -9;
        }
        if (SetMediaRtcpCallback(m_mgr, this, &CSessionMedia::OnTalkBurstEvent) != 0) {
            WriteLog("dispatch: subscribe tbcp event exception!");
            return -10;
        }
        return 0;
    }
    case kMediaVideoCall:
    case kMediaVideoUpload: {
        if (SetMediaCodecs(m_mgr, kMediaVideo, tmedia_codec_id_h264) != 0) {
            WriteLog("dispatch: set media codecs exception!");
            return -11;
        }
        if (SetMediaRemoteAddress(m_mgr, kMediaVideo, remote, s.GetRemoteVideoPort()) != 0) {
            WriteLog("dispatch: set remote video addr exception!");
            return -12;
        }
        IDispatchTile *tile = s.GetVideoWindow();
        const uintptr_t window = tile ? tile->GetHandle() : 0;
        if (!window) {
            WriteLog("dispatch: no remote video window!");
            return -14;
        }
        if (SetMediaRemoteWindow(m_mgr, window) != 0) {
            WriteLog("dispatch: set remote video window exception!");
            return -13;
        }
        if (SetMediaVideoSizeCallback(m_mgr, this, &CSessionMedia::OnVideoSize) != 0) {
            WriteLog("dispatch: subscribe video-size event exception!");
            return -15;
        }
        if (!s.Members().empty()) {
            const std::string first = s.GetFirstMember();
            tile->SetUser(s.GetPeerName(), first, 0);
            if (m_env.AutoRecord())
                s.StartRecord(first);
        }
        tile->SetService(s.GetMediaKind() == kMediaVideoCall ? 1 : 0);
        return 0;
    }
    default:
        WriteLog("dispatch: serice type not support!");
        return -16;
    }
}

int CSessionMedia::Start()
{
    const int rc = Configure();
    if (rc != 0)
        return rc;
    if (StartMediaSession(m_mgr) != 0) {
        WriteLog("dispatch: start session exception!");
        m_session.SetLocalPreview(false);
        return -17;
    }
    if (m_session.GetMediaKind() == kMediaVideoCall)
        m_env.AddConfVideoShare(m_session);
    if (m_session.HasLocalPreview())
        m_env.ShowCameraPreview(true);
    return 0;
}

int CSessionMedia::AddVideoShare(IDispatchMedia &other)
{
    auto *o = dynamic_cast<CSessionMedia *>(&other);
    return o ? AddVideoShareSession(m_mgr, o->m_mgr) : -1;
}

int CSessionMedia::RemoveVideoShare(IDispatchMedia &other)
{
    auto *o = dynamic_cast<CSessionMedia *>(&other);
    return o ? RemoveVideoShareSession(m_mgr, o->m_mgr) : -1;
}

int CSessionMedia::StartRecord(const std::string &path)
{
    return tmedia_session_mgr_start_record(m_mgr, path.c_str()) == 0 ? 0 : -1;
}

void CSessionMedia::StopRecord() { tmedia_session_mgr_stop_record(m_mgr); }

int CSessionMedia::SendTalkBurst(uint8_t subtype) { return SendMediaRtcpEvent(m_mgr, subtype); }

int CSessionMedia::OnTalkBurstEvent(const void *self, int kind, uint8_t subtype, const void *body, size_t size)
{
    if (!self || kind != tmedia_rtcp_event_tbcp)
        return 0;
    const auto *media = static_cast<const CSessionMedia *>(self);
    uintptr_t wParam = 0;
    const uint32_t message = TalkBurstMessage(subtype, media->m_serviceType, wParam);
    if (message == 0)
        return 0;
    std::string speaker;
    if (message == WM_TBCP_TAKEN && body)
        GetTalkBurstTakenName(static_cast<const uint8_t *>(body), size, speaker);
    media->m_env.PostTalkBurst(message, wParam, speaker);
    return 0;
}

int CSessionMedia::OnVideoSize(const void *self, uint32_t width, uint32_t height)
{
    if (!self)
        return 0;
    const auto *media = static_cast<const CSessionMedia *>(self);
    media->m_env.PostVideoSize(media->m_instance, width, height);
    return 0;
}
