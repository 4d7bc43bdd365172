// The media of dispatch calls on the real media layer: a voice call carries PCMA both
// ways with a peer session, a PTT call's talk bursts with a floor peer become the
// window messages with their speaker's name, the talk-burst packets carry the SSRC of
// the call's RTP, and the call recordings' names never reuse an existing file.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

#include "DispatchFakes.h"
#include "core/MediaLibrary.h"
#include "core/RecordingName.h"
#include "dispatch/CallMessages.h"
#include "dispatch/SessionMedia.h"
#include "medialib/Tbcp.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestFloorPeer.h"

using namespace zoxtest;
using namespace zox::call;

namespace {

struct Posted {
    uint32_t message;
    uintptr_t wParam;
    std::string speaker;
};

class RecordingEnv : public ISessionMediaEnv {
public:
    std::string PttCodec() const override { return codec; }
    int CameraId() const override { return 0; }
    bool AutoRecord() const override { return false; }
    uintptr_t LayoutCameraPreview() override { return 0; }
    void ShowCameraPreview(bool) override {}
    void AddConfVideoShare(CDispatchSession &) override {}
    void PostTalkBurst(uint32_t message, uintptr_t wParam, const std::string &speaker) override
    {
        {
            std::lock_guard<std::mutex> lk(lock);
            posted.push_back({message, wParam, speaker});
        }
        changed.notify_all();
    }
    void PostVideoSize(int32_t, uint32_t, uint32_t) override {}

    // The first message of this kind after `from` posted messages; false on time-out.
    bool WaitFor(uint32_t message, std::size_t from, Posted &out, int ms = 3000)
    {
        std::unique_lock<std::mutex> lk(lock);
        return changed.wait_for(lk, std::chrono::milliseconds(ms), [&] {
            for (std::size_t i = from; i < posted.size(); ++i)
                if (posted[i].message == message) {
                    out = posted[i];
                    return true;
                }
            return false;
        });
    }
    std::size_t Count()
    {
        std::lock_guard<std::mutex> lk(lock);
        return posted.size();
    }

    std::string codec = "G711A";
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Posted> posted;
};

class RealMediaHost : public FakeSessionHost {
public:
    uint32_t LocalIp() const override { return inet_addr("127.0.0.1"); }
    std::unique_ptr<IDispatchMedia> CreateMedia(CDispatchSession &session) override
    {
        return CSessionMedia::Create(session, env);
    }
    RecordingEnv env;
};

template <typename Pred>
bool WaitUntil(Pred pred, int ms = 5000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (pred())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
}

Bytes IncomingSetup(uint32_t type, uint32_t mediaCode, uint16_t peerPort)
{
    CallMessage m;
    m.header = {0x11223344, 0, 0x00770001, kNoReference};
    m.serviceType = type;
    EncodeBcdDigits("5000", m.lineNumber.data(), m.lineNumber.size());
    in_addr a {};
    inet_pton(AF_INET, "127.0.0.2", &a);
    MakeAddressRecord(a, m.audio.record);
    m.audio.port = peerPort;
    m.audio.present = true;
    m.audioCopy = m.audio;
    m.mediaCode = mediaCode;
    TbcdNumber n {};
    EncodeBcdDigits("3001", n.data(), n.size());
    m.members.push_back(n);
    m.memberCount = 1;
    return WriteMessage(kSetupRequestLayout, m);
}

tmedia_session_stats_t AudioStats(tmedia_session_mgr_t *m)
{
    tmedia_session_stats_t s;
    tmedia_session_mgr_get_stats(m, tmedia_audio, &s);
    return s;
}

class SessionMedia : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("ZOX_MEDIA_AUDIO", "none", 1);
        unsetenv("DISPLAY");
        ASSERT_TRUE(InitMediaLibrary());
    }

    // An incoming call on a soft-phone line, its media made from the setup.
    std::unique_ptr<CDispatchSession> Incoming(uint32_t type, uint32_t kind, uint16_t peerPort)
    {
        auto s = std::make_unique<CDispatchSession>(host, type, kind);
        s->SetLocalParty("5000", 1, 0);
        const Bytes setup = IncomingSetup(type, kind == kMediaPttAudio ? 3 : 0, peerPort);
        EXPECT_EQ(s->OnSetupRequest(setup.data(), setup.size()), 0);
        EXPECT_NE(s->GetLocalAudioPort(), 0);
        s->SetState(kSessionAlerting);
        return s;
    }

    RealMediaHost host;
};

