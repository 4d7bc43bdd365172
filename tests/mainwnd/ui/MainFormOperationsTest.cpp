// The call operations driven as a dispatcher drives them, after a real login against
// the fake dispatch server, with real media peers on the server's side: a voice call
// from the user's "Voice Call" button carries audio both ways and ends after "Hangup";
// a group PTT call from the group's "PTT Call" button takes and gives back the right to
// speak with the speak button (one release per press, whatever the pointer does) and
// ends with the end-calls button; the dial pad and the call progress panel follow a
// dialled call through refusal, call again, connection and hang-up. "Video Preview"
// plays a camera from an RTSP server on a tile of the wall, and the map page's commands
// reach the server as the set-ups of their calls.
#include "MainFormFixture.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QToolButton>
#include <QWebEngineView>
#include <QTest>

#include <arpa/inet.h>

#include "console/MainListRules.h"
#include "console/ui/Callprogressfrm.h"
#include "console/ui/Mapfrm.h"
#include "console/ui/Dialpanelfrm.h"
#include "console/ui/TButtonCtrl.h"
#include <filesystem>
#include "console/ContactsDb.h"
#include "console/ui/Callconfirmdlg.h"
#include "console/ui/Contactfrm.h"
#include "console/ui/Msgtipfrm.h"
#include "console/ui/TMultiImageCtrl.h"
#include "core/MediaLibrary.h"
#include "core/ZoxDataModule.h"
#include "core/ZoxLoginCache.h"
#include "dispatch/CallMessages.h"
#include "dispatch/SessionMedia.h"
#include "medialib/Tbcp.h"
#include "core/ZoxDataModule.h"
#include "core/ZoxLoginCache.h"
#include "tests/support/ConsoleLoginTest.h"
#include "tests/support/MapTestPage.h"
#include "tests/support/TestFloorPeer.h"
#include "tests/video/server/RtspTestServer.h"
#include "video/RtspClient.h"
#include "video/ui/VideoWndCtrl.h"

using namespace zoxtest;
using namespace zox::call;

