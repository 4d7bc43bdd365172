#pragma once
// The window-free side of the video-push alerts: one pending push (who pushes, the
// references its answer carries, the 30-second countdown) and what answering or
// declining it sends. Each alert acts once: the first of answer, decline and the
// countdown's end wins, every later one is ignored. The alert window and its panels
// (console/ui/VpAlertDialog, VpAlertCtrl) show these and delegate here.
// User-interface thread only.
#include <cstdint>
#include <string>

// What an alert's answer needs from the main window.
class IVpAlertActions {
public:
    virtual ~IVpAlertActions() = default;
    // Asks the pushing terminal to upload into a free tile, with `instance` as the
    // session instance: 0 started, negative on failure (no line, no tile, instance
    // taken, send failed).
    virtual int StartVideoUpload(const std::string &number, const std::string &name, int32_t instance) = 0;
    // The stop notice: the source id as the console's reference, the destination id as the peer's.
    virtual void SendStopVpNotify(uint32_t sourceId, uint32_t destinationId, const std::string &number) = 0;
};

// The decline button's caption: "Decline(30)" .. "Decline(10)", "Decline(09)" .. "Decline(01)"
// (the word in this build's language).
std::string VpCountdownCaption(int seconds);

class CVpAlertState {
public:
    static constexpr int kCountdownSeconds = 30;

    // sourceId: the session instance the notice asks the console to use (bytes 20..23
    // of the notice); destinationId: the notice's sender reference.
    CVpAlertState(std::string number, std::string name, uint32_t sourceId, uint32_t destinationId)
        : m_number(std::move(number)), m_name(std::move(name)), m_sourceId(sourceId), m_destId(destinationId)
    {
    }

    const std::string &GetUserNumber() const { return m_number; }
    const std::string &GetUserName() const { return m_name; }
    uint32_t GetSourceId() const { return m_sourceId; }
    uint32_t GetDestId() const { return m_destId; }
    int SecondsLeft() const { return m_seconds; }
    std::string Caption() const { return VpCountdownCaption(m_seconds); }
    bool HasActed() const { return m_acted; }

    // One second of the countdown: true exactly once, when it runs out on an alert
    // that has not acted yet (the caller then declines it).
    bool Tick();

    // Marks the alert as answered or declined: true the first time only.
    bool TakeAction();

private:
    std::string m_number;
    std::string m_name;
    uint32_t m_sourceId;
    uint32_t m_destId;
    int m_seconds = kCountdownSeconds;
    bool m_acted = false;
};

// Decline: the stop notice with the alert's references. Answer: the upload with the
// alert's source id as the instance; a failed start sends the same stop notice.
// Both return true when they acted (false for an alert that had acted before).
bool DeclineVpAlert(IVpAlertActions &actions, CVpAlertState &alert);
bool AcceptVpAlert(IVpAlertActions &actions, CVpAlertState &alert);