TEST_F(SessionMedia, VoiceCallCarriesPcmaBothWays)
{
    in_addr peerIp {};
    inet_pton(AF_INET, "127.0.0.2", &peerIp);
    tmedia_session_mgr_t *peer = CreateMediaSession(kMediaAudio, peerIp, kMediaAudio, kMediaAudio, 1);
    ASSERT_NE(peer, nullptr);
    uint16_t peerPort = 0;
    ASSERT_EQ(GetMediaLocalPort(peer, kMediaAudio, &peerPort), 0);

    auto call = Incoming(kServiceCall, kMediaVoice, peerPort);
    ASSERT_EQ(call->Open(), 0);
    auto *media = static_cast<CSessionMedia *>(call->GetSessionMgr());
    in_addr consoleIp {};
    inet_pton(AF_INET, "127.0.0.1", &consoleIp);
    ASSERT_EQ(SetMediaRemoteAddress(peer, kMediaAudio, consoleIp, call->GetLocalAudioPort()), 0);
    ASSERT_EQ(StartMediaSession(peer), 0);

    EXPECT_TRUE(WaitUntil([&] {
        return AudioStats(media->Manager()).rtpPacketsReceived >= 20 && AudioStats(peer).rtpPacketsReceived >= 20;
    })) << "console received " << AudioStats(media->Manager()).rtpPacketsReceived << ", peer received "
        << AudioStats(peer).rtpPacketsReceived;
    // PCMA: 160 bytes of 20 ms a packet.
    const auto s = AudioStats(media->Manager());
    EXPECT_EQ(s.rtpBytesSent, s.rtpPacketsSent * (12 + 160));

    call.reset(); // the call's media stops with the session
    const uint64_t received = AudioStats(peer).rtpPacketsReceived;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LE(AudioStats(peer).rtpPacketsReceived, received + 1);
    ReleaseMediaSession(peer);
}

TEST_F(SessionMedia, PttTalkBurstsWithAFloorPeer)
{
    TestFloorPeer peer;
    ASSERT_TRUE(peer.Create("127.0.0.2"));
    auto call = Incoming(kServiceIncomingGroup, kMediaPttAudio, peer.AudioPort());
    ASSERT_EQ(call->Open(), 0);
    ASSERT_TRUE(peer.Start("127.0.0.1", call->GetLocalAudioPort()));
    RecordingEnv &env = host.env;

    ASSERT_EQ(call->SendRtcpEvent(kTbcpRequest), 0);
    ASSERT_TRUE(peer.WaitFor(kTbcpRequest, 3000));
    // No audio before the floor is granted.
    EXPECT_EQ(peer.Stats().rtpPacketsReceived, 0u);

    Posted p;
    std::size_t mark = env.Count();
    ASSERT_TRUE(peer.Send(kTbcpGranted));
    ASSERT_TRUE(env.WaitFor(WM_TBCP_GRANTED, mark, p));
    EXPECT_TRUE(WaitUntil([&] { return peer.Stats().rtpPacketsReceived >= 5; }));

    // Taken by another with a name, then a Taken without one: each carries its own text.
    mark = env.Count();
    ASSERT_TRUE(peer.SendTaken("sip:3002@zox", "Driver 3002"));
    ASSERT_TRUE(env.WaitFor(WM_TBCP_TAKEN, mark, p));
    EXPECT_EQ(p.speaker, "Driver 3002");
    mark = env.Count();
    ASSERT_TRUE(peer.Send(kTbcpTaken));
    ASSERT_TRUE(env.WaitFor(WM_TBCP_TAKEN, mark, p));
    EXPECT_EQ(p.speaker, "");

    mark = env.Count();
    ASSERT_TRUE(peer.Send(kTbcpIdle));
    ASSERT_TRUE(env.WaitFor(WM_TBCP_IDLE, mark, p));
    EXPECT_EQ(p.wParam, 0u);
    mark = env.Count();
    ASSERT_TRUE(peer.Send(kTbcpDeny));
    ASSERT_TRUE(env.WaitFor(WM_TBCP_DENY, mark, p));

    ASSERT_EQ(call->SendRtcpEvent(kTbcpRelease), 0);
    EXPECT_TRUE(peer.WaitFor(kTbcpRelease, 3000));
    // Talk bursts only on PTT calls.
    auto voice = Incoming(kServiceCall, kMediaVoice, peer.AudioPort());
    EXPECT_EQ(voice->SendRtcpEvent(kTbcpRequest), -1);
}

