// Two (or more) media sessions in one process talking over loopback addresses.
#include "core/NumberUtils.h"
#include "MediaTestSupport.h"
#include "medialib/MediaLaunch.h"
#include "medialib/Tbcp.h"
#include "tests/support/TempDir.h"

#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

using namespace mediatest;

namespace {

void connect(tmedia_session_mgr_t *a, tmedia_session_mgr_t *b, int media, const char *ipA = "127.0.0.1",
             const char *ipB = "127.0.0.1")
{
    ASSERT_EQ(SetMediaRemoteAddress(a, media, ip(ipB), localPort(b, media)), 0);
    ASSERT_EQ(SetMediaRemoteAddress(b, media, ip(ipA), localPort(a, media)), 0);
}

struct SizeSeen {
    std::atomic<uint32_t> w{0}, h{0};
    std::atomic<int> calls{0}, zeroCalls{0};
};

int onSize(const void *data, uint32_t w, uint32_t h)
{
    auto *s = static_cast<SizeSeen *>(const_cast<void *>(data));
    if (w == 0 || h == 0)
        s->zeroCalls++;
    s->w = w;
    s->h = h;
    s->calls++;
    return 0;
}

std::vector<uint8_t> readFile(const std::string &p)
{
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// NAL unit types of an Annex-B stream, in order.
std::vector<int> nalTypes(const std::vector<uint8_t> &b)
{
    std::vector<int> types;
    for (size_t i = 0; i + 3 < b.size(); ++i) {
        if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1) {
            types.push_back(b[i + 3] & 0x1F);
            i += 3;
        }
    }
    return types;
}

} // namespace

class MediaLoopback : public MediaFixture {};

TEST_F(MediaLoopback, PortsAreAnEvenOddPairKnownBeforeStart)
{
    MgrGuard a(CreateMediaSession(kMediaAudioVideo, ip("127.0.0.1"), 6, 2, 1));
    ASSERT_TRUE(a.m);
    uint16_t pa = localPort(a, kMediaAudio), pv = localPort(a, kMediaVideo);
    EXPECT_EQ(pa % 2, 0);
    EXPECT_EQ(pv % 2, 0);
    EXPECT_NE(pa, pv);
    uint16_t none = 0;
    MgrGuard v(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    EXPECT_EQ(GetMediaLocalPort(v, kMediaAudio, &none), -1);
    EXPECT_EQ(GetMediaLocalPort(nullptr, kMediaAudio, &none), -1);
    EXPECT_EQ(CreateMediaSession(kMediaAudio, ip("192.0.2.1"), 2, 2, 1), nullptr); // not a local address
}

TEST_F(MediaLoopback, PcmaFlowsBothWays)
{
    MgrGuard a(CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1));
    MgrGuard b(CreateMediaSession(kMediaAudio, ip("127.0.0.2"), 2, 2, 1));
    ASSERT_TRUE(a.m && b.m);
    ASSERT_EQ(SetMediaCodecs(a, kMediaAudio, tmedia_codec_id_pcma), 0);
    ASSERT_EQ(SetMediaCodecs(b, kMediaAudio, tmedia_codec_id_pcma), 0);
    connect(a, b, kMediaAudio, "127.0.0.1", "127.0.0.2");
    ASSERT_EQ(StartMediaSession(a), 0);
    ASSERT_EQ(StartMediaSession(b), 0);
    EXPECT_TRUE(tmedia_session_mgr_is_started(a));
    ASSERT_TRUE(waitFor([&] { return stats(a, kMediaAudio).rtpPacketsReceived >= 10 && stats(b, kMediaAudio).rtpPacketsReceived >= 10; }));
    for (tmedia_session_mgr_t *m : {a.m, b.m}) {
        tmedia_session_stats_t s = stats(m, kMediaAudio);
        // 20 ms of A-law at 8 kHz: 160 bytes behind a 12-byte RTP header.
        EXPECT_EQ(s.rtpBytesReceived, s.rtpPacketsReceived * 172);
        EXPECT_GE(s.rtpPacketsSent, 10u);
    }
}