namespace {

constexpr uint32_t kServerId = 0x00000001;
constexpr uint32_t kGroupId = 21;

std::string Digits(const TbcdNumber &n)
{
    std::string s;
    DecodeBcdDigits(n.data(), n.size(), s);
    return s;
}

tmedia_session_stats_t AudioStats(tmedia_session_mgr_t *m)
{
    tmedia_session_stats_t s;
    tmedia_session_mgr_get_stats(m, tmedia_audio, &s);
    return s;
}

class OperationsAfterLogin : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        MainTestApp();
        setenv("ZOX_MEDIA_AUDIO", "none", 1);
        if (Offscreen())
            unsetenv("DISPLAY");
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            s.groups.push_back({kGroupId, "Patrol", "9001"});
            for (int i = 0; i < 3; ++i) {
                FakeUser u;
                u.number = std::to_string(3001 + i);
                u.name = "Driver " + u.number;
                u.groups = {uint8_t(kGroupId)};
                s.users.push_back(u);
            }
        });
        ASSERT_NO_FATAL_FAILURE(StartConsole(
            "[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\nLocalRegIpAddr=127.0.0.1\n"
            "[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\nHeartbeat=0\n"
            "[Video]\nVideoEnabled=1\n" + extraConfig));
        ASSERT_TRUE(WaitFor([&] { return form->IsRunning(); }));
        ASSERT_TRUE(InitMediaLibrary());
        mainForm->show();
        QCoreApplication::processEvents();
    }

    static bool Offscreen() { return QGuiApplication::platformName() == QLatin1String("offscreen"); }

    TButtonCtrl *OperateButton(const QString &caption)
    {
        for (TButtonCtrl *b : mainForm->VisibleOperateButtons())
            if (b->Caption()->text() == caption)
                return b;
        return nullptr;
    }
    void Click(QWidget *w)
    {
        ASSERT_NE(w, nullptr);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
        QCoreApplication::processEvents();
    }
    void SelectGroupTile(uint32_t id)
    {
        for (TGroupCellCtrl *t : mainForm->GroupCells())
            if (t->GetGroupId() == int(id)) {
                Click(t);
                return;
            }
        FAIL() << "no tile of group " << id;
    }
    void SelectUserTile(const std::string &number)
    {
        for (TUserCellCtrl *t : mainForm->VisibleUserCells())
            if (t->GetUserNumber() == number) {
                Click(t);
                return;
            }
        FAIL() << "no tile of user " << number;
    }

    // The last request with this code the server received.
    CallMessage LastRequest(uint32_t code, const MessageLayout &layout)
    {
        CallMessage m;
        const auto all = server.ReceivedWithCode(code);
        if (!all.empty())
            ReadMessage(layout, all.back().bytes.data(), all.back().bytes.size(), m);
        return m;
    }

    // The server's setup response to the last setup request, media from 127.0.0.2.
    void AnswerSetup(uint8_t result, uint16_t peerPort, uint32_t mediaCode = 0, uint16_t videoPort = 0)
    {
        AnswerSetupOf(LastRequest(kSetupRequest, kSetupRequestLayout), result, peerPort, mediaCode, videoPort);
    }
    void AnswerSetupOf(const CallMessage &req, uint8_t result, uint16_t peerPort, uint32_t mediaCode = 0,
                       uint16_t videoPort = 0)
    {
        CallMessage m;
        m.header = {kServerId, 0, 0x00990001, req.header.senderRef};
        m.result = result;
        in_addr a {};
        inet_pton(AF_INET, "127.0.0.2", &a);
        MakeAddressRecord(a, m.audio.record);
        m.audio.port = peerPort;
        m.audio.present = true;
        m.audioCopy = m.audio;
        if (videoPort) {
            m.video = m.audio;
            m.video.port = videoPort;
            m.videoCopy = m.video;
        }
        m.mediaCode = mediaCode;
        ASSERT_TRUE(server.Inject(WriteMessage(kSetupResponseLayout, m)));
    }
    void AnswerRelease()
    {
        const CallMessage req = LastRequest(kReleaseRequest, kReleaseRequestLayout);
        CallMessage m;
        m.header = {kServerId, 0, 0x00990002, req.header.senderRef};
        m.serviceType = req.serviceType;
        ASSERT_TRUE(server.Inject(WriteMessage(kReleaseResponseLayout, m)));
    }

    ST_ZOX_DISPATCH_LINE_INFO *Line(const std::string &n) { return mainForm->FindLineByName(n); }
    QString Speaker() const { return mainForm->c_pStatusPaneSpeaker->text(); }

    std::string extraConfig; // more of the configuration, set before SetUp
};

