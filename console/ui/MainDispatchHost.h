#pragma once
// What the dispatch lines and sessions need from the running console, for the main
// window: the link, the sounds, the cache, the selection, the status panes and buttons.
#include "dispatch/DispatchLineTable.h"
#include "dispatch/DispatchSession.h"

class TMainForm;

class CMainDispatchHost : public IDispatchLineHost, public IDispatchSessionHost {
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

private:
    TMainForm &m_form;
};
