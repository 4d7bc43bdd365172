// What the dispatch server sends about calls and video pushes, handled against a set
// of lines, sessions and windows. The input is a list of datagrams (two length bytes
// before each); a call alert delivers the next one while it shows, the way a release
// can arrive while the dispatcher decides.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "dispatch/IncomingSignalling.h"
#include "tests/dispatch/DispatchFakes.h"

using namespace zoxtest;

namespace {
struct Stream {
    const uint8_t *p;
    size_t n;
    bool Next(std::vector<uint8_t> &out)
    {
        if (n < 2)
            return false;
        size_t length = (size_t(p[0]) << 8 | p[1]) % 1600;
        p += 2;
        n -= 2;
        length = std::min(length, n);
        out.assign(p, p + length);
        p += length;
        n -= length;
        return true;
    }
};

class Host : public IIncomingCallHost {
public:
    Host(CDispatchLineTable &lines, FakeSessionHost &sessions) : lines(lines), sessions(sessions) {}
    CDispatchLineTable &Lines() override { return lines; }
    IDispatchSessionHost &SessionHost() override { return sessions; }
    bool IsCallAlertVisible() const override { return alertVisible; }
    int ShowCallAlert(int32_t callId, const std::string &, int32_t) override
    {
        if (alertVisible)
            return 2;
        alertVisible = true;
        alertId = callId;
        dismissed = false;
        if (whileAlerting)
            whileAlerting();
        alertVisible = false;
        return dismissed ? 2 : 1;
    }
    int32_t CallAlertId() const override { return alertId; }
    void DismissCallAlert() override { dismissed = true; }
    void StartRingIn() override {}
    void StopRingIn() override {}
    IDispatchTile *GetFreeVideoWindow() override { return &tile; }
    void ShowCallStatus(int32_t, const std::string &) override {}
    void SetupVideoConfAudio() override {}
    void HangupVideoCalls() override {}
    void UpdateOperateButtons() override {}
    bool IsVideoEnabled() const override { return true; }
    bool IsVpAlertShown(const std::string &n) const override { return std::count(vp.begin(), vp.end(), n) > 0; }
    int VpAlertCount() const override { return int(vp.size()); }
    void AddVpAlert(const std::string &n, const std::string &, uint32_t, uint32_t) override { vp.push_back(n); }
    void RemoveVpAlert(const std::string &n) override { std::erase(vp, n); }
    void PlayCompleteSound() override {}
    void SetSpeakerText(const std::string &) override {}
    void MapSetSpeaker(const std::string &) override {}
    void MapUnsetSpeaker() override {}

    CDispatchLineTable &lines;
    FakeSessionHost &sessions;
    bool alertVisible = false, dismissed = false;
    int32_t alertId = 0;
    std::function<void()> whileAlerting;
    FakeTile tile;
    std::vector<std::string> vp;
};

ST_ZOX_SYSTEM_LINE Line(const std::string &name, uint8_t softPhone)
{
    ST_ZOX_SYSTEM_LINE l;
    l.lineName = name;
    l.status = 1;
    l.softPhone = softPhone;
    return l;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FakeLineHost lineHost;
    FakeSessionHost sessions;
    CDispatchLineTable lines {lineHost};
    lines.RebuildDispatchLines({Line("5000", 1), Line("500001", 0), Line("500003", 1)});
    sessions.AddUser("3001", "Driver One");
    Host host {lines, sessions};
    CIncomingSignalling handler {host};

    Stream in {data, size};
    auto deliver = [&](const std::vector<uint8_t> &b) {
        if (b.size() >= 6 && b[4] == 0x50 && b[5] == 0x04)
            handler.OnNetVideoPush(b.data(), b.size());
        else
            handler.OnNetCall(b.data(), b.size());
    };
    host.whileAlerting = [&] {
        std::vector<uint8_t> b;
        if (in.Next(b))
            deliver(b);
        lineHost.clock.Advance(1000);
    };
    std::vector<uint8_t> b;
    for (int i = 0; i < 32 && in.Next(b); ++i) {
        deliver(b);
        lineHost.clock.Advance(5000);
    }
    lines.DropAllSessions();
    return 0;
}
