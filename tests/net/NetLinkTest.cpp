// The network layer end to end: the console's UDP service on 127.0.0.1:8888 against the
// fake dispatch server on 127.0.0.2:8888.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "core/net/NetFacade.h"
#include "core/net/NetUdpService.h"
#include "core/protocol/MessageCodes.h"
#include "core/protocol/RegistrationMessages.h"
#include "host/MessageNumbers.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/WindowRecorder.h"

using namespace std::chrono_literals;
using zoxtest::Bytes;
using zoxtest::WindowRecorder;

namespace {

// A datagram of the given size whose message code is 0x<lead><family>00<code>.
Bytes Datagram(std::size_t size, uint8_t lead, uint8_t family, uint8_t code = 1, uint8_t fill = 0x33)
{
    Bytes b(size, fill);
    for (std::size_t i = 0; i < 4 && i < size; ++i)
        b[i] = 0;
    if (size > 7) {
        b[4] = lead;
        b[5] = family;
        b[6] = 0;
        b[7] = code;
    }
    return b;
}

class NetLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Start()) << "127.0.0.2:8888 is taken";
        ASSERT_EQ(NetStart(), 0);
        for (uint32_t m : {WM_NET_LOGIN, WM_NET_NOTIFY, WM_NET_CALL, WM_NET_VIDEOPUSH})
            ASSERT_EQ(NetSubscribe(m, &window), 0);
    }
    void TearDown() override
    {
        NetStop();
        NetSetWxProxyService(nullptr);
        NetSetDatabaseService(nullptr);
    }

    // Sends the datagram, then a marker that must arrive; true when the marker came
    // and, before it, exactly `expected` messages of the datagram.
    void ExpectRouted(const Bytes &datagram, uint32_t expectedMessage, const char *what)
    {
        window.messages.clear();
        ASSERT_TRUE(server.Inject(datagram)) << what;
        Bytes marker = Datagram(20, 0x50, 0x04, 0x99);
        ASSERT_TRUE(server.Inject(marker));
        ASSERT_TRUE(zoxtest::PumpUntil(
            [&] {
                return !window.messages.empty() && window.messages.back().message == WM_NET_VIDEOPUSH &&
                       window.messages.back().data == QByteArray(reinterpret_cast<const char *>(marker.data()), 20);
            },
            3s))
            << what;
        std::size_t before = window.messages.size() - 1;
        if (expectedMessage == 0) {
            EXPECT_EQ(before, 0u) << what << ": must be dropped";
            return;
        }
        ASSERT_EQ(before, 1u) << what;
        const WindowRecorder::Message &m = window.messages[0];
        EXPECT_EQ(m.message, expectedMessage) << what;
        EXPECT_EQ(m.wParam, datagram.size()) << what;
        EXPECT_EQ(m.data, QByteArray(reinterpret_cast<const char *>(datagram.data()), qsizetype(datagram.size())))
            << what;
        EXPECT_EQ(m.data.constData()[m.data.size()], '\0');
    }

    zoxtest::ConsoleEnv env;
    zoxtest::FakeDispatchServer server;
    WindowRecorder window;
};

} // namespace