// A floor server that links a requester to its stream by SSRC: the talk-burst request
// and the RTP that follows the grant carry the same SSRC.
TEST_F(SessionMedia, TalkBurstsCarryTheSsrcOfTheRtp)
{
    int rtp = -1, rtcp = -1;
    uint16_t port = 0;
    for (uint16_t p = 41000; p < 42000 && rtcp < 0; p += 2) {
        rtp = ::socket(AF_INET, SOCK_DGRAM, 0);
        rtcp = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        inet_pton(AF_INET, "127.0.0.2", &a.sin_addr);
        a.sin_port = htons(p);
        sockaddr_in b = a;
        b.sin_port = htons(uint16_t(p + 1));
        if (::bind(rtp, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
            ::bind(rtcp, reinterpret_cast<sockaddr *>(&b), sizeof b) == 0) {
            port = p;
            break;
        }
        ::close(rtp);
        ::close(rtcp);
        rtp = rtcp = -1;
    }
    ASSERT_NE(port, 0);
    timeval tv {3, 0};
    setsockopt(rtp, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(rtcp, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);

    auto call = Incoming(kServiceIncomingGroup, kMediaPttAudio, port);
    ASSERT_EQ(call->Open(), 0);
    ASSERT_EQ(call->SendRtcpEvent(kTbcpRequest), 0);
    uint32_t requestSsrc = 0;
    uint8_t buf[1500];
    for (int i = 0; i < 20 && requestSsrc == 0; ++i) {
        const ssize_t n = ::recv(rtcp, buf, sizeof buf, 0);
        ASSERT_GT(n, 0) << "no talk-burst request";
        ParseTbcpDatagram(buf, std::size_t(n), nullptr, [&](const TbcpMessage &m) {
            if (m.subtype == kTbcpRequest)
                requestSsrc = m.ssrc;
        });
    }
    ASSERT_NE(requestSsrc, 0u);

    // Grant the floor from the RTCP socket: the microphone opens.
    uint8_t granted[64];
    const std::size_t len = BuildTbcpPacket(kTbcpGranted, 0x5EED, nullptr, 0, granted, sizeof granted);
    sockaddr_in to {};
    to.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    to.sin_port = htons(uint16_t(call->GetLocalAudioPort() + 1));
    ASSERT_EQ(::sendto(rtcp, granted, len, 0, reinterpret_cast<sockaddr *>(&to), sizeof to), ssize_t(len));
    const ssize_t n = ::recv(rtp, buf, sizeof buf, 0);
    ASSERT_GE(n, 12) << "no audio after the grant";
    const uint32_t rtpSsrc = uint32_t(buf[8]) << 24 | uint32_t(buf[9]) << 16 | uint32_t(buf[10]) << 8 | buf[11];
    EXPECT_EQ(rtpSsrc, requestSsrc);
    call.reset();
    ::close(rtp);
    ::close(rtcp);
}

// A media side that writes the file a recording names (refusing an existing one).
class FileMedia : public IDispatchMedia {
public:
    explicit FileMedia(std::vector<std::string> &paths) : m_paths(paths) {}
    uint16_t LocalAudioPort() const override { return 4000; }
    uint16_t LocalVideoPort() const override { return 5000; }
    int Start() override { return 0; }
    uint64_t VideoSessionId() const override { return 1; }
    int StartRecord(const std::string &path) override
    {
        if (::access(path.c_str(), F_OK) == 0)
            return -1;
        std::ofstream(path) << "rec";
        m_paths.push_back(path);
        return 0;
    }

private:
    std::vector<std::string> &m_paths;
};

class FileMediaHost : public FakeSessionHost {
public:
    std::unique_ptr<IDispatchMedia> CreateMedia(CDispatchSession &) override { return std::make_unique<FileMedia>(paths); }
    std::string RecordFolder() const override { return folder; }
    std::vector<std::string> paths;
    std::string folder;
};

TEST(CallRecording, NamesNeverReuseAFile)
{
    TempDir dir;
    FileMediaHost host;
    host.folder = dir.path().string();
    FakeTile tile;
    CDispatchSession call(host, kServiceCall, kMediaVideoCall);
    call.SetLocalParty("5000", 1, 0);
    call.SetVideoWindow(&tile);
    call.AddMember("3001");
    EXPECT_EQ(call.ToggleRecord("3001"), -1); // not open: nothing starts
    EXPECT_TRUE(host.paths.empty());
    ASSERT_EQ(call.SendVpSetupRequest(12), 0); // makes the media
    call.SetState(kSessionOpen);

    ASSERT_EQ(call.ToggleRecord("3001"), 0);
    EXPECT_EQ(call.StartRecord("3001"), -1); // already recording
    const std::string first = call.recordPath;
    const std::string firstStart = call.recordStart;
    ASSERT_EQ(call.ToggleRecord("3001"), 0); // stops
    EXPECT_EQ(call.recording, 0);
    ASSERT_EQ(call.StartRecord("3001"), 0);
    ASSERT_EQ(host.paths.size(), 2u);
    EXPECT_NE(host.paths[0], host.paths[1]);
    if (call.recordStart == firstStart) { // the same second: the "_0" name
        EXPECT_EQ(host.paths[1], first.substr(0, first.size() - 4) + "_0.264");
    }
    EXPECT_NE(first.find("/3001_"), std::string::npos);
    call.StopRecord();

    // Every name of this second and the next two taken: refused, nothing overwritten.
    const std::time_t now = std::time(nullptr);
    for (int s = 0; s < 3; ++s) {
        std::tm t {};
        const std::time_t at = now + s;
        localtime_r(&at, &t);
        const std::string folder = dir.path().string() + "/" + RecordingMonthText(t);
        std::filesystem::create_directories(folder);
        const std::string base = folder + "/9001_" + RecordingTimeText(t);
        std::ofstream(base + ".264") << "old";
        for (int i = 0; i <= 999; ++i)
            std::ofstream(base + "_" + std::to_string(i) + ".264") << "old";
    }
    host.paths.clear();
    EXPECT_EQ(call.StartRecord("9001"), -2);
    EXPECT_TRUE(host.paths.empty());
    EXPECT_EQ(call.recording, 0);
}

} // namespace
