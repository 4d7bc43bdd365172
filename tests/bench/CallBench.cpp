// Latencies of the call path, measured (a program, not a test):
//
//   1. Incoming setup request -> ringing response on the wire: the fake dispatch server
//      (127.0.0.2:8888) sends a setup request; it travels through the console's UDP
//      service, the message bus and the window-message queue to the incoming-call
//      handler, which makes the session (with its media session on a soft-phone line),
//      answers "ringing" through the UDP service; the clock stops when the server's
//      socket has the response. The alert is answered "decline" at once (its window is
//      not shown), so each call also sends its refusal and frees its line before the next.
//   2. Audio receive: an RTP packet (PCMA, 20 ms) sent to a started call's audio port
//      -> its decoded samples handed to the output at the end of the receive pipeline.
//   3. Audio send: samples leaving the capture source -> their RTP packet leaving for
//      the wire.
//
//   call_bench [calls] [packets]     defaults 1000 and 1000
//
// Needs 127.0.0.1:8888 and 127.0.0.2:8888 free. Runs without a sound device (silent
// source, discarding output), as CI does.
#include <QCoreApplication>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/MediaLibrary.h"
#include "core/net/NetFacade.h"
#include "dispatch/CallMessages.h"
#include "dispatch/IncomingSignalling.h"
#include "dispatch/SessionMedia.h"
#include "host/WindowMessage.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeDispatchServer.h"

using Clock = std::chrono::steady_clock;
using namespace zox::call;

