#pragma once
// The console's handling of the datagrams of the call-signalling and video-push
// families that the dispatch server sends it: incoming setups (with the alert and the
// answer), the answers to its own requests, releases in both directions, the video-push
// notices, and the speaker pane's texts of the talk bursts. The main window forwards
// its window messages here; everything else (the alert, the ring, the tiles, the status
// panes, the video-push alerts) is reached through IIncomingCallHost.
// User-interface thread only.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dispatch/DispatchLineTable.h"
#include "dispatch/DispatchSession.h"
#include "host/MessageNumbers.h"

// The operation text of a conference's add-member request (the modify response that
// answers a line carrying it adds the member).
inline constexpr const char *kAddMemberOperation = "语音调度: 调度台 添加会议成员";

class IIncomingCallHost {
public:
    virtual ~IIncomingCallHost() = default;
    virtual CDispatchLineTable &Lines() = 0;
    virtual IDispatchSessionHost &SessionHost() = 0;

    // The incoming-call alert: shown modally (datagrams keep being handled meanwhile);
    // 1 answer, 2 decline / time-out / dismissal.
    virtual bool IsCallAlertVisible() const = 0;
    virtual int ShowCallAlert(int32_t callId, const std::string &number, int32_t kind) = 0;
    virtual int32_t CallAlertId() const = 0;
    virtual void DismissCallAlert() = 0;
    virtual void StartRingIn() = 0;
    virtual void StopRingIn() = 0;

    // A free tile of the video wall; null when none.
    virtual IDispatchTile *GetFreeVideoWindow() = 0;
    // The status panes show a call of this kind with this object text.
    virtual void ShowCallStatus(int32_t kind, const std::string &object) = 0;
    virtual void SetupVideoConfAudio() = 0;
    virtual void HangupVideoCalls() = 0;
    virtual void UpdateOperateButtons() = 0;
    virtual bool IsVideoEnabled() const = 0;

    // The video-push alerts.
    virtual bool IsVpAlertShown(const std::string &number) const = 0;
    virtual int VpAlertCount() const = 0;
    virtual void AddVpAlert(const std::string &number, const std::string &displayName, uint32_t sourceId,
                            uint32_t destinationId) = 0;
    virtual void RemoveVpAlert(const std::string &number) = 0;
    virtual void PlayCompleteSound() = 0;

    // The speaker pane and the map page.
    virtual void SetSpeakerText(const std::string &text) = 0;
    virtual void MapSetSpeaker(const std::string &name) = 0;
    virtual void MapUnsetSpeaker() = 0;
};

// The speaker pane's text for a talk-burst message; false for a message it does not show.
bool SpeakerPaneText(uint32_t message, uintptr_t wParam, const std::string &speaker, std::string &text);

class CIncomingSignalling {
public:
    explicit CIncomingSignalling(IIncomingCallHost &host) : m_host(host) {}

    // A datagram of each family, dispatched by its code; unknown codes are ignored.
    void OnNetCall(const uint8_t *data, std::size_t length);
    void OnNetVideoPush(const uint8_t *data, std::size_t length);

    void OnSetupRequest(const uint8_t *data, std::size_t length);
    void OnSetupResponse(const uint8_t *data, std::size_t length);
    void OnJoinResponse(const uint8_t *data, std::size_t length);
    void OnModifyResponse(const uint8_t *data, std::size_t length);
    void OnReleaseRequest(const uint8_t *data, std::size_t length);
    void OnReleaseResponse(const uint8_t *data, std::size_t length);
    void OnVpNotifyRequest(const uint8_t *data, std::size_t length);
    void OnVpSetupResponse(const uint8_t *data, std::size_t length);
    void OnVpReleaseRequest(const uint8_t *data, std::size_t length);
    void OnVpReleaseResponse(const uint8_t *data, std::size_t length);

    // Answers the ringing call of a line: 0, -1 no line or session, -2 not ringing,
    // -3 no free tile for a video call, -4 the media did not open, -5 the answer failed.
    int AnswerCall(ST_ZOX_DISPATCH_LINE_INFO *line);
    void SendStopVpNotify(uint32_t sourceId, uint32_t destinationId, const std::string &number);

    // A talk-burst window message (WM_TBCP_*) with the speaker text it carries.
    void OnTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker);

private:
    int Send(const std::vector<uint8_t> &bytes);
    void RefuseSetup(const DispatchMessageHeader &request, uint8_t result);
    void ReleaseOrDestroy(CDispatchSession *session);

    IIncomingCallHost &m_host;
};
