// Who may talk to the console's dispatch port, and what a flood of junk costs the log:
// only the configured server's address and port are heard; every dropped datagram is
// counted, and each kind of drop writes one log line a minute.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "core/net/NetFacade.h"
#include "core/net/NetUdpService.h"
#include "host/MessageNumbers.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/FakeLoginServer.h"
#include "tests/support/WindowRecorder.h"

using namespace std::chrono_literals;
using zoxtest::Bytes;
using zoxtest::FakeDispatchServer;

namespace {

std::size_t Occurrences(const std::string &text, const std::string &what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class NetSource : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Start()) << "127.0.0.2:8888 is taken";
        ASSERT_EQ(NetStart(), 0);
        for (uint32_t m : {WM_NET_LOGIN, WM_NET_NOTIFY, WM_NET_CALL, WM_NET_VIDEOPUSH})
            ASSERT_EQ(NetSubscribe(m, &window), 0);
    }
    void TearDown() override { NetStop(); }

    TNetUdpService::Stats Stats() const
    {
        TNetUdpService::Stats s;
        EXPECT_TRUE(NetGetUdpStats(s));
        return s;
    }

    // Waits until the service has read `count` datagrams in all.
    bool WaitReceived(uint64_t count)
    {
        return zoxtest::PumpUntil([&] { return Stats().received >= count; }, 5s);
    }

    zoxtest::ConsoleEnv env; // server 127.0.0.2, console 127.0.0.1
    FakeDispatchServer server;
    zoxtest::CFakeLoginServer messages;
    zoxtest::WindowRecorder window;
};

} // namespace

// A reset indicator, a user state notice and a call datagram, each from a host that is
// not the server, and from the server's host on another port: none reaches a window.
TEST_F(NetSource, DatagramsFromAnyoneButTheServerAreDropped)
{
    FakeDispatchServer otherHost("127.0.0.3", 8888);
    FakeDispatchServer otherPort("127.0.0.2", 9999);
    ASSERT_TRUE(otherHost.Start());
    ASSERT_TRUE(otherPort.Start());
    Bytes call(40, 0);
    call[4] = 0x50;
    call[5] = 0x02;
    const Bytes datagrams[] = {messages.MakeServerReset(),
                               messages.MakeUserStateNotify("100001", 1, 0, 0, 0, {}), call};
    uint64_t sent = 0;
    for (FakeDispatchServer *from : {&otherHost, &otherPort})
        for (const Bytes &d : datagrams) {
            ASSERT_TRUE(from->Inject(d));
            ++sent;
        }
    // The server's own reset indicator, sent last, is the only message delivered.
    ASSERT_TRUE(server.Inject(messages.MakeServerReset()));
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return window.messages.size() == 1; }, 3s));
    ASSERT_TRUE(WaitReceived(sent + 1));
    zoxtest::PumpFor(50ms);
    ASSERT_EQ(1u, window.messages.size());
    EXPECT_EQ(WM_NET_LOGIN, window.messages[0].message);

    const TNetUdpService::Stats s = Stats();
    EXPECT_EQ(sent, s.foreign);
    EXPECT_EQ(sent, s.dropped);
    EXPECT_EQ(1u, s.delivered);
    // One line for the kind within the minute, naming the first stranger.
    const std::string log = env.LogText();
    EXPECT_EQ(1u, Occurrences(log, "(not the server)")) << log;
    EXPECT_NE(std::string::npos, log.find("from 127.0.0.3:8888 dropped (not the server)")) << log;
}

// A flood of junk of several kinds writes one line per kind, however many arrive;
// the counts are all there.
TEST_F(NetSource, AFloodOfJunkWritesOneLinePerKind)
{
    struct Kind {
        const char *what;
        Bytes datagram;
        const char *line;
        uint64_t TNetUdpService::Stats::*count;
    } kinds[] = {
        {"too short", Bytes(9, 0x50), "net: datagram of 9 bytes ignored", &TNetUdpService::Stats::tooShort},
        {"too long", Bytes(1600, 0), "net: datagram of 1600 bytes dropped", &TNetUdpService::Stats::tooLong},
        {"wrong lead byte", Bytes(30, 0x51), "net: datagram with message code 5151.. dropped",
         &TNetUdpService::Stats::badLead},
        {"unknown group", Bytes {0, 0, 0, 0, 0x50, 0x09, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0},
         "net: datagram of unknown group 0x5009 dropped", &TNetUdpService::Stats::badFamily},
    };
    constexpr int kEach = 500;
    uint64_t sent = 0;
    for (int i = 0; i < kEach; ++i)
        for (const Kind &k : kinds) {
            ASSERT_TRUE(server.Inject(k.datagram)) << k.what;
            ++sent;
            if (sent % 200 == 0) { // let the receive thread keep up with the kernel buffer
                ASSERT_TRUE(WaitReceived(sent));
            }
        }
    ASSERT_TRUE(WaitReceived(sent));
    const TNetUdpService::Stats s = Stats();
    const std::string log = env.LogText();
    for (const Kind &k : kinds) {
        EXPECT_EQ(uint64_t(kEach), s.*k.count) << k.what;
        EXPECT_EQ(1u, Occurrences(log, k.line)) << k.what << "\n" << log;
    }
    EXPECT_EQ(sent, s.dropped);
    EXPECT_TRUE(window.messages.empty());
}

// A heartbeat response that arrives behind a heap of notices still queued for the login
// window is handled before them.
TEST_F(NetSource, TheRegistrationFamilyOvertakesQueuedNotices)
{
    constexpr int kNotices = 300;
    for (int i = 0; i < kNotices; ++i)
        ASSERT_TRUE(server.Inject(messages.MakeUserStateNotify("100001", 1, uint32_t(i), 0, 0, {}, uint32_t(i))));
    ASSERT_TRUE(server.Inject(messages.MakeHeartbeatResponse(7)));
    // Everything is posted before the window handles any of it.
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (Stats().delivered < uint64_t(kNotices + 1) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(2ms);
    ASSERT_EQ(uint64_t(kNotices + 1), Stats().delivered);
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return window.messages.size() == std::size_t(kNotices + 1); }, 5s));
    EXPECT_EQ(WM_NET_LOGIN, window.messages.front().message);
    EXPECT_EQ(std::size_t(kNotices), window.CountOf(WM_NET_NOTIFY));
}
