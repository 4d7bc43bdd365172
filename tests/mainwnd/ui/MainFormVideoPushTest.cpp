// Video push and forwarding end to end after a real login against the fake dispatch
// server: push notices raise stacked alerts (a second notice for the same user is
// ignored), a decline and a count-down each send one stop notice with the notice's
// references, an answer asks for the upload with the instance the notice named, a
// withdrawal closes the alert silently. An upload fed by a media peer is forwarded to
// two users: the one in a video call with the console gets a media forward, the other
// a push notice.
#include "MainFormFixture.h"

#include <arpa/inet.h>

#include <QPointer>
#include <filesystem>
#include <fstream>
#include <QTimer>

#include "console/ui/Callalertdialog.h"
#include "console/ui/VpAlertCtrl.h"
#include "console/ui/VpAlertfrm.h"
#include "core/MediaLibrary.h"
#include "core/SystemConfig.h"
#include "dispatch/CallMessages.h"
#include "dispatch/SessionMedia.h"
#include "medialib/MediaDefaults.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/ConsoleLoginTest.h"

using namespace zoxtest;
using namespace zox::call;
using mediatest::framesDecoded;
using mediatest::MgrGuard;
using mediatest::stats;

namespace {

constexpr uint32_t kServerId = 0x00000001;

in_addr Ip(const char *text)
{
    in_addr a {};
    inet_pton(AF_INET, text, &a);
    return a;
}

TbcdNumber Number(const std::string &n)
{
    TbcdNumber t {};
    EncodeBcdDigits(n, t.data(), t.size());
    return t;
}

std::string Text(const TbcdNumber &n)
{
    std::string s;
    DecodeBcdDigits(n.data(), n.size(), s);
    return s;
}

Bytes VpNotify(uint32_t senderRef, uint32_t kind, const std::string &number, uint32_t instance)
{
    CallMessage m;
    m.header = {kServerId, 0, senderRef, kNoReference};
    m.serviceType = kind;
    m.pushInstance = instance;
    m.target = Number(number);
    return WriteMessage(kVpNotifyInLayout, m);
}

Bytes VpSetupResponse(uint32_t instance, uint16_t peerVideoPort)
{
    CallMessage m;
    m.header = {kServerId, 0, 0x00880001, instance};
    m.result = 0;
    MakeAddressRecord(Ip("127.0.0.2"), m.video.record);
    m.video.port = peerVideoPort;
    m.video.present = true;
    return WriteMessage(kVpSetupResponseLayout, m);
}

Bytes VideoSetup(uint32_t senderRef, const std::string &line, const std::string &caller, uint16_t videoPort)
{
    CallMessage m;
    m.header = {kServerId, 0, senderRef, kNoReference};
    m.serviceType = 1;
    m.mediaCode = 1;
    m.lineNumber = Number(line);
    MakeAddressRecord(Ip("127.0.0.2"), m.audio.record);
    m.audio.port = 40000;
    m.audio.present = true;
    m.audioCopy = m.audio;
    m.video = m.audio;
    m.video.port = videoPort;
    m.videoCopy = m.video;
    m.members.push_back(Number(caller));
    m.memberCount = 1;
    return WriteMessage(kSetupRequestLayout, m);
}

class VideoPushAfterLogin : public ConsoleLoginTest {
protected:
    void SetUp() override
    {
        MainTestApp();
        setenv("ZOX_MEDIA_AUDIO", "none", 1);
        setenv("ZOX_MEDIA_CAMERA", "test", 1);
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            unsetenv("DISPLAY");
        ASSERT_NO_FATAL_FAILURE(ConsoleLoginTest::SetUp());
        login.With([](CFakeLoginServer &s) {
            for (int i = 0; i < 4; ++i) {
                FakeUser u;
                u.number = std::to_string(3001 + i);
                u.name = "Driver " + u.number;
                s.users.push_back(u);
            }
        });
        ASSERT_NO_FATAL_FAILURE(StartConsole(
            "[System]\nServerIpAddr=127.0.0.2\nLocalIpAddr=127.0.0.1\nLocalRegIpAddr=127.0.0.1\n"
            "[Security]\nAutoLogin=1\nLoginUsername=8001\nLoginPassword=1234\nHeartbeat=0\n"
            "[Debug]\nWriteLogFile=1\n[Video]\nVideoEnabled=1\nResolution=4\n"));
        ASSERT_TRUE(WaitFor([&] { return form->IsRunning(); }));
        ASSERT_TRUE(InitMediaLibrary());
    }

