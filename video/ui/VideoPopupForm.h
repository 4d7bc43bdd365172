#pragma once
// A floating stay-on-top window that previews one vehicle or camera outside the wall.
// Its two title pictures close it and stop the preview, or close it and move the
// preview into a free tile of the wall. Every other way of closing it stops the
// preview too and leaves the owner's list.
#include "video/ui/VideoWndCtrl.h"

#include <QWidget>

#include <string>

class QLabel;
class QTimer;
class TVideoPopupForm;

// The popup's owner: the main window with its wall and its list of popups.
class IVideoPopupOwner {
public:
    virtual ~IVideoPopupOwner() = default;
    virtual TVideoWndCtrl *GetFreeVideoWindow() = 0;
    // Removes the popup from the owner's list and closes it.
    virtual void CloseVideoPopup(TVideoPopupForm *popup) = 0;
};

// The RTSP operations a popup needs (the RTSP client in the program).
class IPopupVideoSource {
public:
    virtual ~IPopupVideoSource() = default;
    virtual int PlayVideo(int userType, const std::string &number, IVideoTile *tile) = 0;
    virtual int MoveVideo(int userType, const std::string &number, IVideoTile *tile) = 0;
    virtual void StopVideo(int userType, const std::string &number) = 0;
    virtual void DetachTile(int userType, const std::string &number, IVideoTile *tile) = 0;
};

// The running RTSP client as a source, or null when there is none.
IPopupVideoSource *RtspClientVideoSource();

class TVideoPopupForm : public QWidget, public CVideoWndHandler {
public:
    // source null: the RTSP client (when one runs).
    TVideoPopupForm(QWidget *owner, IVideoPopupOwner *popupOwner, const std::string &title,
                    const std::string &number, int userType, IPopupVideoSource *source = nullptr);
    ~TVideoPopupForm() override;

    int StartPreview();
    int RestartPreview();
    void EnsureVideoCtrl();
    void ReleaseVideoCtrl();
    void OnTimerOut();
    void OnImageAcceptClick();
    void OnImageCloseClick();

    int GetUserType() const { return m_userType; }
    const std::string &GetNumber() const { return m_number; }
    TVideoWndCtrl *VideoCtrl() const { return m_tile; }
    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QLabel *c_pImageAccept = nullptr;
    QWidget *c_pPanelTitle = nullptr;
    QWidget *c_pPanelVideo = nullptr;
    QTimer *c_pTimer = nullptr;

    // The popup's tile shows no tools and handles no clicks: nothing to do.
    void OnVideoWindowSelected(QWidget *, bool) override {}
    void SetSingleVideoWindow(QWidget *, bool) override {}
    void AutoShowTopBar(QWidget *) override {}
    void SwapVideoWindows(QWidget *, QWidget *) override {}
    void StopVideoUploadOfWindow(const std::string &, const std::string &) override {}
    void HangupVideoWindow(const std::string &, const std::string &) override {}
    void StopRtspVideo(int, const std::string &) override {}
    void OnForwardVideo(int, const std::string &, int) override {}
    void ToggleSessionRecord(const std::string &, int) override {}
    void ToggleRtspRecord(int, const std::string &) override {}
    int ToggleRtspAudio(int, const std::string &, TVideoWndCtrl *) override { return -1; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    IPopupVideoSource *Source() const;
    void SetPicture(QLabel *picture, int state);

    IVideoPopupOwner *m_owner;
    IPopupVideoSource *m_source;
    std::string m_title;
    std::string m_number;
    int m_userType;
    TVideoWndCtrl *m_tile = nullptr;
    bool m_closing = false; // the preview was stopped or moved and the owner asked to close
};