TEST_F(MediaLoopback, H264FromTestPatternIsDecodedAndSized)
{
    MgrGuard tx(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 4, 0, 1));
    MgrGuard rx(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    ASSERT_TRUE(tx.m && rx.m);
    SizeSeen seen;
    ASSERT_EQ(SetMediaCodecs(rx, kMediaVideo, tmedia_codec_id_h264), 0);
    ASSERT_EQ(SetMediaVideoSizeCallback(rx, &seen, onSize), 0);
    ASSERT_EQ(SetMediaRemoteWindow(rx, 0), 0); // no window: decoded and discarded
    connect(tx, rx, kMediaVideo);
    ASSERT_EQ(StartMediaSession(rx), 0);
    ASSERT_EQ(StartMediaSession(tx), 0);
    ASSERT_TRUE(waitFor([&] { return framesDecoded(rx) >= 10; })) << framesDecoded(rx);
    int64_t first = framesDecoded(rx);
    ASSERT_TRUE(waitFor([&] { return framesDecoded(rx) > first + 5; }));
    EXPECT_EQ(seen.w.load(), 320u);
    EXPECT_EQ(seen.h.load(), 240u);
    EXPECT_EQ(seen.calls.load(), 1);
    EXPECT_EQ(seen.zeroCalls.load(), 0);
    EXPECT_EQ(tmedia_session_mgr_set_int32(rx, kMediaVideo, tmedia_ppt_consumer, "keep-aspect-ratio", 1), 0);
}

TEST_F(MediaLoopback, RecordingIsAnnexBFromAKeyFrameAndDecodesAgain)
{
    zoxtest::TempDir dir;
    const std::string path = (dir / "1001_20260101000000.264").string();
    MgrGuard tx(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 4, 0, 1));
    MgrGuard rx(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    connect(tx, rx, kMediaVideo);
    ASSERT_EQ(StartMediaSession(rx), 0);
    ASSERT_EQ(StartMediaSession(tx), 0);
    ASSERT_TRUE(waitFor([&] { return framesDecoded(rx) >= 3; }));
    // Start in the middle of a group of pictures.
    ASSERT_EQ(tmedia_session_mgr_start_record(rx, path.c_str()), 0);
    EXPECT_TRUE(tmedia_session_mgr_is_recording(rx));
    EXPECT_EQ(tmedia_session_mgr_start_record(rx, path.c_str()), -1); // one at a time
    int64_t start = framesDecoded(rx);
    ASSERT_TRUE(waitFor([&] { return framesDecoded(rx) >= start + 60; }, 8000));
    ASSERT_EQ(tmedia_session_mgr_stop_record(rx), 0);
    EXPECT_FALSE(tmedia_session_mgr_is_recording(rx));

    std::vector<uint8_t> bytes = readFile(path);
    ASSERT_GT(bytes.size(), 100u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{0, 0, 0, 1}));
    std::vector<int> types = nalTypes(bytes);
    auto firstIdr = std::find(types.begin(), types.end(), 5);
    ASSERT_NE(firstIdr, types.end());
    EXPECT_NE(std::find(types.begin(), firstIdr, 7), firstIdr) << "SPS before the first IDR";
    EXPECT_NE(std::find(types.begin(), firstIdr, 8), firstIdr) << "PPS before the first IDR";
    EXPECT_EQ(std::find(types.begin(), firstIdr, 1), firstIdr) << "no picture before the key frame";

    MediaFileCheck check = MediaDecodeFile(path, false, 10000);
    EXPECT_TRUE(check.ok) << check.error;
    // The recording starts at the key frame the sender was asked for.
    EXPECT_GE(check.frames, 40u);
    EXPECT_EQ(check.width, 320u);
    EXPECT_EQ(check.height, 240u);

    // The file exists: a second recording into it is refused and the file is kept.
    EXPECT_EQ(tmedia_session_mgr_start_record(rx, path.c_str()), -1);
    EXPECT_EQ(readFile(path), bytes);
    EXPECT_EQ(tmedia_session_mgr_start_record(rx, (dir / "missing/folder/x.264").string().c_str()), -1);
}

namespace {
struct FloorLog {
    std::mutex lock;
    std::vector<uint8_t> subtypes;
    std::vector<std::vector<uint8_t>> bodies;
    std::atomic<int> count{0};