    // The messages of this code the console sent, read with `layout`.
    std::vector<CallMessage> Sent(uint32_t code, const MessageLayout &layout)
    {
        std::vector<CallMessage> out;
        for (const auto &d : server.ReceivedWithCode(code)) {
            CallMessage m;
            ReadMessage(layout, d.bytes.data(), d.bytes.size(), m);
            out.push_back(m);
        }
        return out;
    }
    // The stop notices (kind 7) the console sent.
    std::vector<CallMessage> Stops()
    {
        std::vector<CallMessage> out;
        for (const CallMessage &m : Sent(kVpNotify, kVpNotifyLayout))
            if (m.serviceType == 7)
                out.push_back(m);
        return out;
    }

    // Runs `step` every 20 ms while the push alert window shows (it runs its own
    // message loop), until it returns true.
    void WhileVpAlerting(std::function<bool(TVpAlertForm &)> step)
    {
        auto *timer = new QTimer(mainForm.get());
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, step] {
            TVpAlertForm *alerts = mainForm->VpAlertForm();
            if (!alerts || !alerts->isVisible())
                return;
            if (step(*alerts)) {
                timer->stop();
                timer->deleteLater();
            }
        });
        timer->start(20);
    }
    void WhileCallAlerting(std::function<void(TCallAlertForm &)> step)
    {
        auto *timer = new QTimer(mainForm.get());
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, step] {
            if (!mainForm->IsCallAlertVisible())
                return;
            step(*mainForm->CallAlert());
            timer->stop();
            timer->deleteLater();
        });
        timer->start(20);
    }
    bool AlertWindowClosed() { return mainForm->VpAlertForm() && !mainForm->VpAlertForm()->isVisible(); }
};

