// Calls end to end after a real login against the fake dispatch server, with a real
// media peer on the server's side: an incoming voice call rings, is answered with
// Enter and carries PCMA both ways, the busy rules answer the calls that arrive
// meanwhile, the server's release frees the line; declined and timed-out alerts refuse
// the call; a PTT group call with the test floor peer drives the speaker pane.
#include "MainFormFixture.h"

#include <QTest>

#include <arpa/inet.h>
#include <QTimer>

#include "console/ui/Callalertdialog.h"
#include "core/MediaLibrary.h"
#include "dispatch/CallMessages.h"
#include "dispatch/SessionMedia.h"
#include "medialib/Tbcp.h"
#include "tests/support/ConsoleLoginTest.h"
#include "tests/support/TestFloorPeer.h"

using namespace zoxtest;
using namespace zox::call;

namespace {

constexpr uint32_t kServerId = 0x00000001;

Bytes MakeSetup(uint32_t senderRef, const std::string &line, uint32_t type, uint32_t mediaCode, uint16_t peerPort,
            const std::string &caller = "3001")
{
    CallMessage m;
    m.header = {kServerId, 0, senderRef, kNoReference};
    m.serviceType = type;
    EncodeBcdDigits(line, m.lineNumber.data(), m.lineNumber.size());
    in_addr a {};
    inet_pton(AF_INET, "127.0.0.2", &a);
    MakeAddressRecord(a, m.audio.record);
    m.audio.port = peerPort;
    m.audio.present = true;
    m.audioCopy = m.audio;
    m.video = m.audio;
    m.mediaCode = mediaCode;
    TbcdNumber n {};
    EncodeBcdDigits(caller, n.data(), n.size());
    m.members.push_back(n);
    m.memberCount = 1;
    return WriteMessage(kSetupRequestLayout, m);
}

Bytes Release(uint32_t receiverRef, const std::string &line)
{
    CallMessage m;
    m.header = {kServerId, 0, 0x00990001, receiverRef};
    m.serviceType = 1;
    EncodeBcdDigits(line, m.lineNumber.data(), m.lineNumber.size());
    return WriteMessage(kReleaseRequestLayout, m);
}

class CallsAfterLogin : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        MainTestApp();
        setenv("ZOX_MEDIA_AUDIO", "none", 1);
        unsetenv("DISPLAY");
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            for (int i = 0; i < 3; ++i) {
                FakeUser u;
                u.number = std::to_string(3001 + i);
                u.name = "Driver " + u.number;
                s.users.push_back(u);
            }
        });
        ASSERT_NO_FATAL_FAILURE(StartConsole(
            "[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\nLocalRegIpAddr=127.0.0.1\n"
            "[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\nHeartbeat=0\n"
            "[Video]\nVideoEnabled=1\n"));
        ASSERT_TRUE(WaitFor([&] { return form->IsRunning(); }));
        ASSERT_TRUE(InitMediaLibrary());
    }

    // The results of the setup responses the console sent for this server reference.
    std::vector<int> Results(uint32_t ref)
    {
        std::vector<int> r;
        for (const auto &d : server.ReceivedWithCode(kSetupResponse)) {
            CallMessage m;
            ReadMessage(kSetupResponseLayout, d.bytes.data(), d.bytes.size(), m);
            if (m.header.receiverRef == ref)
                r.push_back(int(m.result));
        }
        return r;
    }

    // Runs `step` on the window thread every 20 ms while the alert shows (the alert
    // runs its own message loop), until it returns true.
    void WhileAlerting(std::function<bool(TCallAlertForm &)> step)
    {
        auto *timer = new QTimer(mainForm.get());
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, step] {
            if (!mainForm->IsCallAlertVisible())
                return;
            if (step(*mainForm->CallAlert())) {
                timer->stop();
                timer->deleteLater();
            }
        });
        timer->start(20);
    }

    ST_ZOX_DISPATCH_LINE_INFO *Line(const std::string &n) { return mainForm->FindLineByName(n); }
};