TEST_F(OperationsAfterLogin, VoiceCallFromTheButtonsCarriesAudioAndEndsAfterHangup)
{
    in_addr peerIp {};
    inet_pton(AF_INET, "127.0.0.2", &peerIp);
    tmedia_session_mgr_t *peer = CreateMediaSession(kMediaAudio, peerIp, kMediaAudio, kMediaAudio, 1);
    ASSERT_NE(peer, nullptr);
    uint16_t peerPort = 0;
    ASSERT_EQ(GetMediaLocalPort(peer, kMediaAudio, &peerPort), 0);

    ASSERT_NO_FATAL_FAILURE(SelectGroupTile(kGroupId));
    ASSERT_NO_FATAL_FAILURE(SelectUserTile("3001"));
    ASSERT_NO_FATAL_FAILURE(Click(OperateButton("Voice Call")));
    ASSERT_TRUE(server.WaitFor(kSetupRequest, 1, std::chrono::milliseconds(3000)));
    const CallMessage setup = LastRequest(kSetupRequest, kSetupRequestLayout);
    EXPECT_EQ(setup.serviceType, 1u);
    EXPECT_EQ(Digits(setup.lineNumber), "5000");
    ASSERT_EQ(setup.members.size(), 1u);
    EXPECT_EQ(Digits(setup.members[0]), "3001");
    ST_ZOX_DISPATCH_LINE_INFO *line = Line("5000");
    ASSERT_NE(line->session, nullptr);
    EXPECT_EQ(line->state, kLineCalling);
    EXPECT_EQ(line->action, kActionCall);
    EXPECT_EQ(line->timer->Period(), 120000);
    EXPECT_EQ(mainForm->c_pStatusPaneObject->text().toStdString(), "User: Driver 3001");

    ASSERT_NO_FATAL_FAILURE(AnswerSetup(0, peerPort));
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineConnected; }, 5000));
    EXPECT_EQ(line->action, kActionNone);
    auto *media = static_cast<CSessionMedia *>(line->session->GetSessionMgr());
    ASSERT_NE(media, nullptr);
    in_addr consoleIp {};
    inet_pton(AF_INET, "127.0.0.1", &consoleIp);
    ASSERT_EQ(SetMediaRemoteAddress(peer, kMediaAudio, consoleIp, line->session->GetLocalAudioPort()), 0);
    ASSERT_EQ(StartMediaSession(peer), 0);
    EXPECT_TRUE(WaitFor([&] {
        return AudioStats(media->Manager()).rtpPacketsReceived >= 20 && AudioStats(peer).rtpPacketsReceived >= 20;
    }, 8000));

    // The cache shows 3001 in the call; the refresh enables "Hangup".
    ST_ZOX_SYSTEM_USER inCall;
    ASSERT_EQ(g_pZoxDataModule->GetSystemUser("3001", inCall), 0);
    inCall.callState = 3;
    ASSERT_EQ(g_pZoxDataModule->UpdateUserState(inCall), 0);
    mainForm->OnUpdateTimerOut();
    // "Hangup" asks the server to end the user's call; the server releases the line.
    ASSERT_NO_FATAL_FAILURE(Click(OperateButton("Hangup")));
    ASSERT_TRUE(server.WaitFor(kReleaseRequest, 1, std::chrono::milliseconds(3000)));
    const CallMessage hangup = LastRequest(kReleaseRequest, kReleaseRequestLayout);
    EXPECT_EQ(hangup.serviceType, 8u);
    EXPECT_EQ(Digits(hangup.target), "3001");
    CallMessage rel;
    rel.header = {kServerId, 0, 0x00990003, uint32_t(line->session->GetInstance())};
    rel.serviceType = 1;
    EncodeBcdDigits("5000", rel.lineNumber.data(), rel.lineNumber.size());
    ASSERT_TRUE(server.Inject(WriteMessage(kReleaseRequestLayout, rel)));
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineIdle; }, 5000));
    EXPECT_EQ(line->session, nullptr);
    EXPECT_TRUE(mainForm->DispatchLines().Sessions().empty());
    EXPECT_EQ(mainForm->c_pStatusPaneStatus->text().toStdString(), "");
    WaitFor([] { return false; }, 200);
    const uint64_t heard = AudioStats(peer).rtpPacketsReceived;
    WaitFor([] { return false; }, 400);
    EXPECT_LE(AudioStats(peer).rtpPacketsReceived, heard + 1); // the console sends no more RTP
    ReleaseMediaSession(peer);
}

