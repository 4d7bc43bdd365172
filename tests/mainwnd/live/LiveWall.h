#pragma once
// A main window whose video wall plays camera previews through the console's RTSP
// client from an RTSP server on 127.0.0.1 (the tests' gst-rtsp-server): for the wall's
// live test, its pictures and its benchmark. The cameras come from an in-memory cache;
// every camera plays the server's one stream.
#include "../FakeListCache.h"

#include "console/SplitScreenCtrlMap.h"
#include "console/ui/Mainfrm.h"
#include "core/MediaLibrary.h"
#include "medialib/MediaSessionMgr.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"
#include "video/RtspClient.h"
#include "video/ui/VideoPopupForm.h"
#include "video/ui/VideoWndCtrl.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class LiveWall : public IRtspClientSource {
public:
    LiveWall() = default;
    LiveWall(const LiveWall &) = delete;
    LiveWall &operator=(const LiveWall &) = delete;
    ~LiveWall() override { Close(); }

    // Opens the main window at the given size with the 16-tile layout and `cameras`
    // cameras (ids 101, 102, ...) whose stream is url. False when the media layer or
    // the RTSP client cannot start.
    bool Open(const std::string &url, int cameras, int width, int height)
    {
        zoxtest::uiApp();
        m_dir.emplace();
        m_cwd.emplace(m_dir->path());
        m_dir->write("data/zoxcfg.ini", "[System]\nRtspClientIP=127.0.0.1\n[General]\nTitle=ZoxClient Dispatch Console\n"
                                        "Department=City Operations\n[GIS]\nGisEnabled=0\n");
        m_config = std::make_unique<CSystemConfig>();
        g_pSystemConfig = m_config.get();
        if (!InitMediaLibrary())
            return false;
        m_media = true;
        for (int i = 0; i < cameras; ++i) {
            ST_ZOX_RTSP_CAMERA c = MakeCamera(uint32_t(101 + i), "Camera " + std::to_string(i + 1), 1, 1);
            c.ip = "127.0.0.1";
            c.port = std::stoi(url.substr(url.rfind(':') + 1));
            c.main_url = url;
            m_cache.cameras.push_back(c);
        }
        m_client = std::make_unique<CRtspClient>(this);
        if (m_client->Start() != 0)
            return false;
        g_pRtspClient = m_client.get();
        m_form = std::make_unique<TMainForm>();
        m_form->SetListCache(&m_cache);
        m_form->resize(width, height);
        m_form->show();
        for (std::size_t i = 0; i < kSplitScreenPictureCount; ++i)
            if (kSplitScreenPictures[i].windowCount == 16)
                m_form->OnImageSplitScreenClick(m_form->c_pImageSplit[i]);
        Pump(std::chrono::milliseconds(100));
        return true;
    }

    // Plays every camera in a free tile of the wall, as the quick action does.
    bool PlayAll()
    {
        for (const ST_ZOX_RTSP_CAMERA &c : m_cache.cameras) {
            TVideoWndCtrl *tile = m_form->GetFreeVideoWindow();
            if (!tile || m_client->PlayVideo(CRtspClient::kOwnerCamera, Id(c), tile) != 0)
                return false;
        }
        return true;
    }

    // Decoded pictures of a camera's preview so far (0 without a session).
    int64_t Frames(const std::string &cid)
    {
        int64_t n = 0;
        tmedia_session_mgr_t *m = m_client->GetMediaSession(CRtspClient::kOwnerCamera, cid);
        if (!m || tmedia_session_mgr_get_int64(m, CRtspClient::kMediaVideo, tmedia_ppt_consumer, "decoder-frames-count", &n) != 0)
            return 0;
        return n;
    }
    // The wall tile that shows a camera as playing, or null.
    TVideoWndCtrl *WallTileOf(const std::string &cid) const
    {
        for (TVideoWndCtrl *t : m_form->VideoWindows())
            if (t->GetState() == ZOX_VIDEOWND_PLAYING && t->GetUserNumber() == cid)
                return t;
        return nullptr;
    }
    // Every camera plays in a tile of the wall and has decoded at least `frames` pictures.
    bool AllPlaying(int64_t frames = 1)
    {
        for (const ST_ZOX_RTSP_CAMERA &c : m_cache.cameras)
            if (!WallTileOf(Id(c)) || Frames(Id(c)) < frames)
                return false;
        return true;
    }

    // Runs the event loop until pred holds or the time is out.
    static bool PumpUntil(const std::function<bool()> &pred, std::chrono::milliseconds timeout)
    {
        QDeadlineTimer deadline(timeout.count());
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QCoreApplication::sendPostedEvents();
            if (pred())
                return true;
            if (deadline.hasExpired())
                return false;
            QThread::msleep(5);
        }
    }
    static void Pump(std::chrono::milliseconds duration)
    {
        PumpUntil([] { return false; }, duration);
    }

    // Ends every preview, then closes the window.
    void Close()
    {
        if (m_client) {
            g_pRtspClient = nullptr;
            m_client.reset();
            Pump(std::chrono::milliseconds(100)); // tile changes posted by the ending sessions
        }
        m_form.reset();
        if (m_media) {
            ExitMediaLibrary();
            m_media = false;
        }
        g_pSystemConfig = nullptr;
        m_config.reset();
        m_cwd.reset();
        m_dir.reset();
    }

    static std::string Id(const ST_ZOX_RTSP_CAMERA &c) { return std::to_string(c.cid); }
    TMainForm &Form() { return *m_form; }
    CRtspClient &Client() { return *m_client; }
    const std::vector<ST_ZOX_RTSP_CAMERA> &Cameras() const { return m_cache.cameras; }

    // IRtspClientSource: cameras from the cache; no vehicles.
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera) override
    {
        return m_cache.GetRtspCamera(cid, camera);
    }
    int GetDisplayName(const std::string &, std::string &) override { return -1; }
    int GetVehicleRtsp(const std::string &, std::string &, std::string &, uint16_t &) override { return -1; }

private:
    std::optional<zoxtest::TempDir> m_dir;
    std::optional<zoxtest::ScopedCwd> m_cwd;
    std::unique_ptr<CSystemConfig> m_config;
    bool m_media = false;
    FakeListCache m_cache;
    std::unique_ptr<CRtspClient> m_client;
    std::unique_ptr<TMainForm> m_form;
};