namespace {

class BenchEnv : public ISessionMediaEnv {
public:
    std::string PttCodec() const override { return "G711A"; }
    int CameraId() const override { return 0; }
    bool AutoRecord() const override { return false; }
    uintptr_t LayoutCameraPreview() override { return 0; }
    void ShowCameraPreview(bool) override {}
    void AddConfVideoShare(CDispatchSession &) override {}
    void PostTalkBurst(uint32_t, uintptr_t, const std::string &) override {}
    void PostVideoSize(int32_t, uint32_t, uint32_t) override {}
};

class NullTimer : public ILineTimer {
public:
    void Start(int p) override { period = p; }
    void Stop() override {}
    bool IsActive() const override { return false; }
    int Period() const override { return period; }
    int period = 0;
};

// The main window's part in the call path, without the window: the handler behind
// WM_NET_CALL, the link through the UDP service, an alert that declines at once.
class BenchConsole : public QObject,
                     public IIncomingCallHost,
                     public IDispatchSessionHost,
                     public IDispatchLineHost {
public:
    BenchConsole() { lines.RebuildDispatchLines({Line("5000", 1), Line("500001", 0)}); }

    static ST_ZOX_SYSTEM_LINE Line(const std::string &n, uint8_t softPhone)
    {
        ST_ZOX_SYSTEM_LINE l;
        l.lineName = n;
        l.status = 1;
        l.softPhone = softPhone;
        return l;
    }

    void customEvent(QEvent *e) override
    {
        if (const CWindowMessage *m = CWindowMessage::From(e); m && m->message == WM_NET_CALL)
            handler.OnNetCall(reinterpret_cast<const uint8_t *>(m->data.constData()), std::size_t(m->data.size()));
    }

    // IIncomingCallHost
    CDispatchLineTable &Lines() override { return lines; }
    IDispatchSessionHost &SessionHost() override { return *this; }
    bool IsCallAlertVisible() const override { return false; }
    int ShowCallAlert(int32_t, const std::string &, int32_t) override { return 2; }
    int32_t CallAlertId() const override { return 0; }
    void DismissCallAlert() override {}
    void StartRingIn() override {}
    void StopRingIn() override {}
    IDispatchTile *GetFreeVideoWindow() override { return nullptr; }
    void ShowCallStatus(int32_t, const std::string &) override {}
    void SetupVideoConfAudio() override {}
    void HangupVideoCalls() override {}
    void UpdateOperateButtons() override {}
    bool IsVideoEnabled() const override { return false; }
    bool IsVpAlertShown(const std::string &) const override { return false; }
    int VpAlertCount() const override { return 0; }
    void AddVpAlert(const std::string &, const std::string &, uint32_t, uint32_t) override {}
    void RemoveVpAlert(const std::string &) override {}
    void PlayCompleteSound() override {}
    void SetSpeakerText(const std::string &) override {}
    void MapSetSpeaker(const std::string &) override {}
    void MapUnsetSpeaker() override {}

    // IDispatchSessionHost
    int SendUdp(const uint8_t *data, std::size_t length) override { return NetSendUdp(data, length); }
    CSessionInstancePool &InstancePool() override { return pool; }
    uint32_t OwnUserId() const override { return 0x8001; }
    uint32_t LocalIp() const override { return inet_addr("127.0.0.1"); }
    std::unique_ptr<IDispatchMedia> CreateMedia(CDispatchSession &s) override { return CSessionMedia::Create(s, env); }
    bool GetSystemUser(const std::string &, ST_ZOX_SYSTEM_USER &) override { return false; }
    void StartRingBack() override {}
    std::string SelectedUserNumber() const override { return {}; }
    void HideLocalPreview() override {}
    void RemoveConferenceVideoShare(CDispatchSession &) override {}

    // IDispatchLineHost
    std::unique_ptr<ILineTimer> CreateLineTimer(std::function<void()>) override { return std::make_unique<NullTimer>(); }
    void StopRingBack() override {}
    void OnCallLineStateChanged(int32_t, int32_t) override {}
    void ClearDispatchStatus() override {}
    void ReleaseVideoConfAudio() override {}
    bool IsLineUser(const std::string &, const std::string &) const override { return false; }

    BenchEnv env;
    CSessionInstancePool pool;
    CDispatchLineTable lines {*this};
    CIncomingSignalling handler {*this};
};

Bytes SetupRequest(uint32_t ref, const std::string &line)
{
    CallMessage m;
    m.header = {1, 0, ref, kNoReference};
    m.serviceType = 1;
    EncodeBcdDigits(line, m.lineNumber.data(), m.lineNumber.size());
    in_addr a {};
    inet_pton(AF_INET, "127.0.0.2", &a);
    MakeAddressRecord(a, m.audio.record);
    m.audio.port = 30000;
    m.audio.present = true;
    m.audioCopy = m.audio;
    TbcdNumber n {};
    EncodeBcdDigits("3001", n.data(), n.size());
    m.members.push_back(n);
    m.memberCount = 1;
    return WriteMessage(kSetupRequestLayout, m);
}

void Report(const char *name, std::vector<double> us)
{
    if (us.empty()) {
        std::printf("%-44s no samples\n", name);
        return;
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) { return us[std::min(us.size() - 1, std::size_t(q * double(us.size())))]; };
    std::printf("%-44s n %5zu  median %9.3f ms  p99 %9.3f ms  max %9.3f ms\n", name, us.size(), at(0.5) / 1000,
                at(0.99) / 1000, us.back() / 1000);
}

// Incoming setup -> ringing response on the wire, `calls` times on one line.
std::vector<double> SetupToRinging(zoxtest::FakeDispatchServer &server, BenchConsole &console, const std::string &line,
                                   int calls)
{
    std::vector<double> us;
    std::mutex lock;
    std::condition_variable cv;
    uint32_t ringingRef = 0;
    Clock::time_point ringingAt;
    server.Answer(kSetupResponse, [&](const zoxtest::ReceivedDatagram &d) {
        CallMessage m;
        if (ReadMessage(kSetupResponseLayout, d.bytes.data(), d.bytes.size(), m) == kParseOk && m.result == 1) {
            std::lock_guard<std::mutex> lk(lock);
            ringingRef = m.header.receiverRef;
            ringingAt = d.at;
            cv.notify_all();
        }
        return std::vector<zoxtest::Bytes> {};
    });
    for (int i = 0; i < calls; ++i) {
        const uint32_t ref = 0x10000 + uint32_t(i);
        const Bytes request = SetupRequest(ref, line);
        const Clock::time_point t0 = Clock::now();
        server.Inject(request);
        bool seen = false;
        while (!seen && Clock::now() - t0 < std::chrono::seconds(2)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            std::lock_guard<std::mutex> lk(lock);
            seen = ringingRef == ref;
        }
        if (seen)
            us.push_back(std::chrono::duration<double, std::micro>(ringingAt - t0).count());
        // Let the refusal go out and the line come free before the next call.
        const Clock::time_point wait = Clock::now();
        while (!console.lines.FindLineByName(line)->IsFree() && Clock::now() - wait < std::chrono::seconds(2))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    server.ClearScript();
    return us;
}

int Socket(const char *ip, uint16_t &port)
{
    int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, ip, &a.sin_addr);
    ::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &len);
    port = ntohs(a.sin_port);
    return s;
}