TEST_F(CallsAfterLogin, VoiceCallAnsweredCarriesAudioAndEndsWithTheServersRelease)
{
    in_addr peerIp {};
    inet_pton(AF_INET, "127.0.0.2", &peerIp);
    tmedia_session_mgr_t *peer = CreateMediaSession(kMediaAudio, peerIp, kMediaAudio, kMediaAudio, 1);
    ASSERT_NE(peer, nullptr);
    uint16_t peerPort = 0;
    ASSERT_EQ(GetMediaLocalPort(peer, kMediaAudio, &peerPort), 0);

    int stage = 0;
    WhileAlerting([&](TCallAlertForm &alert) {
        if (stage == 0 && Results(0x101) == std::vector<int>{1}) {
            EXPECT_EQ(alert.c_pLabelTitle->text().toStdString(), "Voice Call");
            EXPECT_EQ(alert.c_pLabelContent->text().toStdString(), "Driver 3001 (3001)");
            EXPECT_EQ(alert.c_pLabelReject->text().toStdString(), "Decline(30)");
            EXPECT_EQ(Line("5000")->state, kLineRinging);
            server.Inject(MakeSetup(0x102, "500001", 1, 0, peerPort, "3002")); // a second call while ringing
            stage = 1;
        } else if (stage == 1 && !Results(0x102).empty()) {
            EXPECT_EQ(Results(0x102), std::vector<int>{5});
            QTest::keyClick(&alert, Qt::Key_Return); // Enter answers
            return true;
        }
        return false;
    });
    ASSERT_TRUE(server.Inject(MakeSetup(0x101, "5000", 1, 0, peerPort)));
    ASSERT_TRUE(WaitFor([&] { return Results(0x101).size() >= 2; }, 10000));
    EXPECT_EQ(Results(0x101), (std::vector<int>{1, 0}));
    ST_ZOX_DISPATCH_LINE_INFO *line = Line("5000");
    ASSERT_NE(line->session, nullptr);
    EXPECT_EQ(line->state, kLineConnected);
    EXPECT_EQ(mainForm->c_pStatusPaneStatus->text().toStdString(), "Voice Calling ...");
    EXPECT_EQ(mainForm->c_pStatusPaneObject->text().toStdString(), "User\xEF\xBC\x9A" "3001");

    auto *media = static_cast<CSessionMedia *>(line->session->GetSessionMgr());
    ASSERT_NE(media, nullptr);
    in_addr consoleIp {};
    inet_pton(AF_INET, "127.0.0.1", &consoleIp);
    ASSERT_EQ(SetMediaRemoteAddress(peer, kMediaAudio, consoleIp, line->session->GetLocalAudioPort()), 0);
    ASSERT_EQ(StartMediaSession(peer), 0);
    auto stats = [](tmedia_session_mgr_t *m) {
        tmedia_session_stats_t s;
        tmedia_session_mgr_get_stats(m, tmedia_audio, &s);
        return s;
    };
    EXPECT_TRUE(WaitFor([&] {
        return stats(media->Manager()).rtpPacketsReceived >= 20 && stats(peer).rtpPacketsReceived >= 20;
    }, 8000)) << "console " << stats(media->Manager()).rtpPacketsReceived << ", peer " << stats(peer).rtpPacketsReceived;

    // With a voice call connected: PTT is busy, an unknown line is refused, a video call rings.
    server.Inject(MakeSetup(0x103, "500001", 45, 3, peerPort));
    server.Inject(MakeSetup(0x104, "599999", 1, 0, peerPort));
    WhileAlerting([&](TCallAlertForm &alert) {
        EXPECT_EQ(alert.c_pLabelTitle->text().toStdString(), "Video Call");
        alert.OnCtrlRejectClick();
        return true;
    });
    server.Inject(MakeSetup(0x105, "500003", 1, 1, peerPort, "3003"));
    ASSERT_TRUE(WaitFor([&] { return Results(0x105).size() >= 2; }, 10000));
    EXPECT_EQ(Results(0x103), std::vector<int>{5});
    EXPECT_EQ(Results(0x104), std::vector<int>{2});
    EXPECT_EQ(Results(0x105), (std::vector<int>{1, 2}));
    EXPECT_EQ(Line("500003")->state, kLineIdle);

    // The server releases the call.
    const int32_t instance = line->session->GetInstance();
    server.Inject(Release(uint32_t(instance), "5000"));
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kReleaseResponse) >= 1; }, 5000));
    const auto rel = server.ReceivedWithCode(kReleaseResponse);
    CallMessage rr;
    ReadMessage(kReleaseResponseLayout, rel[0].bytes.data(), rel[0].bytes.size(), rr);
    EXPECT_EQ(rr.result, 0u);
    EXPECT_EQ(rr.header.receiverRef, 0x00990001u);
    EXPECT_EQ(line->state, kLineIdle);
    EXPECT_EQ(line->session, nullptr);
    EXPECT_TRUE(mainForm->DispatchLines().Sessions().empty());
    EXPECT_EQ(mainForm->c_pStatusPaneStatus->text().toStdString(), "");
    const uint64_t heard = stats(peer).rtpPacketsReceived;
    WaitFor([] { return false; }, 300);
    EXPECT_LE(stats(peer).rtpPacketsReceived, heard + 1); // the console's media stopped
    ReleaseMediaSession(peer);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CallsAfterLogin, DeclinedTimedOutAndReleasedWhileRinging)
{
    struct Case {
        const char *what;
        std::function<bool(TCallAlertForm &)> step;
        std::vector<int> results;
    };
    const std::vector<Case> cases = {
        {"declined",
         [](TCallAlertForm &a) {
             a.OnCtrlRejectClick();
             return true;
         },
         {1, 2}},
        {"timed out",
         [](TCallAlertForm &a) {
             for (int i = 0; i < 21; ++i)
                 a.OnTimerOut();
             EXPECT_EQ(a.c_pLabelReject->text().toStdString(), "Decline(09)");
             for (int i = 0; i < 9; ++i)
                 a.OnTimerOut();
             return true;
         },
         {1, 2}},
        {"released by the server",
         [this](TCallAlertForm &a) {
             server.Inject(Release(uint32_t(a.GetCallId()), "5000"));
             return true;
         },
         {1}},
    };
    uint32_t ref = 0x201;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::size_t releases = server.CountOf(kReleaseResponse);
        WhileAlerting(c.step);
        server.Inject(MakeSetup(ref, "5000", 1, 0, 40000));
        ASSERT_TRUE(WaitFor([&] { return Results(ref).size() >= c.results.size() && !mainForm->IsCallAlertVisible() &&
                                         Line("5000")->state == kLineIdle; }, 10000));
        WaitFor([] { return false; }, 100);
        EXPECT_EQ(Results(ref), c.results);
        EXPECT_EQ(Line("5000")->session, nullptr);
        EXPECT_TRUE(mainForm->DispatchLines().Sessions().empty());
        if (c.results.size() == 1) {
            EXPECT_EQ(server.CountOf(kReleaseResponse), releases + 1);
        }
        ++ref;
    }
}