    bool has(uint8_t st)
    {
        std::lock_guard<std::mutex> lk(lock);
        return std::find(subtypes.begin(), subtypes.end(), st) != subtypes.end();
    }
    std::vector<uint8_t> bodyOf(uint8_t st)
    {
        std::lock_guard<std::mutex> lk(lock);
        for (size_t i = 0; i < subtypes.size(); ++i)
            if (subtypes[i] == st)
                return bodies[i];
        return {};
    }
};

int onFloor(const void *data, int kind, uint8_t subtype, const void *body, size_t size)
{
    auto *log = static_cast<FloorLog *>(const_cast<void *>(data));
    EXPECT_EQ(kind, 1);
    std::lock_guard<std::mutex> lk(log->lock);
    log->subtypes.push_back(subtype);
    auto *b = static_cast<const uint8_t *>(body);
    log->bodies.emplace_back(b, b + size);
    log->count++;
    return 0;
}

// Packets the peer received settle once the sender stopped.
uint64_t settledCount(tmedia_session_mgr_t *m)
{
    uint64_t last = stats(m, kMediaAudio).rtpPacketsReceived;
    for (int i = 0; i < 50; ++i) {
        sleepMs(100);
        uint64_t now = stats(m, kMediaAudio).rtpPacketsReceived;
        if (now == last)
            return now;
        last = now;
    }
    return last;
}
} // namespace

TEST_F(MediaLoopback, TalkBurstRequestGrantedReleaseGatesTheAudio)
{
    FloorLog console, server;
    MgrGuard a(CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1));
    MgrGuard b(CreateMediaSession(kMediaAudio, ip("127.0.0.3"), 2, 2, 1));
    ASSERT_EQ(SetMediaCodecs(a, kMediaAudio, tmedia_codec_id_ilbc), 0); // falls back to PCMA
    ASSERT_EQ(SetMediaRtcpCallback(a, &console, onFloor), 0);
    ASSERT_EQ(SetMediaRtcpCallback(b, &server, onFloor), 0);
    connect(a, b, kMediaAudio, "127.0.0.1", "127.0.0.3");
    ASSERT_EQ(StartMediaSession(a), 0);
    ASSERT_EQ(StartMediaSession(b), 0);

    // No floor yet: nothing reaches the peer.
    sleepMs(300);
    EXPECT_EQ(stats(b, kMediaAudio).rtpPacketsReceived, 0u);

    ASSERT_EQ(SendMediaRtcpEvent(a, kTbcpRequest), 0);
    ASSERT_TRUE(waitFor([&] { return server.has(kTbcpRequest); }));
    ASSERT_EQ(tmedia_session_mgr_send_rtcp_app(b, kMediaAudio, kTbcpGranted, nullptr, 0), 0);
    ASSERT_TRUE(waitFor([&] { return console.has(kTbcpGranted); }));
    ASSERT_TRUE(waitFor([&] { return stats(b, kMediaAudio).rtpPacketsReceived >= 10; }));

    ASSERT_EQ(SendMediaRtcpEvent(a, kTbcpRelease), 0);
    ASSERT_TRUE(waitFor([&] { return server.has(kTbcpRelease); }));
    uint64_t after = settledCount(b);
    sleepMs(300);
    EXPECT_EQ(stats(b, kMediaAudio).rtpPacketsReceived, after) << "audio after release";
}

