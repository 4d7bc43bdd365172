// The messaging bridge end to end: the console's UDP service on 127.0.0.1:8888 with the
// fake dispatch server on 127.0.0.2:8888, the bridge on 127.0.0.1:8889 with a fake chat
// peer on 127.0.0.3, and the message store in a scratch database.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/SessionIdentity.h"
#include "core/net/NetFacade.h"
#include "platforms/NetWxProxy.h"
#include "tests/support/ConsoleEnv.h"
#include "tests/support/FakeChatPeer.h"
#include "tests/support/FakeDispatchServer.h"
#include "tests/support/TestDatabase.h"

using namespace std::chrono_literals;
using zoxtest::Bytes;

namespace {

constexpr uint32_t kOwnId = 0x0A0B0C0D;

// The next this many questions "logged in?" are answered no (whenever the bridge asks).
std::atomic<int> g_loginRefusals {0};
std::atomic<uint32_t> g_clock {1000};
TNetWxProxy *g_proxy = nullptr;
std::string g_connection;

void Put32(Bytes &b, std::size_t at, uint32_t v)
{
    b[at] = uint8_t(v >> 24);
    b[at + 1] = uint8_t(v >> 16);
    b[at + 2] = uint8_t(v >> 8);
    b[at + 3] = uint8_t(v);
}

Bytes Header(std::size_t size, uint32_t code, uint32_t ref8, uint32_t ref12)
{
    Bytes b(size, 0);
    Put32(b, 0, 0x11223344);
    Put32(b, 4, code);
    Put32(b, 8, ref8);
    Put32(b, 12, ref12);
    return b;
}

// The stamp as it travels: least significant byte first.
Bytes StampBytes(uint32_t stamp)
{
    return {uint8_t(stamp), uint8_t(stamp >> 8), uint8_t(stamp >> 16), uint8_t(stamp >> 24)};
}

Bytes RegisterRequest(uint32_t peerRef, uint32_t type, std::size_t size = 36)
{
    Bytes b = Header(size, kWxRegisterRequest, peerRef, 0);
    if (size >= 36)
        Put32(b, 32, type);
    return b;
}

Bytes WithStamp(Bytes b, uint32_t stamp)
{
    Bytes s = StampBytes(stamp);
    std::copy(s.begin(), s.end(), b.begin() + 12);
    return b;
}

std::string Base64(const Bytes &data)
{
    static const char *abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < data.size(); i += 3) {
        uint32_t v = uint32_t(data[i]) << 16;
        if (i + 1 < data.size())
            v |= uint32_t(data[i + 1]) << 8;
        if (i + 2 < data.size())
            v |= data[i + 2];
        out += abc[(v >> 18) & 63];
        out += abc[(v >> 12) & 63];
        out += i + 1 < data.size() ? abc[(v >> 6) & 63] : '=';
        out += i + 2 < data.size() ? abc[v & 63] : '=';
    }
    return out;
}