TEST_F(NetLink, RoutesByGroupAndDropsWhatDoesNotFit)
{
    struct Case {
        const char *what;
        Bytes datagram;
        uint32_t message; // 0: dropped
    } cases[] = {
        {"15 bytes", Datagram(15, 0x50, 0x01), 0},
        {"16 bytes of 0x5001", Datagram(16, 0x50, 0x01), WM_NET_LOGIN},
        {"1500 bytes of 0x5002", Datagram(1500, 0x50, 0x02), WM_NET_CALL},
        {"9000 bytes", Datagram(9000, 0x50, 0x01), 0},
        {"1501 bytes of 0x5002", Datagram(1501, 0x50, 0x02), 0},
        {"2049 bytes", Datagram(2049, 0x50, 0x01), 0},
        {"0x5003", Datagram(52, 0x50, 0x03), WM_NET_NOTIFY},
        {"0x5004", Datagram(40, 0x50, 0x04, 7), WM_NET_VIDEOPUSH},
        {"byte 4 is 0x51", Datagram(40, 0x51, 0x01), 0},
        {"family 0x06", Datagram(40, 0x50, 0x06), 0},
        {"family 0x00", Datagram(40, 0x50, 0x00), 0},
        {"0x5005 without a bridge", Datagram(40, 0x50, 0x05), 0},
    };
    for (const Case &c : cases)
        ExpectRouted(c.datagram, c.message, c.what);

    // The oversized ones were seen at their real length, not cut to the buffer; each
    // kind of drop writes one line within the minute and counts the rest.
    std::string log = env.LogText();
    EXPECT_NE(log.find("net: datagram of 9000 bytes dropped"), std::string::npos);
    EXPECT_EQ(log.find("net: datagram of 1501 bytes dropped"), std::string::npos);
    EXPECT_EQ(log.find("net: datagram of 2049 bytes dropped"), std::string::npos);
    EXPECT_NE(log.find("net: datagram of 15 bytes ignored"), std::string::npos);
    TNetUdpService::Stats stats;
    ASSERT_TRUE(NetGetUdpStats(stats));
    EXPECT_EQ(1u, stats.tooShort);
    EXPECT_EQ(3u, stats.tooLong);
    EXPECT_EQ(1u, stats.badLead);
    EXPECT_EQ(2u, stats.badFamily);
    EXPECT_EQ(1u, stats.unrouted);
    EXPECT_EQ(0u, stats.foreign);
    EXPECT_EQ(8u, stats.dropped);
}

TEST_F(NetLink, SubscriberDestroyedWithDatagramsInFlight)
{
    auto *login = new WindowRecorder;
    NetStop(); // fresh bus: the login datagrams go to `login` alone
    ASSERT_EQ(NetStart(), 0);
    ASSERT_EQ(NetSubscribe(WM_NET_LOGIN, login), 0);
    ASSERT_EQ(NetSubscribe(WM_NET_CALL, &window), 0);
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(server.Inject(Datagram(100, 0x50, 0x01)));
    // Some are queued for it, some are still in the socket.
    std::this_thread::sleep_for(5ms);
    delete login;
    for (int i = 0; i < 200; ++i)
        ASSERT_TRUE(server.Inject(Datagram(100, 0x50, 0x01)));
    ASSERT_TRUE(server.Inject(Datagram(20, 0x50, 0x02)));
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return window.CountOf(WM_NET_CALL) == 1; }, 3s));
    EXPECT_EQ(window.CountOf(WM_NET_LOGIN), 0u);
}

TEST_F(NetLink, SendsToTheServerAndRefusesOversizedDatagrams)
{
    Bytes big = Datagram(1500, 0x50, 0x01, 0x05);
    EXPECT_EQ(NetSendUdp(big.data(), big.size()), 1500);
    Bytes tooBig = Datagram(1501, 0x50, 0x01, 0x07);
    EXPECT_EQ(NetSendUdp(tooBig.data(), tooBig.size()), -2);
    ASSERT_TRUE(server.WaitFor(0x50010005, 1, 3s));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(server.CountOf(0x50010007), 0u);
    EXPECT_EQ(server.Received()[0].bytes, big);

    NetStop();
    EXPECT_EQ(NetSendUdp(big.data(), big.size()), -255);
    EXPECT_EQ(NetSubscribe(WM_NET_LOGIN, &window), -1);
}