TEST_F(MediaLoopback, TalkBurstTakenRevokeAndTakenWithAck)
{
    FloorLog console, server;
    MgrGuard a(CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1));
    MgrGuard b(CreateMediaSession(kMediaAudio, ip("127.0.0.4"), 2, 2, 1));
    ASSERT_EQ(SetMediaRtcpCallback(a, &console, onFloor), 0);
    ASSERT_EQ(SetMediaRtcpCallback(b, &server, onFloor), 0);
    connect(a, b, kMediaAudio, "127.0.0.1", "127.0.0.4");
    ASSERT_EQ(StartMediaSession(a), 0);
    ASSERT_EQ(StartMediaSession(b), 0);

    const std::string uri = "sip:2002@zox", name = "Bob";
    std::vector<uint8_t> body = {0, 0, 0, 0, 1, uint8_t(uri.size())};
    body.insert(body.end(), uri.begin(), uri.end());
    body.push_back(2);
    body.push_back(uint8_t(name.size()));
    body.insert(body.end(), name.begin(), name.end());
    ASSERT_EQ(tmedia_session_mgr_send_rtcp_app(b, kMediaAudio, kTbcpTaken, body.data(), body.size()), 0);
    ASSERT_TRUE(waitFor([&] { return console.has(kTbcpTaken); }));
    std::string speaker;
    {
        auto body = console.bodyOf(kTbcpTaken);
        ASSERT_TRUE(GetTalkBurstTakenName(body.data(), body.size(), speaker));
    }
    EXPECT_EQ(speaker, "Bob");

    // Taken with acknowledgement: acknowledged, reported as Taken.
    int before = console.count;
    ASSERT_EQ(tmedia_session_mgr_send_rtcp_app(b, kMediaAudio, kTbcpTakenWithAck, body.data(), body.size()), 0);
    ASSERT_TRUE(waitFor([&] { return server.has(kTbcpAck); }));
    ASSERT_TRUE(waitFor([&] { return console.count > before; }));
    EXPECT_FALSE(console.has(kTbcpTakenWithAck));

    // Granted, then revoked: the console answers with Release and goes quiet.
    ASSERT_EQ(tmedia_session_mgr_send_rtcp_app(b, kMediaAudio, kTbcpGranted, nullptr, 0), 0);
    ASSERT_TRUE(waitFor([&] { return stats(b, kMediaAudio).rtpPacketsReceived >= 5; }));
    ASSERT_EQ(tmedia_session_mgr_send_rtcp_app(b, kMediaAudio, kTbcpRevoke, nullptr, 0), 0);
    ASSERT_TRUE(waitFor([&] { return server.has(kTbcpRelease); }));
    uint64_t after = settledCount(b);
    sleepMs(300);
    EXPECT_EQ(stats(b, kMediaAudio).rtpPacketsReceived, after);
}