TEST_F(CallsAfterLogin, PttGroupCallWithTheFloorPeer)
{
    TestFloorPeer peer;
    ASSERT_TRUE(peer.Create("127.0.0.2"));
    WhileAlerting([](TCallAlertForm &a) {
        EXPECT_EQ(a.c_pLabelTitle->text().toStdString(), "PTT Call");
        a.OnCtrlAcceptClick();
        return true;
    });
    server.Inject(MakeSetup(0x301, "5000", 45, 3, peer.AudioPort()));
    ASSERT_TRUE(WaitFor([&] { return Results(0x301).size() >= 2; }, 10000));
    EXPECT_EQ(Results(0x301), (std::vector<int>{1, 0}));
    CDispatchSession *call = Line("5000")->session;
    ASSERT_NE(call, nullptr);
    ASSERT_TRUE(peer.Start("127.0.0.1", call->GetLocalAudioPort()));
    QLabel *pane = mainForm->c_pStatusPaneSpeaker;

    ASSERT_EQ(call->SendRtcpEvent(kTbcpRequest), 0);
    ASSERT_TRUE(peer.WaitFor(kTbcpRequest, 3000));
    ASSERT_TRUE(peer.Send(kTbcpGranted));
    EXPECT_TRUE(WaitFor([&] { return pane->text() == "Please speak"; }, 3000)) << pane->text().toStdString();
    ASSERT_TRUE(peer.SendTaken("sip:3002@zox", "Driver 3002"));
    EXPECT_TRUE(WaitFor([&] { return pane->text() == "Speaker: Driver 3002"; }, 3000)) << pane->text().toStdString();
    ASSERT_TRUE(peer.Send(kTbcpIdle));
    EXPECT_TRUE(WaitFor([&] { return pane->text() == "Press button to speak"; }, 3000)) << pane->text().toStdString();
    ASSERT_TRUE(peer.Send(kTbcpTaken));
    EXPECT_TRUE(WaitFor([&] { return pane->text() == "Busy"; }, 3000)) << pane->text().toStdString();
    ASSERT_EQ(call->SendRtcpEvent(kTbcpRelease), 0);
    EXPECT_TRUE(peer.WaitFor(kTbcpRelease, 3000));
    ASSERT_TRUE(peer.Send(kTbcpRelease));
    EXPECT_TRUE(WaitFor([&] { return pane->text().isEmpty(); }, 3000)) << pane->text().toStdString();

    server.Inject(Release(uint32_t(call->GetInstance()), "5000"));
    ASSERT_TRUE(WaitFor([&] { return Line("5000")->state == kLineIdle; }, 5000));
    EXPECT_TRUE(mainForm->DispatchLines().Sessions().empty());
}

} // namespace