// The fake answers a request; the answer reaches the login window.
TEST_F(NetLink, ScriptedAnswerReachesTheWindow)
{
    using namespace zox::proto;
    server.Answer(kHeartbeatRequest, [](const zoxtest::ReceivedDatagram &req) {
        DispatchMessageHeader h;
        DispatchMessageHeader::Read(req.bytes.data(), req.bytes.size(), h);
        ResultResponse r;
        r.header = {0, kHeartbeatResponse, 0x77, h.senderRef};
        return std::vector<Bytes> {BuildResultResponse(r)};
    });
    server.Withhold(kHeartbeatRequest, 1);
    for (uint32_t seq : {1u, 2u}) {
        Bytes hb = BuildHeaderOnly({0x2A, kHeartbeatRequest, seq, kNoReference});
        ASSERT_EQ(NetSendUdp(hb.data(), hb.size()), 16);
        ASSERT_TRUE(server.WaitFor(kHeartbeatRequest, seq, 3s));
    }
    ASSERT_TRUE(zoxtest::PumpUntil([&] { return window.CountOf(WM_NET_LOGIN) == 1; }, 3s));
    ResultResponse got;
    const QByteArray &d = window.messages[0].data;
    ASSERT_EQ(ParseResultResponse(reinterpret_cast<const uint8_t *>(d.constData()), std::size_t(d.size()), got),
              kParseOk);
    EXPECT_EQ(got.header.receiverRef, 2u); // the first request was withheld
    EXPECT_EQ(server.AnswersSent(), 1u);
}

namespace {
std::mutex g_chatLock;
std::vector<std::size_t> g_chatLengths;
std::thread::id g_chatThread;
std::atomic<int> g_wxStops {0};
} // namespace

TEST_F(NetLink, ChatGroupGoesToTheBridgeOnTheReceiveThread)
{
    NetStop();
    g_wxStops = 0;
    {
        std::lock_guard<std::mutex> lock(g_chatLock);
        g_chatLengths.clear();
    }
    NetWxProxyService wx;
    wx.start = [] { return 0; };
    wx.stop = [] { ++g_wxStops; };
    wx.onServerMessage = [](const uint8_t *, std::size_t length) {
        std::lock_guard<std::mutex> lock(g_chatLock);
        g_chatLengths.push_back(length);
        g_chatThread = std::this_thread::get_id();
    };
    wx.isRegistered = [] { return true; };
    NetSetWxProxyService(&wx);
    EXPECT_FALSE(NetWxProxyIsReady());
    ASSERT_EQ(NetStart(), 0);
    EXPECT_TRUE(NetWxProxyIsReady());
    ASSERT_TRUE(server.Inject(Datagram(77, 0x50, 0x05)));
    auto until = std::chrono::steady_clock::now() + 3s;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(g_chatLock);
            if (!g_chatLengths.empty())
                break;
        }
        ASSERT_LT(std::chrono::steady_clock::now(), until);
        std::this_thread::sleep_for(2ms);
    }
    std::lock_guard<std::mutex> lock(g_chatLock);
    EXPECT_EQ(g_chatLengths, (std::vector<std::size_t> {77}));
    EXPECT_NE(g_chatThread, std::this_thread::get_id());
    NetStop();
    EXPECT_EQ(g_wxStops.load(), 1);
    EXPECT_FALSE(NetWxProxyIsReady());
}

// --- NetStart results ------------------------------------------------------------------

TEST(NetStart, BindConflictFailsWithMinusOne)
{
    zoxtest::ConsoleEnv env;
    int taken = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in a {};
    a.sin_family = AF_INET;
    a.sin_port = htons(8888);
    a.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    ASSERT_EQ(::bind(taken, reinterpret_cast<sockaddr *>(&a), sizeof a), 0);

    EXPECT_EQ(NetStart(), -1);
    EXPECT_NE(env.LogText().find("net: create udp service failed (0x100007f: 8888)!"), std::string::npos);
    EXPECT_EQ(env.LogText().find("net: init success!"), std::string::npos);
    // Everything was stopped again: no bus, no service.
    WindowRecorder w;
    EXPECT_EQ(NetSubscribe(WM_NET_LOGIN, &w), -1);
    EXPECT_EQ(NetSendUdp("x", 1), -255);
    ::close(taken);

    // The port is free again: the next start succeeds.
    EXPECT_EQ(NetStart(), 0);
    NetStop();
}