TEST_F(MediaLoopback, ForwardCarriesReceivedVideoToAnotherPeer)
{
    // camera -> source (receives) ==forward==> target (sends) -> viewer
    MgrGuard camera(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 4, 0, 1));
    MgrGuard source(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    MgrGuard target(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    MgrGuard viewer(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    connect(camera, source, kMediaVideo);
    connect(target, viewer, kMediaVideo);
    for (tmedia_session_mgr_t *m : {camera.m, source.m, target.m, viewer.m})
        ASSERT_EQ(StartMediaSession(m), 0);
    ASSERT_TRUE(waitFor([&] { return framesDecoded(source) >= 3; }));
    EXPECT_EQ(framesDecoded(viewer), 0);

    ASSERT_EQ(AddVideoForward(source, target), 0);
    uint64_t ids[16] = {};
    ASSERT_EQ(GetVideoForwardSid(source, ids, 16), 1);
    EXPECT_EQ(ids[0], GetMediaSessionId(target));
    EXPECT_NE(GetMediaSessionId(target), 0u);
    EXPECT_NE(GetMediaSessionId(target), GetMediaSessionId(source));
    ASSERT_TRUE(waitFor([&] { return framesDecoded(viewer) >= 10; }, 8000)) << framesDecoded(viewer);

    ASSERT_EQ(RemoveVideoForward(source, target), 0);
    EXPECT_EQ(GetVideoForwardSid(source, ids, 16), 0);
    EXPECT_EQ(RemoveVideoForward(source, target), -1);
}

TEST_F(MediaLoopback, ShareSendsTheCameraThroughAnotherCall)
{
    // The conference channel's camera goes out through a video call.
    MgrGuard conf(CreateMediaSession(kMediaAudioVideo, ip("127.0.0.1"), 6, 2, 1));
    MgrGuard call(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    MgrGuard peer(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    MgrGuard audioOnly(CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1));
    ASSERT_EQ(SetMediaRemoteAddress(conf, kMediaAudio, ip("127.0.0.1"), localPort(audioOnly, kMediaAudio)), 0);
    ASSERT_EQ(SetMediaRemoteAddress(conf, kMediaVideo, ip("127.0.0.1"), 0), 0); // camera not sent itself
    connect(call, peer, kMediaVideo);
    for (tmedia_session_mgr_t *m : {conf.m, call.m, peer.m})
        ASSERT_EQ(StartMediaSession(m), 0);
    EXPECT_EQ(AddVideoShareSession(conf, audioOnly), -1);
    ASSERT_EQ(AddVideoShareSession(conf, call), 0);
    ASSERT_TRUE(waitFor([&] { return framesDecoded(peer) >= 10; }, 8000));
    EXPECT_EQ(GetVideoForwardSid(conf, nullptr, 0), 0); // a share is not a forward
    ASSERT_EQ(RemoveVideoShareSession(conf, call), 0);
    EXPECT_EQ(stats(conf, kMediaVideo).rtpPacketsSent, 0u);
}

TEST_F(MediaLoopback, H265IsNotForwardedIntoAnH264Call)
{
    MgrGuard rtsp(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    MgrGuard call(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    ASSERT_EQ(SetMediaCodecs(rtsp, kMediaVideo, tmedia_codec_id_h265), 0);
    EXPECT_EQ(AddVideoForward(rtsp, call), -1);
    EXPECT_EQ(AddVideoForward(call, nullptr), -1);
    EXPECT_EQ(GetVideoForwardSid(nullptr, nullptr, 0), -1);
    EXPECT_EQ(GetMediaSessionId(nullptr), 0u);
}

namespace {
struct BusyCounters {
    std::atomic<bool> released{false};
    std::atomic<int> late{0}, calls{0};
};

int busyRtcp(const void *data, int, uint8_t, const void *, size_t)
{
    auto *c = static_cast<BusyCounters *>(const_cast<void *>(data));
    c->calls++;
    sleepMs(2); // a slow callback widens the window
    if (c->released)
        c->late++;
    return 0;
}

int busySize(const void *data, uint32_t, uint32_t)
{
    auto *c = static_cast<BusyCounters *>(const_cast<void *>(data));
    c->calls++;
    sleepMs(2);
    if (c->released)
        c->late++;
    return 0;
}
} // namespace

TEST_F(MediaLoopback, NoCallbackAfterReleaseWhileMediaThreadsAreBusy)
{
    for (int round = 0; round < 4; ++round) {
        BusyCounters c;
        MgrGuard peer(CreateMediaSession(kMediaAudioVideo, ip("127.0.0.1"), 6, 2, 1));
        tmedia_session_mgr_t *victim = CreateMediaSession(kMediaAudioVideo, ip("127.0.0.1"), 2, 6, 1);
        ASSERT_TRUE(peer.m && victim);
        ASSERT_EQ(SetMediaRtcpCallback(victim, &c, busyRtcp), 0);
        ASSERT_EQ(SetMediaVideoSizeCallback(victim, &c, busySize), 0);
        connect(peer, victim, kMediaAudio);
        connect(peer, victim, kMediaVideo);
        ASSERT_EQ(StartMediaSession(victim), 0);
        ASSERT_EQ(StartMediaSession(peer), 0);
        // Flood the victim with talk-burst packets while its video decodes.
        std::atomic<bool> stop{false};
        std::thread flood([&] {
            while (!stop) {
                tmedia_session_mgr_send_rtcp_app(peer, kMediaAudio, kTbcpIdle, nullptr, 0);
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            }
        });
        ASSERT_TRUE(waitFor([&] { return c.calls > 20; }));
        ReleaseMediaSession(victim);
        c.released = true;
        sleepMs(100);
        stop = true;
        flood.join();
        EXPECT_EQ(c.late.load(), 0) << "round " << round;
    }
}

TEST_F(MediaLoopback, ParameterSetsFromTheStreamDescriptionMakeTheVideoDecodable)
{
    // A sender that keeps SPS and PPS out of band after its first key frame, as
    // many cameras announce them only in their stream description. The session
    // joins late, so it never sees them in the stream.
    std::string err;
    MediaLaunch *sender = MediaLaunchStart(
        "videotestsrc is-live=true ! video/x-raw,width=320,height=240,framerate=25/1"
        " ! x264enc tune=zerolatency speed-preset=ultrafast key-int-max=10 option-string=repeat-headers=0"
        " ! video/x-h264,stream-format=avc"
        " ! rtph264pay name=pay pt=96 config-interval=0 ! udpsink name=out host=127.0.0.1 port=9",
        &err);
    ASSERT_TRUE(sender) << err;
    std::string caps;
    ASSERT_TRUE(waitFor([&] { return !(caps = MediaLaunchPadCaps(sender, "pay", "src")).empty(); }));
    sleepMs(500);
    MgrGuard rx(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    ASSERT_EQ(StartMediaSession(rx), 0);
    ASSERT_TRUE(MediaLaunchSetInt(sender, "out", "port", localPort(rx, kMediaVideo)));
    // sprop-parameter-sets=(string)"SPS\,PPS"
    size_t at = caps.find("sprop-parameter-sets=(string)\"");
    ASSERT_NE(at, std::string::npos) << caps;
    std::string sprop = caps.substr(at + 30, caps.find('"', at + 30) - at - 30);
    size_t comma = sprop.find("\\,");
    ASSERT_NE(comma, std::string::npos) << sprop;
    std::string sps = sprop.substr(0, comma), pps = sprop.substr(comma + 2);
    std::erase(sps, '\\');
    std::erase(pps, '\\');

    ASSERT_TRUE(waitFor([&] { return stats(rx, kMediaVideo).rtpPacketsReceived > 20; }));
    sleepMs(500);
    EXPECT_EQ(framesDecoded(rx), 0) << "decoded without parameter sets";
    EXPECT_EQ(tmedia_session_mgr_set_str(rx, kMediaVideo, tmedia_ppt_session, "sps", "not base64!"), -1);
    ASSERT_EQ(tmedia_session_mgr_set_str(rx, kMediaVideo, tmedia_ppt_session, "sps", sps.c_str()), 0) << sps;
    ASSERT_EQ(tmedia_session_mgr_set_str(rx, kMediaVideo, tmedia_ppt_session, "pps", pps.c_str()), 0) << pps;
    EXPECT_TRUE(waitFor([&] { return framesDecoded(rx) >= 10; })) << framesDecoded(rx);
    MediaLaunchStop(sender);
}

namespace {
struct SelfRelease {
    tmedia_session_mgr_t *mgr = nullptr;
    std::atomic<int> calls{0};
};

int releaseFromInside(const void *data, int, uint8_t, const void *, size_t)
{
    auto *s = static_cast<SelfRelease *>(const_cast<void *>(data));
    if (s->calls++ == 0)
        ReleaseMediaSession(s->mgr); // not allowed to hang, not allowed to call back again
    return 0;
}
} // namespace

TEST_F(MediaLoopback, ReleaseInsideItsOwnCallbackNeitherHangsNorCallsBackAgain)
{
    SelfRelease s;
    MgrGuard peer(CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1));
    s.mgr = CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 2, 2, 1);
    ASSERT_EQ(SetMediaRtcpCallback(s.mgr, &s, releaseFromInside), 0);
    connect(peer, s.mgr, kMediaAudio);
    ASSERT_EQ(StartMediaSession(s.mgr), 0);
    ASSERT_EQ(StartMediaSession(peer), 0);
    for (int i = 0; i < 20; ++i) {
        tmedia_session_mgr_send_rtcp_app(peer, kMediaAudio, kTbcpIdle, nullptr, 0);
        sleepMs(20);
    }
    EXPECT_EQ(s.calls.load(), 1);
}

// RTSP streams: H.265 video and AMR audio from test senders, receive only.
TEST_F(MediaLoopback, H265StreamIsDecodedAndRecorded)
{
    zoxtest::TempDir dir;
    const std::string path = (dir / "camera17_20260101000000.265").string();
    MgrGuard rx(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    ASSERT_EQ(SetMediaCodecs(rx, kMediaVideo, tmedia_codec_id_h265), 0);
    SizeSeen seen;
    ASSERT_EQ(SetMediaVideoSizeCallback(rx, &seen, onSize), 0);
    ASSERT_EQ(StartMediaSession(rx), 0);
    std::string err;
    MediaLaunch *sender = MediaLaunchStart(
        "videotestsrc is-live=true ! video/x-raw,width=320,height=240,framerate=25/1"
        " ! x265enc tune=zerolatency speed-preset=ultrafast key-int-max=10 ! rtph265pay pt=98 config-interval=-1"
        " ! udpsink host=127.0.0.1 port=" + std::to_string(localPort(rx, kMediaVideo)),
        &err);
    ASSERT_TRUE(sender) << err;
    ASSERT_TRUE(waitFor([&] { return framesDecoded(rx) >= 5; }, 8000)) << framesDecoded(rx);
    EXPECT_EQ(seen.w.load(), 320u);
    EXPECT_EQ(seen.h.load(), 240u);
    ASSERT_EQ(tmedia_session_mgr_start_record(rx, path.c_str()), 0);
    int64_t start = framesDecoded(rx);
    ASSERT_TRUE(waitFor([&] { return framesDecoded(rx) >= start + 30; }, 8000));
    tmedia_session_mgr_stop_record(rx);
    MediaLaunchStop(sender);
    std::vector<uint8_t> bytes = readFile(path);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{0, 0, 0, 1}));
    // H.265 NAL type: bits 1-6 of the first header byte; 32 = VPS comes first.
    EXPECT_EQ((bytes[4] >> 1) & 0x3F, 32);
    MediaFileCheck check = MediaDecodeFile(path, true, 10000);
    EXPECT_TRUE(check.ok) << check.error;
    EXPECT_GE(check.frames, 10u);
}

TEST_F(MediaLoopback, AmrAudioStreamIsReceived)
{
    MgrGuard rx(CreateMediaSession(kMediaAudio, ip("127.0.0.1"), 0, 2, 1));
    ASSERT_EQ(SetMediaCodecs(rx, kMediaAudio, tmedia_codec_id_amr_nb_oa), 0);
    ASSERT_EQ(StartMediaSession(rx), 0);
    std::string err;
    MediaLaunch *sender = MediaLaunchStart(
        "audiotestsrc is-live=true ! audio/x-raw,rate=8000,channels=1 ! amrnbenc ! rtpamrpay pt=97"
        " ! udpsink host=127.0.0.1 port=" + std::to_string(localPort(rx, kMediaAudio)),
        &err);
    ASSERT_TRUE(sender) << err;
    EXPECT_TRUE(waitFor([&] { return stats(rx, kMediaAudio).rtpPacketsReceived >= 10; }));
    MediaLaunchStop(sender);
}

namespace {
struct SentPictures {
    const char *name;
    const char *encoder; // encoder and payloader of the sender
    bool h265;
};
class MediaPictureCount : public MediaFixture, public ::testing::WithParamInterface<SentPictures> {};
} // namespace

// Every picture sent is decoded once: also when the sender repeats its parameter sets
// before each key frame and cuts its pictures into slices.
TEST_P(MediaPictureCount, EveryPictureSentIsDecodedOnce)
{
    const SentPictures &c = GetParam();
    MgrGuard rx(CreateMediaSession(kMediaVideo, ip("127.0.0.1"), 0, 4, 1));
    ASSERT_EQ(SetMediaCodecs(rx, kMediaVideo, c.h265 ? tmedia_codec_id_h265 : tmedia_codec_id_h264), 0);
    ASSERT_EQ(StartMediaSession(rx), 0);
    std::string err;
    MediaLaunch *sender = MediaLaunchStart(
        std::string("videotestsrc is-live=true num-buffers=50 ! video/x-raw,width=320,height=240,framerate=25/1 ! ") +
            c.encoder + " ! udpsink host=127.0.0.1 port=" + std::to_string(localPort(rx, kMediaVideo)),
        &err);
    ASSERT_TRUE(sender) << err;
    EXPECT_TRUE(MediaLaunchWaitEos(sender, 10000, &err)) << err;
    MediaLaunchStop(sender);
    // The last pictures leave the jitter buffer and the decoder shortly after.
    waitFor([&] { return framesDecoded(rx) >= 50; }, 3000);
    sleepMs(300);
    EXPECT_EQ(framesDecoded(rx), 50);
}

INSTANTIATE_TEST_SUITE_P(
    Senders, MediaPictureCount,
    ::testing::Values(
        SentPictures{"h264_sets_before_each_key_frame",
                     "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=10 threads=3 ! rtph264pay pt=96 config-interval=-1",
                     false},
        SentPictures{"h264_sets_once", "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=10 threads=3 ! rtph264pay pt=96",
                     false},
        SentPictures{"h265_sets_before_each_key_frame",
                     "x265enc tune=zerolatency speed-preset=ultrafast key-int-max=10 ! rtph265pay pt=96 config-interval=-1", true}),
    [](const auto &info) { return std::string(info.param.name); });
