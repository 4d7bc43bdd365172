#pragma once
// One video tile: a title bar with the title and six tools above the panel that the
// media libraries render into. The tile reports the dispatcher's clicks to its owner
// through CVideoWndHandler and never acts on a session itself.
#include "dispatch/DispatchSession.h"
#include "video/VideoTile.h"
#include "video/VideoWall.h"

#include <QColor>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <string>

class QLabel;
class QToolButton;

class TVideoWndCtrl;

// Implemented by the owner of tiles (the main window, a video popup).
class CVideoWndHandler {
public:
    virtual ~CVideoWndHandler() = default;
    virtual void OnVideoWindowSelected(QWidget *tile, bool byUser) = 0;
    virtual void SetSingleVideoWindow(QWidget *tile, bool maximised) = 0;
    virtual void AutoShowTopBar(QWidget *tile) = 0;
    virtual void SwapVideoWindows(QWidget *target, QWidget *source) = 0;
    virtual void StopVideoUploadOfWindow(const std::string &number, const std::string &name) = 0;
    virtual void HangupVideoWindow(const std::string &number, const std::string &name) = 0;
    virtual void StopRtspVideo(int userType, const std::string &number) = 0;
    virtual void OnForwardVideo(int userType, const std::string &number, int service) = 0;
    // lineKind: 4 video upload, 2 video call
    virtual void ToggleSessionRecord(const std::string &number, int lineKind) = 0;
    virtual void ToggleRtspRecord(int userType, const std::string &number) = 0;
    // 0: toggled
    virtual int ToggleRtspAudio(int userType, const std::string &number, TVideoWndCtrl *tile) = 0;
};

inline constexpr int kVideoTileTag = 10004;

// A tile serves RTSP previews (IVideoTile) and calls and uploads (IDispatchTile) alike.
class TVideoWndCtrl : public QWidget, public IVideoTile, public IDispatchTile {
public:
    enum Tool { ToolMaximize = 0, ToolStop, ToolForward, ToolStretch, ToolRecord, ToolSound, ToolCount };

    TVideoWndCtrl(QWidget *owner, CVideoWndHandler *handler);
    ~TVideoWndCtrl() override;

    // IVideoTile
    void SetUser(const std::string &name, const std::string &number, int userType) override;
    void SetService(EN_ZOX_VIDEOWND_SERVICE service) override;
    void SetState(EN_ZOX_VIDEOWND_STATE state) override;
    void SetSelected(bool selected) override;
    uintptr_t GetHandle() override;
    void SetVideoSize(uint32_t width, uint32_t height) override;
    void SetRecording(bool recording) override;
    void SetSoundEnable(bool enable) override;
    void SetSoundOpen(bool open) override;
    void SetVideoKarCallback(const void *userData, VideoKarCallback callback) override;
    void Clone(IVideoTile *source) override;

    // IDispatchTile (states and services of a dispatch session)
    void SetState(int state) override;
    void SetService(int service) override;
    void Click() override { OnClickHandler(nullptr); }
    void Deselect() override { SetSelected(false); }
    uintptr_t GetHandle() const override;

    bool IsUsed() const { return m_state != ZOX_VIDEOWND_FREE; }
    int GetUserType() const { return m_userType; }
    std::string GetUserNumber() const override { return m_state == ZOX_VIDEOWND_PLAYING ? m_userNumber : std::string(); }
    bool IsSelected() const { return m_selected; }
    EN_ZOX_VIDEOWND_STATE GetState() const { return m_state; }
    EN_ZOX_VIDEOWND_SERVICE GetService() const { return m_service; }
    bool IsStretch() const { return m_stretch; }
    bool IsRecording() const { return m_recording; }
    bool IsSoundOpen() const { return m_soundOpen; }
    bool IsMaximised() const { return m_maximised; }
    bool IsSoundEnabled() const { return m_soundEnabled; }
    QColor FlatColor() const { return m_flatColour; }
    bool IsBorderBold() const { return m_borderBold; }

    void SetTitleBarVisible(bool visible);
    void SetWndClickEnabled(bool enabled) { m_clicksEnabled = enabled; }

    void LayoutToolsCtrl();
    void LayoutVideoPanel();
    void ResetVideoPanel();

    void SetWndSizeCtrlVisible(bool visible);
    void SetVideoStopCtrlVisible(bool visible);
    void SetVideoShareCtrlVisible(bool visible);
    void SetVideoScaleCtrlVisible(bool visible);
    void SetVideoRecordCtrlVisible(bool visible);
    void SetSoundCtrlVisible(bool visible);
    void UpdateWndSizeCtrlVisible();

    // Parts, for the owner's layout and for tests.
    QWidget *TitleBar() const { return m_titleBar; }
    QLabel *TitleLabel() const { return m_titleLabel; }
    QToolButton *ToolButton(Tool tool) const { return m_buttons[tool]; }
    QLabel *ToolIcon(Tool tool) const { return m_icons[tool]; }
    QWidget *VideoPanel() const { return m_videoPanel; }
    QWidget *HostPanel() const { return m_hostPanel; }
    // Name of the picture a tool icon shows now.
    QString ToolIconName(Tool tool) const;

    // Event handlers (sender: the clicked part, null when code selects the tile).
    void OnClickHandler(QObject *sender);
    void OnDblClickHandler();
    void OnMouseMoveHandler();
    void OnMouseDownHandler(QObject *sender, Qt::MouseButton button, QPoint globalPos);
    bool OnDragOverHandler(QObject *dragged) const;
    void OnDragDropHandler(QObject *dragged);
    void OnBtnWndSizeClick();
    void OnBtnVideoStopClick();
    void OnBtnVideoShareClick();
    void OnBtnVideoScaleClick();
    void OnBtnVideoRecordClick();
    void OnBtnSoundClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void SetToolVisible(Tool tool, bool visible);
    void SetIcon(Tool tool, const char *name);
    void LayoutHost();
    static bool DefaultStretch();

    QWidget *m_titleBar = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_icons[ToolCount] = {};
    QToolButton *m_buttons[ToolCount] = {};
    QString m_iconNames[ToolCount];
    QWidget *m_hostPanel = nullptr;
    QWidget *m_videoPanel = nullptr;

    bool m_selected = false;
    bool m_maximised = false;
    bool m_clicksEnabled = true;
    bool m_recording = false;
    bool m_stretch = true;
    bool m_soundEnabled = false;
    bool m_soundOpen = false;
    bool m_videoAligned = true; // the video panel fills the host panel
    uint32_t m_videoWidth = 0;
    uint32_t m_videoHeight = 0;
    int m_userType = 0;
    std::string m_userName;
    std::string m_userNumber;
    EN_ZOX_VIDEOWND_STATE m_state = ZOX_VIDEOWND_FREE;
    EN_ZOX_VIDEOWND_SERVICE m_service = ZOX_VIDEOWND_UPLOAD;
    CVideoWndHandler *m_handler = nullptr;
    VideoKarCallback m_karCallback = nullptr;
    const void *m_karUserData = nullptr;

    QColor m_flatColour{27, 42, 49};
    bool m_borderBold = false;
    bool m_dragArmed = false;
    QPoint m_dragStart;
};