// The received video renders into the tile's window, which only a display has: ctest
// runs this case again under xvfb-run (OperationsOnADisplay.VideoCall).
TEST_F(OperationsAfterLogin, VideoCallShowsThePeersVideoAndEndsWithTheTilesHangup)
{
    if (Offscreen())
        GTEST_SKIP() << "a video call needs a window to render into";
    setenv("ZOX_MEDIA_CAMERA", "test", 1);
    in_addr peerIp {};
    inet_pton(AF_INET, "127.0.0.2", &peerIp);
    tmedia_session_mgr_t *camera = CreateMediaSession(kMediaVideo, peerIp, kMediaVideo, 0, 1);
    ASSERT_NE(camera, nullptr);
    ASSERT_EQ(SetMediaCodecs(camera, kMediaVideo, tmedia_codec_id_h264), 0);

    ASSERT_NO_FATAL_FAILURE(SelectGroupTile(kGroupId));
    ASSERT_NO_FATAL_FAILURE(SelectUserTile("3002"));
    ASSERT_NO_FATAL_FAILURE(Click(OperateButton("Video Call")));
    ASSERT_TRUE(server.WaitFor(kSetupRequest, 1, std::chrono::milliseconds(3000)));
    const CallMessage setup = LastRequest(kSetupRequest, kSetupRequestLayout);
    EXPECT_EQ(setup.serviceType, 1u);
    EXPECT_EQ(setup.mediaCode, 1u);
    ST_ZOX_DISPATCH_LINE_INFO *line = mainForm->FindVideoCallLine("3002");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->kind, kMediaVideoCall);
    auto *tile = dynamic_cast<TVideoWndCtrl *>(line->session->GetVideoWindow());
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(mainForm->c_pStatusPaneStatus->text().toStdString(), "Video Calling ...");

    ASSERT_NO_FATAL_FAILURE(AnswerSetup(0, 40000, 1, 40002));
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineConnected; }, 5000));
    auto *media = static_cast<CSessionMedia *>(line->session->GetSessionMgr());
    ASSERT_NE(media, nullptr);
    in_addr consoleIp {};
    inet_pton(AF_INET, "127.0.0.1", &consoleIp);
    ASSERT_EQ(SetMediaRemoteAddress(camera, kMediaVideo, consoleIp, line->session->GetLocalVideoPort()), 0);
    ASSERT_EQ(StartMediaSession(camera), 0);
    auto frames = [&] {
        int64_t n = -1;
        tmedia_session_mgr_get_int64(media->Manager(), kMediaVideo, tmedia_ppt_manager, "decoder-frames-count", &n);
        return n;
    };
    EXPECT_TRUE(WaitFor([&] { return frames() >= 10; }, 10000)) << frames();

    // The tile's stop tool hangs the call up.
    tile->ToolButton(TVideoWndCtrl::ToolStop)->click();
    ASSERT_TRUE(server.WaitFor(kReleaseRequest, 1, std::chrono::milliseconds(3000)));
    EXPECT_EQ(LastRequest(kReleaseRequest, kReleaseRequestLayout).serviceType, 3u);
    EXPECT_EQ(line->state, kLineReleasing);
    ASSERT_NO_FATAL_FAILURE(AnswerRelease());
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineIdle; }, 5000));
    // The connected call opened the console's audio channel of the video conference
    // (a second set-up); with the last video call gone it is released as well.
    EXPECT_EQ(server.CountOf(kSetupRequest), 2u);
    ASSERT_TRUE(server.WaitFor(kReleaseRequest, 2, std::chrono::milliseconds(3000)));
    ASSERT_NO_FATAL_FAILURE(AnswerRelease());
    EXPECT_TRUE(WaitFor([&] { return mainForm->DispatchLines().Sessions().empty(); }, 5000));
    ReleaseMediaSession(camera);
}