// A chat segment of sender "13900", creator "2468", 2026-3-7 9:5:04.
Bytes Segment(uint32_t ssn, uint8_t segments, uint8_t seq, const Bytes &data)
{
    Bytes s(48, 0);
    s[0] = 1;
    s[1] = segments;
    s[2] = seq;
    s[3] = 0;
    const uint8_t sender[8] = {0x31, 0x09, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::memcpy(&s[4], sender, 8);
    Put32(s, 12, ssn);
    const uint8_t creator[8] = {0x42, 0x86, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::memcpy(&s[24], creator, 8);
    Put32(s, 32, 77);
    s[36] = 0x07;
    s[37] = 0xEA;
    s[38] = 3;
    s[39] = 7;
    s[40] = 9;
    s[41] = 5;
    s[42] = 4;
    Put32(s, 44, 999);
    s.insert(s.end(), data.begin(), data.end());
    return s;
}

Bytes ServerRequest(uint32_t serverRef, const std::string &text, int64_t lengthField = -1)
{
    Bytes d = Header(20 + text.size(), kWxMmsRequest, serverRef, 0xFFFFFFFF);
    Put32(d, 16, lengthField < 0 ? uint32_t(text.size()) : uint32_t(lengthField));
    std::memcpy(d.data() + 20, text.data(), text.size());
    return d;
}

Bytes ServerAck(uint32_t outboxId, uint8_t result)
{
    Bytes d = Header(20, kWxMmsResponse, 0x5555, outboxId);
    d[16] = result;
    return d;
}

uint32_t Code(const Bytes &b) { return b.size() >= 8 ? (uint32_t(b[4]) << 24 | b[5] << 16 | b[6] << 8 | b[7]) : 0; }

class WxBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nOwnUserId = kOwnId;
        g_strOwnNumber = "5012";
        g_loginRefusals = 0;
        g_clock = 1000;
        g_connection = db.connectionString();
        ASSERT_TRUE(peer.IsOpen());
        ASSERT_TRUE(server.Start()) << "127.0.0.2:8888 is taken";

        NetWxProxyService wx;
        wx.start = [] {
            ST_WX_PROXY_SETTINGS s;
            s.localAddr = ::inet_addr("127.0.0.1");
            s.port = 8889;
            s.connectionString = g_connection;
            s.isLoginRunning = [] {
                int left = g_loginRefusals.load();
                while (left > 0 && !g_loginRefusals.compare_exchange_weak(left, left - 1)) {
                }
                return left <= 0;
            };
            s.sendToServer = [](const void *d, std::size_t n) { return NetSendUdp(d, n); };
            s.clock = [] { return g_clock.load(); };
            g_proxy = new TNetWxProxy(std::move(s));
            return g_proxy->GetSocketState() == 2 ? 0 : -1;
        };
        wx.stop = [] {
            delete g_proxy;
            g_proxy = nullptr;
        };
        wx.onServerMessage = [](const uint8_t *d, std::size_t n) { g_proxy->OnServerMessage(d, n); };
        wx.isRegistered = [] { return g_proxy->IsRegistered(); };
        wx.beginChat = [](int kind, int group, const std::string &number) {
            g_proxy->SendBeginChatInd(kind, uint32_t(group), number);
        };
        NetSetWxProxyService(&wx);
        ASSERT_EQ(NetStart(), 0);
        ASSERT_TRUE(g_proxy->IsDatabaseOpen());
    }
    void TearDown() override
    {
        NetStop();
        NetSetWxProxyService(nullptr);
        g_nOwnUserId = 0;
        g_strOwnNumber = kDefaultOwnNumber;
    }

    // Registers the peer with the given clock value; the response must come.
    void Register(uint32_t clock)
    {
        g_clock = clock;
        ASSERT_TRUE(peer.Send(RegisterRequest(0x7000 + clock, 0)));
        auto rsp = peer.Receive(3s);
        ASSERT_TRUE(rsp);
        ASSERT_EQ(Code(*rsp), kWxRegisterResponse);
    }

    // The next datagram at the peer: its code, or 0 when none came.
    uint32_t NextAtPeer(std::chrono::milliseconds timeout = 3s)
    {
        auto d = peer.Receive(timeout);
        return d ? Code(*d) : 0;
    }

    // Waits for the n-th message response at the server and returns it.
    Bytes NthServerAck(std::size_t n)
    {
        if (!server.WaitFor(kWxMmsResponse, n, 3s))
            return {};
        return server.ReceivedWithCode(kWxMmsResponse)[n - 1].bytes;
    }

    // Waits until the count query gives the value (the bridge writes on another thread).
    bool CountBecomes(const std::string &sql, long long value)
    {
        auto until = std::chrono::steady_clock::now() + 3s;
        while (std::chrono::steady_clock::now() < until) {
            if (db.count(sql) == value)
                return true;
            std::this_thread::sleep_for(5ms);
        }
        return false;
    }

    zoxtest::ConsoleEnv env;
    zoxtest::ScratchDatabase db;
    zoxtest::FakeDispatchServer server;
    zoxtest::FakeChatPeer peer;
};

} // namespace