// Packet in -> samples out, and samples in -> packet out, on a started voice call.
void AudioPath(int packets)
{
    uint16_t peerPort = 0;
    int peer = Socket("127.0.0.2", peerPort);
    tmedia_session_mgr_t *mgr = CreateMediaSession(kMediaAudio, {inet_addr("127.0.0.1")}, kMediaAudio, kMediaAudio, 1);
    uint16_t port = 0;
    GetMediaLocalPort(mgr, kMediaAudio, &port);
    SetMediaCodecs(mgr, kMediaAudio, tmedia_codec_id_pcma);
    SetMediaRemoteAddress(mgr, kMediaAudio, {inet_addr("127.0.0.2")}, peerPort);
    if (StartMediaSession(mgr) != 0) {
        std::fprintf(stderr, "media session did not start\n");
        std::exit(2);
    }
    std::vector<int64_t> discard(100000);
    tmedia_session_mgr_take_audio_send_delays(mgr, discard.data(), discard.size());

    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    uint8_t pkt[12 + 160];
    std::fill(std::begin(pkt), std::end(pkt), 0xD5); // A-law silence
    pkt[0] = 0x80;
    pkt[1] = 8;
    const uint32_t ssrc = 0x0BE7C4A1;
    pkt[8] = uint8_t(ssrc >> 24), pkt[9] = uint8_t(ssrc >> 16), pkt[10] = uint8_t(ssrc >> 8), pkt[11] = uint8_t(ssrc);
    std::vector<double> inUs;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < packets; ++i) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(20 * i));
        pkt[2] = uint8_t(i >> 8), pkt[3] = uint8_t(i);
        const uint32_t ts = uint32_t(i) * 160;
        pkt[4] = uint8_t(ts >> 24), pkt[5] = uint8_t(ts >> 16), pkt[6] = uint8_t(ts >> 8), pkt[7] = uint8_t(ts);
        int64_t before = 0;
        tmedia_session_mgr_get_int64(mgr, kMediaAudio, tmedia_ppt_consumer, "audio-buffers-out", &before);
        const Clock::time_point t0 = Clock::now();
        ::sendto(peer, pkt, sizeof pkt, 0, reinterpret_cast<sockaddr *>(&to), sizeof to);
        int64_t out = before, lastNs = 0;
        while (out == before && Clock::now() - t0 < std::chrono::milliseconds(19)) {
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            tmedia_session_mgr_get_int64(mgr, kMediaAudio, tmedia_ppt_consumer, "audio-buffers-out", &out);
        }
        tmedia_session_mgr_get_int64(mgr, kMediaAudio, tmedia_ppt_consumer, "audio-last-out-ns", &lastNs);
        // The first packet also carries the jitter buffer's start; a packet whose samples
        // did not come out within its own 20 ms is counted at the next one.
        if (out != before && i > 0)
            inUs.push_back(double(lastNs - std::chrono::duration_cast<std::chrono::nanoseconds>(t0.time_since_epoch()).count()) / 1000);
    }
    std::vector<int64_t> delays(100000);
    const int n = tmedia_session_mgr_take_audio_send_delays(mgr, delays.data(), delays.size());
    std::vector<double> outUs;
    for (int i = 0; i < n; ++i)
        outUs.push_back(double(delays[std::size_t(i)]) / 1000);
    ReleaseMediaSession(mgr);
    ::close(peer);
    Report("audio: packet in -> samples out", inUs);
    Report("audio: samples in -> packet on the wire", outUs);
}

} // namespace

int main(int argc, char **argv)
{
    const int calls = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int packets = argc > 2 ? std::atoi(argv[2]) : 1000;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    setenv("ZOX_MEDIA_AUDIO", "none", 1);
    zoxtest::ConsoleEnv env;
    zoxtest::FakeDispatchServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "127.0.0.2:8888 is taken\n");
        return 2;
    }
    if (!InitMediaLibrary() || NetStart() != 0) {
        std::fprintf(stderr, "media or network layer did not start\n");
        return 2;
    }
    BenchConsole console;
    NetSubscribe(WM_NET_CALL, &console);
    std::printf("warm-up: %zu of 20 calls rang\n", SetupToRinging(server, console, "500001", 20).size());
    Report("setup -> ringing on the wire (no media)", SetupToRinging(server, console, "500001", calls));
    Report("setup -> ringing on the wire (soft phone)", SetupToRinging(server, console, "5000", calls));
    NetStop();
    AudioPath(packets);
    ExitMediaLibrary();
    return 0;
}