TEST_F(OperationsAfterLogin, GroupPttCallSpeakButtonAndEndCalls)
{
    TestFloorPeer peer;
    ASSERT_TRUE(peer.Create("127.0.0.2"));
    ASSERT_NO_FATAL_FAILURE(SelectGroupTile(kGroupId));
    ASSERT_NO_FATAL_FAILURE(Click(OperateButton("PTT Call")));
    ASSERT_TRUE(server.WaitFor(kSetupRequest, 1, std::chrono::milliseconds(3000)));
    const CallMessage setup = LastRequest(kSetupRequest, kSetupRequestLayout);
    EXPECT_EQ(setup.serviceType, 32u);
    EXPECT_EQ(setup.groupId, kGroupId);
    EXPECT_EQ(setup.mediaCode, 3u);
    ST_ZOX_DISPATCH_LINE_INFO *line = Line("5000");
    EXPECT_EQ(line->action, kActionPttGroup);
    EXPECT_EQ(mainForm->c_pStatusPaneStatus->text().toStdString(), "PTT Calling ...");
    EXPECT_EQ(mainForm->c_pStatusPaneObject->text().toStdString(), "Group: Patrol");

    ASSERT_NO_FATAL_FAILURE(AnswerSetup(0, peer.AudioPort(), 3));
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineConnected; }, 5000));
    ASSERT_TRUE(peer.Start("127.0.0.1", line->session->GetLocalAudioPort()));

    TMultiImageCtrl *speak = mainForm->TaskButton(2).button;
    auto count = [&](uint8_t subtype) {
        const std::vector<uint8_t> got = peer.Received();
        return std::count(got.begin(), got.end(), subtype);
    };
    // Press: the request goes out; granted: the dispatcher may speak.
    QTest::mousePress(speak, Qt::LeftButton, {}, speak->rect().center());
    EXPECT_EQ(Speaker().toStdString(), "Apply right to speak");
    ASSERT_TRUE(peer.WaitFor(kTbcpRequest, 3000));
    ASSERT_TRUE(peer.Send(kTbcpGranted));
    EXPECT_TRUE(WaitFor([&] { return Speaker() == "Please speak"; }, 3000)) << Speaker().toStdString();

    // Whatever happens to the pointer while held, each press gives exactly one release.
    struct Case {
        const char *what;
        std::function<void()> whileHeld;
    };
    const std::vector<Case> cases = {
        {"released over the button", [] {}},
        {"pointer left the button",
         [&] {
             QEvent leave(QEvent::Leave);
             QCoreApplication::sendEvent(speak, &leave);
             QTest::mouseMove(speak, QPoint(-40, -40));
         }},
        {"button hidden", [&] { speak->hide(); }},
        {"focus lost", [&] {
             QFocusEvent out(QEvent::FocusOut);
             QCoreApplication::sendEvent(speak, &out);
             QWidget *other = mainForm->c_pStatusPaneObject;
             QEvent leave(QEvent::Leave);
             QCoreApplication::sendEvent(speak, &leave);
             QTest::mouseRelease(other, Qt::LeftButton);
         }},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        if (i > 0) {
            speak->show();
            QTest::mousePress(speak, Qt::LeftButton, {}, speak->rect().center());
            ASSERT_TRUE(peer.WaitFor(kTbcpRequest, 3000, i + 1));
        }
        cases[i].whileHeld();
        QTest::mouseRelease(speak, Qt::LeftButton, {}, speak->rect().center());
        ASSERT_TRUE(peer.WaitFor(kTbcpRelease, 3000, i + 1));
        EXPECT_EQ(Speaker().toStdString(), "Release the right to speak");
        QTest::mouseRelease(speak, Qt::LeftButton, {}, speak->rect().center()); // a stray second release
        WaitFor([] { return false; }, 150);
        EXPECT_EQ(count(kTbcpRelease), std::ptrdiff_t(i + 1));
        EXPECT_EQ(count(kTbcpRequest), std::ptrdiff_t(i + 1));
    }
    speak->show();

    // End calls: the PTT call is left (35) and freed by the server's answer.
    ASSERT_NO_FATAL_FAILURE(Click(mainForm->TaskButton(1).button));
    ASSERT_TRUE(server.WaitFor(kReleaseRequest, 1, std::chrono::milliseconds(3000)));
    EXPECT_EQ(LastRequest(kReleaseRequest, kReleaseRequestLayout).serviceType, 35u);
    EXPECT_EQ(line->state, kLineReleasing);
    EXPECT_EQ(line->action, kActionPttRelease);
    ASSERT_NO_FATAL_FAILURE(AnswerRelease());
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineIdle; }, 5000));
    EXPECT_TRUE(mainForm->DispatchLines().Sessions().empty());
    const uint64_t heard = peer.Stats().rtpPacketsReceived;
    WaitFor([] { return false; }, 400);
    EXPECT_LE(peer.Stats().rtpPacketsReceived, heard + 1);
}