TEST(NetStart, UnknownLocalAddressFailsWithMinusOne)
{
    zoxtest::ConsoleEnv env("192.0.2.7"); // not on this machine
    EXPECT_EQ(NetStart(), -1);
    EXPECT_NE(env.LogText().find("net: create udp service failed (0x70200c0: 8888)!"), std::string::npos);
}

namespace {
std::atomic<int> g_dbConnects {0}, g_dbDisconnects {0}, g_bridgeStops {0};
int g_dbResult = 0, g_bridgeResult = 0;
void *g_attached = nullptr;
} // namespace

TEST(NetStart, PartsThatFailAreReportedAndEverythingStops)
{
    zoxtest::ConsoleEnv env;
    g_dbConnects = 0;
    g_dbDisconnects = 0;
    g_bridgeStops = 0;
    g_dbResult = 0;
    g_bridgeResult = 0;
    g_attached = nullptr;
    // The services below live on this stack: whatever happens, none stays registered.
    struct Unregister {
        ~Unregister()
        {
            NetStop();
            NetSetWxProxyService(nullptr);
            NetSetDatabaseService(nullptr);
        }
    };
    NetWxProxyService wx;
    wx.start = [] { return g_bridgeResult; };
    wx.stop = [] { ++g_bridgeStops; };
    NetDatabaseService db;
    Unregister unregister;
    db.connect = [] { return ++g_dbConnects, g_dbResult; };
    db.disconnect = [] { ++g_dbDisconnects; };
    db.attachQuery = [](void *q) { return g_attached = q, 0; };
    NetSetWxProxyService(&wx);
    NetSetDatabaseService(&db);

    g_bridgeResult = -1;
    EXPECT_EQ(NetStart(), -2);
    EXPECT_NE(env.LogText().find("net: create mms proxy service failed (0x100007f: 8889)!"), std::string::npos);
    EXPECT_EQ(g_bridgeStops.load(), 1);
    EXPECT_EQ(g_dbConnects.load(), 0);
    EXPECT_EQ(NetSendUdp("x", 1), -255);

    g_bridgeResult = 0;
    g_dbResult = -1;
    EXPECT_EQ(NetStart(), -3);
    EXPECT_NE(env.LogText().find("net: connect zox db failed!"), std::string::npos);
    EXPECT_EQ(g_bridgeStops.load(), 2);
    EXPECT_EQ(g_dbDisconnects.load(), 1);
    EXPECT_EQ(NetSendUdp("x", 1), -255);
    int query = 0;
    EXPECT_EQ(NetAttachQuery(&query), -1);

    g_dbResult = 0;
    EXPECT_EQ(NetStart(), 0);
    EXPECT_EQ(NetAttachQuery(&query), 0);
    EXPECT_EQ(g_attached, &query);
    NetStop();
    EXPECT_EQ(g_dbDisconnects.load(), 2);
    EXPECT_EQ(g_bridgeStops.load(), 3);
    EXPECT_EQ(NetAttachQuery(&query), -1);
    NetStop(); // nothing left to stop
    EXPECT_EQ(g_dbDisconnects.load(), 2);
}

TEST(NetStart, PartsNotBuiltInAreSkippedWithALogLine)
{
    zoxtest::ConsoleEnv env;
    ASSERT_EQ(NetStart(), 0);
    std::string log = env.LogText();
    EXPECT_NE(log.find("net: no mms proxy service in this build, skipped."), std::string::npos);
    EXPECT_NE(log.find("net: no zox db service in this build, skipped."), std::string::npos);
    EXPECT_NE(log.find("net: init success!"), std::string::npos);
    EXPECT_FALSE(NetWxProxyIsReady());
    NetWxProxyBeginChat(0, 1, "1001"); // nothing happens
    NetStop();
}

TEST(NetUdpService, WithoutASocketNothingIsSent)
{
    zoxtest::ConsoleEnv env("192.0.2.7"); // the bind fails
    TNetUdpService service(nullptr, nullptr);
    EXPECT_EQ(service.IsOpen(), 0);
    EXPECT_EQ(service.Send("0123456789abcdef", 16), -1);
}