TEST_F(VideoPushAfterLogin, PushesAnsweredDeclinedCountedDownAndWithdrawn)
{
    // Two pushes stack; a second notice for the first user is ignored; the second is
    // declined and the first answered.
    int stage = 0;
    WhileVpAlerting([&](TVpAlertForm &alerts) {
        if (stage == 0) {
            EXPECT_EQ(alerts.GetAlertCount(), 1);
            EXPECT_EQ(alerts.Alerts()[0]->c_pLabelUser->text().toStdString(), "Driver 3001 (3001)");
            server.Inject(VpNotify(0x00990011, 1, "3001", 15));
            server.Inject(VpNotify(0x00990002, 17, "3002", 13));
            stage = 1;
        } else if (stage == 1 && server.CountOf(kVpNotifyResponse) >= 3) {
            EXPECT_EQ(alerts.GetAlertCount(), 2);
            EXPECT_EQ(alerts.size(), QSize(300, 240));
            EXPECT_TRUE(alerts.HasAlert("3002"));
            alerts.Alerts()[1]->OnRejectClick();
            alerts.Alerts()[0]->OnAcceptClick();
            return true;
        }
        return false;
    });
    ASSERT_TRUE(server.Inject(VpNotify(0x00990001, 1, "3001", 12)));
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kVpSetupRequest) >= 1 && AlertWindowClosed(); }, 10000));
    WaitFor([] { return false; }, 200);
    std::vector<CallMessage> stops = Stops();
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].header.senderRef, 13u);          // the instance the notice named
    EXPECT_EQ(stops[0].header.receiverRef, 0x00990002u); // the notice's own reference
    EXPECT_EQ(Text(stops[0].target), "3002");
    const auto setups = Sent(kVpSetupRequest, kVpSetupRequestLayout);
    ASSERT_EQ(setups.size(), 1u);
    EXPECT_EQ(setups[0].header.senderRef, 12u);
    EXPECT_EQ(Text(setups[0].target), "3001");
    EXPECT_EQ(setups[0].serviceType, 1u);
    ST_ZOX_DISPATCH_LINE_INFO *upload = mainForm->FindVideoUploadLine("3001");
    ASSERT_NE(upload, nullptr);
    EXPECT_EQ(upload->action, kActionVideoUpload);
    EXPECT_EQ(upload->session->GetInstance(), 12);

    // A push nobody answers declines itself once when its countdown runs out.
    WhileVpAlerting([&](TVpAlertForm &alerts) {
        QPointer<TVpAlertCtrl> alert = alerts.Alerts()[0];
        for (int i = 0; i < 30 && alert; ++i)
            alert->OnTimerOut();
        if (alert)
            alert->OnRejectClick(); // a click that came too late
        return true;
    });
    server.Inject(VpNotify(0x00990003, 1, "3003", 14));
    ASSERT_TRUE(WaitFor([&] { return Stops().size() >= 2 && AlertWindowClosed(); }, 10000));
    WaitFor([] { return false; }, 200);
    stops = Stops();
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[1].header.senderRef, 14u);
    EXPECT_EQ(stops[1].header.receiverRef, 0x00990003u);

    // The server withdraws a push: its alert goes and nothing is sent but the notice's answer.
    const std::size_t sentBefore = server.Received().size();
    WhileVpAlerting([&](TVpAlertForm &) {
        server.Inject(VpNotify(0x00990014, 7, "3004", 16));
        return true;
    });
    server.Inject(VpNotify(0x00990004, 1, "3004", 16));
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kVpNotifyResponse) >= 6 && AlertWindowClosed(); }, 10000));
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(server.Received().size(), sentBefore + 2); // the two notify responses
    EXPECT_EQ(Stops().size(), 2u);
    EXPECT_EQ(mainForm->VpAlertForm()->GetAlertCount(), 0);
}