TEST_F(OperationsAfterLogin, DialPadAndCallProgressFollowTheDialledCall)
{
    // The dial task button docks the dial pad; Enter dials its number.
    ASSERT_NO_FATAL_FAILURE(Click(mainForm->TaskButton(3).button));
    TDialPanelForm *pad = mainForm->DialPanelForm();
    ASSERT_NE(pad, nullptr);
    ASSERT_TRUE(pad->IsShownInPanel());
    EXPECT_TRUE(mainForm->c_pPanelPrompt->isVisible());
    pad->c_pEditNumber->setText("3002");
    QTest::keyClick(pad->c_pEditNumber, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return mainForm->CallProgressForm() != nullptr; }, 3000));
    TCallProgressForm *panel = mainForm->CallProgressForm();
    EXPECT_FALSE(pad->IsShownInPanel());
    EXPECT_TRUE(panel->IsShownInPanel());
    EXPECT_EQ(panel->GetNumber(), "3002");
    EXPECT_EQ(panel->c_pLabelStatus->text().toStdString(), "Calling ...");
    ASSERT_TRUE(server.WaitFor(kSetupRequest, 1, std::chrono::milliseconds(3000)));
    ST_ZOX_DISPATCH_LINE_INFO *line = Line("5000");
    EXPECT_EQ(line->fromProgress, 1);

    // Refused: "Call failed" with the call-again button.
    ASSERT_NO_FATAL_FAILURE(AnswerSetup(2, 40000));
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineIdle; }, 5000));
    EXPECT_EQ(panel->c_pLabelStatus->text().toStdString(), "Call failed");
    EXPECT_EQ(panel->GetButtonMode(), 1);

    // Call again: the panel shows "Calling ..." at once, the request follows the pause
    // while the window keeps handling events.
    panel->OnImageButtonClick();
    ASSERT_TRUE(WaitFor([&] { return panel->c_pLabelStatus->text() == "Calling ..."; }, 1000));
    EXPECT_EQ(server.CountOf(kSetupRequest), 1u);
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kSetupRequest) >= 2; }, 3000));
    ASSERT_NO_FATAL_FAILURE(AnswerSetup(0, 40000));
    ASSERT_TRUE(WaitFor([&] { return panel->c_pLabelStatus->text() == "Connected ..."; }, 5000));
    EXPECT_EQ(panel->GetButtonMode(), 0);

    // Hang-up from the panel: the line releases, the panel goes.
    panel->OnImageButtonClick();
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kReleaseRequest) >= 1; }, 3000));
    EXPECT_EQ(LastRequest(kReleaseRequest, kReleaseRequestLayout).serviceType, 3u);
    EXPECT_FALSE(panel->IsShownInPanel());
    EXPECT_FALSE(mainForm->c_pPanelPrompt->isVisible());
    ASSERT_NO_FATAL_FAILURE(AnswerRelease());
    ASSERT_TRUE(WaitFor([&] { return line->state == kLineIdle; }, 5000));
    EXPECT_TRUE(boxes.empty());
}

// A number clicked in the contacts book is confirmed and dialled like the dial pad's
// (dashes dropped); while that call is on, another number is refused.
TEST_F(OperationsAfterLogin, ContactsBookCallsAReachableNumberAfterConfirmation)
{
    std::filesystem::create_directories("data");
    mainForm->ShowContactForm();
    TContactForm *book = mainForm->ContactForm();
    ASSERT_NE(book, nullptr);

    bool confirmed = false;
    QTimer::singleShot(0, [&] {
        auto *confirm = qobject_cast<TCallConfirmForm *>(QApplication::activeModalWidget());
        ASSERT_NE(confirm, nullptr);
        EXPECT_EQ(confirm->GetNumber(), "3002");
        confirmed = true;
        confirm->OnCtrCallClick();
    });
    book->CallNumber("30-02");
    EXPECT_TRUE(confirmed);
    ASSERT_TRUE(server.WaitFor(kSetupRequest, 1, std::chrono::milliseconds(3000)));
    ASSERT_NE(mainForm->CallProgressForm(), nullptr);
    EXPECT_EQ(mainForm->CallProgressForm()->GetNumber(), "3002");

    std::string tip;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<TMsgTipForm *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QLabel *label : box->findChildren<QLabel *>())
            tip += label->text().toStdString() + "|";
        box->done(1);
    });
    book->CallNumber("3001");
    EXPECT_NE(tip.find("User is not reachable, please try later."), std::string::npos) << tip;
    EXPECT_EQ(server.CountOf(kSetupRequest), 1u);

    ASSERT_NO_FATAL_FAILURE(AnswerSetup(2, 40000));
    ASSERT_TRUE(WaitFor([&] { return Line("5000")->state == kLineIdle; }, 5000));
    book->OnImageCloseClick();
    ContactsDbCloseForTests();
}

