#pragma once
// The smallest tile a call's video renders into until the video wall exists: a black
// panel with the caller's name, owned by the main window and never by a session.
#include <QWidget>

#include "dispatch/DispatchSession.h"

class QLabel;

class TCallVideoTile : public QWidget, public IDispatchTile {
    Q_OBJECT
public:
    explicit TCallVideoTile(QWidget *parent);

    int GetState() const { return m_state; }
    bool IsFree() const { return m_state == kTileFree; }
    bool IsRecording() const { return m_recording; }
    QSize VideoSize() const { return m_videoSize; }
    const std::string &UserText() const { return m_userText; }

    // IDispatchTile
    void SetState(int state) override;
    std::string GetUserNumber() const override { return m_number; }
    void Click() override {}
    void Deselect() override {}
    uintptr_t GetHandle() const override;
    void SetUser(const std::string &displayName, const std::string &number, int userType) override;
    void SetService(int service) override { m_service = service; }
    void SetRecording(bool on) override { m_recording = on; }
    void SetVideoSize(uint32_t width, uint32_t height) override { m_videoSize = QSize(int(width), int(height)); }

private:
    QWidget *m_video;
    QLabel *m_title;
    int m_state = kTileFree;
    int m_service = 0;
    bool m_recording = false;
    QSize m_videoSize;
    std::string m_number;
    std::string m_userText;
};
