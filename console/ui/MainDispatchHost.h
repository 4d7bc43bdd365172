#pragma once
// What the dispatch lines and sessions need from the running console, for the main
// window: the link, the sounds, the cache, the selection, the status panes and buttons.
#include "dispatch/DispatchLineTable.h"
#include "dispatch/DispatchSession.h"
#include "dispatch/IncomingSignalling.h"
#include "dispatch/SessionMedia.h"

class TMainForm;

class CMainDispatchHost : public IDispatchLineHost,
                          public IDispatchSessionHost,
                          public ISessionMediaEnv,
                          public IIncomingCallHost {
public:
    explicit CMainDispatchHost(TMainForm &form) : m_form(form) {}

    // IDispatchLineHost
    std::unique_ptr<ILineTimer> CreateLineTimer(std::function<void()> onTimeout) override;
    void StopRingIn() override;
    void StopRingBack() override;
    void OnCallLineStateChanged(int32_t oldState, int32_t newState) override;
    void ClearDispatchStatus() override;
    void UpdateOperateButtons() override;
    void ReleaseVideoConfAudio() override;
    bool IsLineUser(const std::string &lineNumber, const std::string &callRef) const override;
    bool IsVideoEnabled() const override;

    // IDispatchSessionHost
    int SendUdp(const uint8_t *data, std::size_t length) override;
    CSessionInstancePool &InstancePool() override { return CSessionInstancePool::Process(); }
    uint32_t OwnUserId() const override;
    uint32_t LocalIp() const override;
    std::unique_ptr<IDispatchMedia> CreateMedia(CDispatchSession &session) override;
    bool GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override;
    void StartRingBack() override;
    std::string SelectedUserNumber() const override;
    void HideLocalPreview() override;
    void RemoveConferenceVideoShare(CDispatchSession &session) override;
    std::string RecordFolder() const override;

    // ISessionMediaEnv
    std::string PttCodec() const override;
    int CameraId() const override;
    bool AutoRecord() const override;
    uintptr_t LayoutCameraPreview() override;
    void ShowCameraPreview(bool on) override;
    void AddConfVideoShare(CDispatchSession &session) override;
    void PostTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker) override;
    void PostVideoSize(int32_t instance, uint32_t width, uint32_t height) override;

    // IIncomingCallHost
    CDispatchLineTable &Lines() override;
    IDispatchSessionHost &SessionHost() override { return *this; }
    bool IsCallAlertVisible() const override;
    int ShowCallAlert(int32_t callId, const std::string &number, int32_t kind) override;
    int32_t CallAlertId() const override;
    void DismissCallAlert() override;
    void StartRingIn() override;
    IDispatchTile *GetFreeVideoWindow() override;
    void ShowCallStatus(int32_t kind, const std::string &object) override;
    void SetupVideoConfAudio() override;
    void HangupVideoCalls() override;
    bool IsVpAlertShown(const std::string &number) const override;
    int VpAlertCount() const override;
    void AddVpAlert(const std::string &number, const std::string &displayName, uint32_t sourceId,
                    uint32_t destinationId) override;
    void RemoveVpAlert(const std::string &number) override;
    void PlayCompleteSound() override;
    void SetSpeakerText(const std::string &text) override;
    void MapSetSpeaker(const std::string &name) override;
    void MapUnsetSpeaker() override;

private:
    TMainForm &m_form;
};