// "Video Preview" on the selected camera, served by the tests' RTSP server: a tile of
// the wall plays it, and a double click on the camera's tile while it plays starts no
// second preview; the tile's stop tool ends it, and then a double click on the camera's
// tile previews it again. The preview draws into the tile's window, which only a
// display has: ctest runs the case on a virtual display (mainwnd_video_on_display).
TEST_F(OperationsAfterLogin, VideoPreviewOnDisplayPlaysTheSelectedCameraOnAFreeTile)
{
    if (Offscreen())
        GTEST_SKIP() << "a preview needs a window to render into";
    RtspTestServer rtsp;
    ASSERT_TRUE(rtsp.Start());
    ST_ZOX_RTSP_CAMERA row;
    row.cname = "Gate";
    row.ip = "127.0.0.1";
    row.port = rtsp.Port();
    row.main_url = rtsp.Url();
    row.status = 1;
    row.enabled = 1;
    ASSERT_NE(g_pZoxDataModule, nullptr);
    ASSERT_EQ(g_pZoxDataModule->InsertRtspCamera(row), 0);
    std::vector<ST_ZOX_RTSP_CAMERA> cameras;
    ASSERT_EQ(g_pZoxDataModule->GetRtspCameras(cameras), 0);
    ASSERT_EQ(cameras.size(), 1u);
    const std::string cid = std::to_string(cameras.front().cid);
    ASSERT_NE(g_pRtspClient, nullptr);
    constexpr int kCamera = zox::mainwnd::kUserTypeCamera;

    ASSERT_NO_FATAL_FAILURE(SelectGroupTile(uint32_t(zox::mainwnd::kGroupIdCamera)));
    ASSERT_NO_FATAL_FAILURE(SelectUserTile(cid));
    auto used = [&] {
        std::vector<TVideoWndCtrl *> tiles;
        for (TVideoWndCtrl *w : mainForm->VideoWindows())
            if (w->IsUsed())
                tiles.push_back(w);
        return tiles;
    };
    auto frames = [&] {
        int64_t n = -1;
        if (tmedia_session_mgr_t *m = g_pRtspClient->GetMediaSession(kCamera, cid))
            tmedia_session_mgr_get_int64(m, kMediaVideo, tmedia_ppt_consumer, "decoder-frames-count", &n);
        return n;
    };
    // The one used tile once it shows the camera with frames decoded.
    auto playing = [&]() -> TVideoWndCtrl * {
        const auto tiles = used();
        const bool ok = WaitFor([&] {
            return tiles.size() == 1 && tiles.front()->GetState() == ZOX_VIDEOWND_PLAYING && frames() >= 10;
        }, 15000);
        EXPECT_TRUE(ok) << tiles.size() << " tiles used, frames " << frames();
        return ok ? tiles.front() : nullptr;
    };
    auto doubleClickCamera = [&] {
        for (TUserCellCtrl *t : mainForm->VisibleUserCells())
            if (t->GetUserNumber() == cid) {
                QTest::mouseDClick(t, Qt::LeftButton, {}, t->rect().center());
                QCoreApplication::processEvents();
                return;
            }
        ADD_FAILURE() << "no tile of camera " << cid;
    };

    ASSERT_NO_FATAL_FAILURE(Click(OperateButton("Video Preview")));
    TVideoWndCtrl *tile = playing();
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile->GetUserNumber(), cid);
    EXPECT_EQ(tile->GetUserType(), kCamera);
    EXPECT_TRUE(g_pRtspClient->IsPlaying(kCamera, cid));
    doubleClickCamera();
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(used(), std::vector<TVideoWndCtrl *>{tile});

    tile->ToolButton(TVideoWndCtrl::ToolStop)->click();
    EXPECT_TRUE(WaitFor([&] { return !tile->IsUsed() && !g_pRtspClient->IsPlaying(kCamera, cid); }, 10000));
    EXPECT_TRUE(used().empty());
    doubleClickCamera();
    EXPECT_NE(playing(), nullptr);
}