TEST_F(WxBridge, RegisterAnswersOnlyWhenLoggedInAndWithTheWholeRequest)
{
    // Neither a request while not logged in nor a 35-byte one is answered: the first
    // answer the peer sees carries the reference of the last request.
    g_loginRefusals = 1;
    ASSERT_TRUE(peer.Send(RegisterRequest(0x1111, 0)));
    ASSERT_TRUE(peer.Send(RegisterRequest(0x2222, 0, 35)));
    g_clock = 0x01020304;
    ASSERT_TRUE(peer.Send(RegisterRequest(0x3333, 0)));
    auto rsp = peer.Receive(3s);
    ASSERT_TRUE(rsp);

    Bytes expected(48, 0);
    Put32(expected, 0, kOwnId);
    Put32(expected, 4, kWxRegisterResponse);
    expected[8] = 0x04; // the stamp, least significant byte first
    expected[9] = 0x03;
    expected[10] = 0x02;
    expected[11] = 0x01;
    Put32(expected, 12, 0x3333);
    const uint8_t ownNumber[8] = {0x05, 0x21, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}; // "5012"
    std::memcpy(&expected[20], ownNumber, 8);
    EXPECT_EQ(*rsp, expected);
    EXPECT_TRUE(NetWxProxyIsReady());

    // A non-zero type unregisters without an answer; the heartbeat after it is ignored,
    // so the next thing the peer sees is the answer to the next registration.
    ASSERT_TRUE(peer.Send(RegisterRequest(0x4444, 1)));
    ASSERT_TRUE(peer.Send(WithStamp(Header(16, kWxHeartbeatRequest, 0x55, 0), 0x01020304)));
    auto until = std::chrono::steady_clock::now() + 3s;
    while (NetWxProxyIsReady() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(NetWxProxyIsReady());
    Register(0x01020305);
    EXPECT_TRUE(NetWxProxyIsReady());
}

TEST_F(WxBridge, HeartbeatResultFollowsTheStamp)
{
    // Before any registration a heartbeat goes unanswered.
    ASSERT_TRUE(peer.Send(WithStamp(Header(16, kWxHeartbeatRequest, 0x99, 0), 1000)));
    Register(100);
    Register(200); // a new registration starts a new stamp

    struct Case {
        const char *what;
        uint32_t stamp;
        uint8_t result;
    } cases[] = {{"current stamp", 200, 0}, {"old stamp", 100, 2}, {"never given", 0xDEADBEEF, 2}};
    for (const Case &c : cases) {
        ASSERT_TRUE(peer.Send(WithStamp(Header(16, kWxHeartbeatRequest, 0xABCD, 0), c.stamp)));
        auto rsp = peer.Receive(3s);
        ASSERT_TRUE(rsp) << c.what;
        ASSERT_EQ(rsp->size(), 20u) << c.what;
        Bytes expected(20, 0);
        Put32(expected, 0, kOwnId);
        Put32(expected, 4, kWxHeartbeatResponse);
        Bytes stamp = StampBytes(200);
        std::copy(stamp.begin(), stamp.end(), expected.begin() + 8);
        Put32(expected, 12, 0xABCD);
        expected[16] = c.result;
        EXPECT_EQ(*rsp, expected) << c.what;
    }
    EXPECT_TRUE(NetWxProxyIsReady()); // a mismatch changes nothing else
}

TEST_F(WxBridge, ForwardsTheMessageByteForByteButTheStamp)
{
    Register(500);
    Bytes body(300);
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = uint8_t(i * 7 + 3);
    Bytes message = Header(16, kWxMmsRequest, 0x00000042, 0);
    message.insert(message.end(), body.begin(), body.end());

    // An old stamp is refused; the good one that follows is the first at the server.
    Bytes stale = WithStamp(message, 499);
    Put32(stale, 8, 0x41);
    ASSERT_TRUE(peer.Send(stale));
    ASSERT_TRUE(peer.Send(WithStamp(message, 500)));
    ASSERT_TRUE(server.WaitFor(kWxMmsRequest, 1, 3s));
    Bytes expected = message;
    expected[12] = expected[13] = expected[14] = expected[15] = 0xFF;
    EXPECT_EQ(server.ReceivedWithCode(kWxMmsRequest)[0].bytes, expected);
    EXPECT_NE(env.LogText().find("wxproxy: seq not matched, deny to forward msg!"), std::string::npos);

    // After unregistering nothing is forwarded (the next registration's marker passes).
    ASSERT_TRUE(peer.Send(RegisterRequest(1, 1)));
    ASSERT_TRUE(peer.Send(WithStamp(message, 500)));
    Register(600);
    Bytes marker = WithStamp(message, 600);
    Put32(marker, 8, 0x43);
    ASSERT_TRUE(peer.Send(marker));
    ASSERT_TRUE(server.WaitFor(kWxMmsRequest, 2, 3s));
    auto got = server.ReceivedWithCode(kWxMmsRequest);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].bytes[11], 0x43);
}