// Video renders into the tiles' windows: this one runs on a display (the ctest entry
// mainwnd_video_on_display runs it under a virtual X server).
TEST_F(VideoPushAfterLogin, OnDisplayUploadForwardedToAVideoCallByMediaAndToAnotherUserByPushNotice)
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        GTEST_SKIP() << "needs a display";
    tmedia_defaults_set_pref_video_size(4);
    // The uploading terminal: a camera peer sending to the console's upload.
    MgrGuard camera(CreateMediaSession(kMediaVideo, Ip("127.0.0.2"), 4, 0, 1));
    ASSERT_EQ(mainForm->StartVideoUpload("3001", "Driver 3001", -1), 0);
    ST_ZOX_DISPATCH_LINE_INFO *uploadLine = mainForm->FindVideoUploadLine("3001");
    ASSERT_NE(uploadLine, nullptr);
    CDispatchSession *upload = uploadLine->session;
    uint16_t cameraPort = 0;
    ASSERT_EQ(GetMediaLocalPort(camera, kMediaVideo, &cameraPort), 0);
    server.Inject(VpSetupResponse(uint32_t(upload->GetInstance()), cameraPort));
    ASSERT_TRUE(WaitFor([&] { return uploadLine->state == kLineConnected; }, 5000)) << [&] {
        std::ifstream f(dir.path() / "log/log.txt");
        return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    }();
    ASSERT_EQ(SetMediaRemoteAddress(camera, kMediaVideo, Ip("127.0.0.1"), upload->GetLocalVideoPort()), 0);
    ASSERT_EQ(StartMediaSession(camera), 0);
    auto *uploadMedia = static_cast<CSessionMedia *>(upload->GetSessionMgr());
    ASSERT_NE(uploadMedia, nullptr);
    EXPECT_TRUE(WaitFor([&] { return stats(uploadMedia->Manager(), kMediaVideo).rtpPacketsReceived >= 10; }, 8000));

    // The tile's Record tool records the upload and stops again.
    g_pSystemConfig->SetRecordPath(dir.path().string());
    mainForm->ToggleSessionRecord("3001", kMediaVideoCall); // not a call: nothing
    EXPECT_EQ(upload->recording, 0);
    mainForm->ToggleSessionRecord("3001", kMediaVideoUpload);
    EXPECT_EQ(upload->recording, 1);
    const std::string recording = upload->recordPath;
    WaitFor([] { return false; }, 1500);
    mainForm->ToggleSessionRecord("3001", kMediaVideoUpload);
    EXPECT_EQ(upload->recording, 0);
    EXPECT_GT(std::filesystem::file_size(recording), 0u) << recording;

    // User 3002 calls the console by video; the answer also opens the conference audio channel.
    MgrGuard viewer(CreateMediaSession(kMediaVideo, Ip("127.0.0.2"), 0, 4, 1));
    uint16_t viewerPort = 0;
    ASSERT_EQ(GetMediaLocalPort(viewer, kMediaVideo, &viewerPort), 0);
    WhileCallAlerting([](TCallAlertForm &a) { a.OnCtrlAcceptClick(); });
    server.Inject(VideoSetup(0x401, "500003", "3002", viewerPort));
    ASSERT_TRUE(WaitFor([&] { return mainForm->FindVideoCallLine("3002") &&
                                     mainForm->FindVideoCallLine("3002")->state == kLineConnected; }, 10000));
    CDispatchSession *call = mainForm->FindVideoCallLine("3002")->session;
    ASSERT_EQ(SetMediaRemoteAddress(viewer, kMediaVideo, Ip("127.0.0.1"), call->GetLocalVideoPort()), 0);
    ASSERT_EQ(StartMediaSession(viewer), 0);
    const ST_ZOX_DISPATCH_LINE_INFO *channel = nullptr;
    for (const auto &l : mainForm->DispatchLines().Lines())
        if (l->confAudio)
            channel = l.get();
    ASSERT_NE(channel, nullptr);
    EXPECT_EQ(channel->state, kLineCalling);
    EXPECT_EQ(channel->session->GetFirstMember(), g_strOwnNumber.Get());

    // The console sends no video of its own into the call.
    WaitFor([] { return false; }, 500);
    EXPECT_LE(framesDecoded(viewer), 0);

    // Forward the upload to 3002 (in the video call) and 3003 (not).
    std::string excluded;
    mainForm->SetPushTargetPicker([&](const std::string &uploader, std::vector<std::string> &chosen) {
        excluded = uploader;
        chosen = {"3002", "3003"};
        return true;
    });
    mainForm->OnForwardVideo(0, "3001", 0);
    EXPECT_EQ(excluded, "3001");
    uint64_t ids[16] = {};
    ASSERT_EQ(GetVideoForwardSid(uploadMedia->Manager(), ids, 16), 1);
    EXPECT_EQ(ids[0], call->GetMediaSessionId());
    ASSERT_TRUE(WaitFor([&] { return server.CountOf(kVpNotify) >= 1; }, 5000));
    const auto notices = Sent(kVpNotify, kVpNotifyLayout);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].serviceType, 12u);
    EXPECT_EQ(Text(notices[0].target), "3001");
    ASSERT_EQ(notices[0].members.size(), 1u);
    EXPECT_EQ(Text(notices[0].members[0]), "3003");
    // The uploaded video reaches the caller's side through the call.
    EXPECT_TRUE(WaitFor([&] { return framesDecoded(viewer) >= 5; }, 10000)) << framesDecoded(viewer);
}

} // namespace