// The map page's commands, sent from a local page through the real bridge, start the
// operations of a logged-in console: the set-up requests the server receives carry the
// service, the media and the members the command and its numbers call for.
class MapPageAfterLogin : public OperationsAfterLogin {
protected:
    MapPageAfterLogin() { extraConfig = "[GIS]\nGisEnabled=1\nServerUrl=" + WriteMapTestPage(dir) + "\n"; }

    // Refuses every set-up request from the index on.
    void RefuseSetupsFrom(std::size_t first)
    {
        const auto all = server.ReceivedWithCode(kSetupRequest);
        for (std::size_t i = first; i < all.size(); ++i) {
            CallMessage req;
            ASSERT_EQ(ReadMessage(kSetupRequestLayout, all[i].bytes.data(), all[i].bytes.size(), req), 0);
            ASSERT_NO_FATAL_FAILURE(AnswerSetupOf(req, 2, 40000));
        }
    }
};

TEST_F(MapPageAfterLogin, CommandsWithOneAndSeveralNumbersSendTheirSetups)
{
    ASSERT_TRUE(WaitFor([&] { return mainForm->MapForm() && mainForm->MapForm()->IsPageReady(); }));
    QWebEnginePage *page = mainForm->MapForm()->c_pWebBrowser->page();

    struct Setup {
        uint32_t service;
        uint32_t media;
        std::vector<std::string> members;
    };
    struct Case {
        const char *code;
        const char *numbers;
        std::vector<Setup> setups;
    };
    const std::vector<Case> cases = {
        {"2001", "3001", {{31, 3, {"3001"}}}},                          // PTT call
        {"2001", "3001,3002,3003", {{32, 3, {"3001"}}}}, // PTT group call: its target is the first
        {"2202", "3002", {{1, 0, {"3002"}}}},                          // voice call
        {"2201", ",3001,,3003,", {{14, 0, {"3001", "3003"}}}},          // voice conference
        {"2203", "3003", {{15, 0, {"3003"}}}},                          // voice group call, even of one
        {"2401", "3002", {{1, 1, {"3002"}}}},                          // video call
        {"2402", "3001,3003", {{1, 1, {"3001"}}, {1, 1, {"3003"}}}},    // a video call each
        {"2001", "4999", {}},                                           // nobody the console knows
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.numbers);
        const std::size_t before = server.CountOf(kSetupRequest);
        ASSERT_TRUE(EvalInPage(page, QString("window.external.IDocInterface('%1', '%2'); true").arg(c.code, c.numbers)));
        EXPECT_TRUE(WaitFor([&] { return server.CountOf(kSetupRequest) >= before + c.setups.size(); }, 5000));
        WaitFor([] { return false; }, 200); // and no more than those
        const auto got = server.ReceivedWithCode(kSetupRequest);
        ASSERT_EQ(got.size(), before + c.setups.size());
        for (std::size_t i = 0; i < c.setups.size(); ++i) {
            CallMessage m;
            ASSERT_EQ(ReadMessage(kSetupRequestLayout, got[before + i].bytes.data(), got[before + i].bytes.size(), m), 0);
            EXPECT_EQ(m.serviceType, c.setups[i].service);
            EXPECT_EQ(m.mediaCode, c.setups[i].media);
            std::vector<std::string> members;
            for (const TbcdNumber &n : m.members)
                members.push_back(Digits(n));
            EXPECT_EQ(members, c.setups[i].members);
        }
        // Refused: the lines are free for the next command.
        ASSERT_NO_FATAL_FAILURE(RefuseSetupsFrom(before));
        ASSERT_TRUE(WaitFor([&] { return mainForm->DispatchLines().Sessions().empty(); }, 5000));
    }
}

} // namespace