TEST_F(WxBridge, ThreeSegmentsInAnyOrderMakeOneMessageAndOneIndication)
{
    Register(700);
    const Bytes parts[3] = {{0x00, 0xAB}, {0x10, 0x20, 0x30}, {0xFF}};
    const uint8_t order[3] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        uint8_t seq = order[i];
        ASSERT_TRUE(server.Inject(ServerRequest(0x9000 + seq, Base64(Segment(0x80000001, 3, seq, parts[seq - 1])))));
        Bytes ack = NthServerAck(std::size_t(i) + 1);
        ASSERT_EQ(ack.size(), 20u);
        Bytes expected(20, 0);
        Put32(expected, 0, kOwnId);
        Put32(expected, 4, kWxMmsResponse);
        Put32(expected, 8, 0xFFFFFFFF);
        Put32(expected, 12, 0x9000u + seq);
        EXPECT_EQ(ack, expected) << "segment " << int(seq);
        EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_newmsg"), i == 2 ? 1 : 0) << "after segment " << int(seq);
    }
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_inbox"), 3);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_inbox WHERE pkg_seq=1 AND pkg_size=2 AND pkg_data=0x00AB"), 1);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_newmsg WHERE ssn=2147483649 AND csn=77 AND msg_len=999 AND "
                       "msg_type=1 AND group_chat=0 AND sender='13900' AND creater='2468' AND "
                       "msg_time='2026-3-7 9:5:04'"),
              1);
    EXPECT_EQ(NextAtPeer(), kWxDataInd);

    // The same segment again: stored once, acknowledged twice, no second indication
    // (the next one at the peer belongs to the single-segment message after it).
    ASSERT_TRUE(server.Inject(ServerRequest(0x9001, Base64(Segment(0x80000001, 3, 1, parts[0])))));
    EXPECT_EQ(Code(NthServerAck(4)), kWxMmsResponse);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_inbox"), 3);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_newmsg"), 1);
    ASSERT_TRUE(server.Inject(ServerRequest(0x9100, Base64(Segment(5, 0, 0, {0x01})))));
    Bytes singleAck = NthServerAck(5);
    ASSERT_EQ(singleAck.size(), 20u);
    EXPECT_EQ(singleAck[14], 0x91);
    auto ind = peer.Receive(3s);
    ASSERT_TRUE(ind);
    Bytes expectedInd(16, 0);
    Put32(expectedInd, 0, kOwnId);
    Put32(expectedInd, 4, kWxDataInd);
    Bytes stamp = StampBytes(700);
    std::copy(stamp.begin(), stamp.end(), expectedInd.begin() + 8);
    Put32(expectedInd, 12, 0xFFFFFFFF);
    EXPECT_EQ(*ind, expectedInd);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_newmsg"), 2);
    EXPECT_EQ(NextAtPeer(200ms), 0u);
}

TEST_F(WxBridge, AMessageWhoseEntryCannotBeStoredIsNotAcknowledgedAndItsRepeatIsKept)
{
    Register(710);
    // The last segment arrives while the message table refuses rows: neither the segment
    // nor the message is kept, and the server gets no acknowledgement.
    ASSERT_TRUE(server.Inject(ServerRequest(0x9201, Base64(Segment(0x80000002, 2, 1, {0x01})))));
    ASSERT_EQ(Code(NthServerAck(1)), kWxMmsResponse);
    db.exec("RENAME TABLE wx_newmsg TO wx_newmsg_away");
    ASSERT_TRUE(server.Inject(ServerRequest(0x9202, Base64(Segment(0x80000002, 2, 2, {0x02})))));
    EXPECT_FALSE(server.WaitFor(kWxMmsResponse, 2, 500ms));
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_inbox"), 1);
    EXPECT_EQ(NextAtPeer(200ms), 0u);

    // The server's repeat, once the table is back: stored, announced, acknowledged.
    db.exec("RENAME TABLE wx_newmsg_away TO wx_newmsg");
    ASSERT_TRUE(server.Inject(ServerRequest(0x9203, Base64(Segment(0x80000002, 2, 2, {0x02})))));
    ASSERT_EQ(Code(NthServerAck(2)), kWxMmsResponse);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_inbox"), 2);
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_newmsg WHERE ssn=2147483650"), 1);
    EXPECT_EQ(NextAtPeer(), kWxDataInd);
}

TEST_F(WxBridge, HostileSegmentsAreDroppedWithoutAnAnswer)
{
    const std::string good = Base64(Segment(1, 1, 1, {0x42}));
    Bytes zeroSender = Segment(2, 1, 1, {0x42});
    std::memset(&zeroSender[4], 0, 8);
    struct Case {
        const char *what;
        Bytes datagram;
    } cases[] = {
        {"19 bytes", [&] { Bytes d = ServerRequest(1, good); d.resize(19); return d; }()},
        {"length past the end", ServerRequest(2, good, int64_t(good.size()) + 1)},
        {"length that wraps", ServerRequest(3, good, 0xFFFFFFF0LL)},
        {"not Base64", ServerRequest(4, std::string(good.size(), '!'))},
        {"too long for the segment area", ServerRequest(5, Base64(Segment(3, 1, 1, Bytes(700, 1))))},
        {"only a head", ServerRequest(6, Base64(Segment(4, 1, 1, {})))},
        {"sender undecodable", ServerRequest(7, Base64(zeroSender))},
    };
    for (const Case &c : cases)
        ASSERT_TRUE(server.Inject(c.datagram)) << c.what;
    ASSERT_TRUE(server.Inject(ServerRequest(0x77, good)));
    Bytes ack = NthServerAck(1);
    ASSERT_EQ(ack.size(), 20u);
    EXPECT_EQ(ack[15], 0x77) << "an earlier datagram was acknowledged";
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_inbox"), 1);
    std::string log = env.LogText();
    for (const char *text : {"wxproxy: recv mms req msg, but invalid length and discard.",
                             "wxproxy: recv mms req msg, but failed to base64-decode and discard.",
                             "wxproxy: recv mms req msg, but failed to convert sender number and discard."})
        EXPECT_NE(log.find(text), std::string::npos) << text;
}

TEST_F(WxBridge, AcknowledgementsMarkAndThenDeleteTheOutboxMessage)
{
    db.exec("INSERT INTO wx_outbox(ID,msg_id,ack_flag) VALUES (1,7,0),(2,7,0),(3,8,0)");
    ASSERT_TRUE(server.Inject(ServerAck(1, 0)));
    ASSERT_TRUE(CountBecomes("SELECT COUNT(*) FROM wx_outbox WHERE ID=1 AND ack_flag=1", 1));
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_outbox"), 3);

    ASSERT_TRUE(server.Inject(ServerAck(3, 1))); // failure: only logged
    ASSERT_TRUE(server.Inject(ServerAck(2, 0)));
    ASSERT_TRUE(CountBecomes("SELECT COUNT(*) FROM wx_outbox WHERE msg_id=7", 0));
    EXPECT_EQ(db.count("SELECT COUNT(*) FROM wx_outbox WHERE ID=3 AND ack_flag=0"), 1);
    EXPECT_NE(env.LogText().find("wxproxy: recv mms failed resp (3)."), std::string::npos);
}

TEST_F(WxBridge, BeginChatAndResetIndications)
{
    Register(0x00000102);
    struct Case {
        const char *what;
        int kind;
        int group;
        const char *number;
        std::optional<Bytes> tail; // bytes 16..31, or nothing sent
    } cases[] = {
        {"group", 1, 0x1234, "", Bytes {0, 0, 0, 1, 0, 0, 0x12, 0x34, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"user", 0, 99, "13800", Bytes {0, 0, 0, 0, 0, 0, 0, 0, 0x31, 0x08, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"user number with a letter", 0, 0, "12a", std::nullopt},
    };
    for (const Case &c : cases) {
        NetWxProxyBeginChat(c.kind, c.group, c.number);
        auto got = peer.Receive(c.tail ? 3000ms : 300ms);
        if (!c.tail) {
            EXPECT_FALSE(got) << c.what;
            continue;
        }
        ASSERT_TRUE(got) << c.what;
        Bytes expected(16, 0);
        Put32(expected, 0, kOwnId);
        Put32(expected, 4, kWxBeginChatInd);
        expected[8] = 0x02;
        expected[9] = 0x01;
        Put32(expected, 12, 0xFFFFFFFF);
        expected.insert(expected.end(), c.tail->begin(), c.tail->end());
        EXPECT_EQ(*got, expected) << c.what;
    }

    // Stopping the network layer tells the registered peer.
    NetStop();
    auto reset = peer.Receive(3s);
    ASSERT_TRUE(reset);
    EXPECT_EQ(reset->size(), 16u);
    EXPECT_EQ(Code(*reset), kWxResetInd);
}
