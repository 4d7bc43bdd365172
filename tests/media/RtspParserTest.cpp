// The RTSP reader on byte fixtures: every fixture is fed whole and split at every
// offset (and byte by byte), and must give the same items.
#include "medialib/RtspParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Item {
    std::string text; // "M <status|method> <headers> <content>" or "F <channel> <bytes>"
    bool operator==(const Item &) const = default;
};

std::string Describe(const RtspParsedMessage &m)
{
    std::string s = m.response ? "R " + std::to_string(m.status) + " " + m.reason : "Q " + m.method + " " + m.uri;
    for (const auto &h : m.headers)
        s += "|" + h.first + "=" + h.second;
    return s + "|body=" + m.content;
}

struct FeedResult {
    std::vector<Item> items;
    bool ok = true;
};

FeedResult Feed(const std::string &bytes, const std::vector<size_t> &cuts)
{
    FeedResult r;
    RtspParser p([&](RtspParsedMessage &&m) { r.items.push_back({Describe(m)}); },
                 [&](uint8_t ch, const uint8_t *d, size_t n) {
                     r.items.push_back({"F" + std::to_string(ch) + ":" + std::string(reinterpret_cast<const char *>(d), n)});
                 });
    size_t from = 0;
    for (size_t c : cuts) {
        r.ok = p.Feed(reinterpret_cast<const uint8_t *>(bytes.data()) + from, c - from) && r.ok;
        from = c;
    }
    r.ok = p.Feed(reinterpret_cast<const uint8_t *>(bytes.data()) + from, bytes.size() - from) && r.ok;
    return r;
}

std::string Frame(uint8_t ch, const std::string &payload)
{
    std::string f = "$";
    f += char(ch);
    f += char(payload.size() >> 8);
    f += char(payload.size() & 0xFF);
    return f + payload;
}

struct Fixture {
    const char *name;
    std::string bytes;
    std::vector<std::string> expected;
    bool valid;
};

std::vector<Fixture> Fixtures()
{
    std::string sdp = "v=0\r\no=- 1 1 IN IP4 127.0.0.1\r\ns=x\r\nm=video 0 RTP/AVP 96\r\n";
    std::string big(300, 'x');
    big[0] = '$'; // a '$' inside a payload is data, not a frame start
    return {
        {"response without body", "RTSP/1.0 200 OK\r\nCSeq: 2\r\nPublic:  OPTIONS, DESCRIBE \r\n\r\n",
         {"R 200 OK|CSeq=2|Public=OPTIONS, DESCRIBE|body="}, true},
        {"response with body and frames around it",
         Frame(0, "abc") + "RTSP/1.0 200 OK\r\nCSeq: 3\r\nContent-Type: application/sdp\r\nContent-Length: " +
             std::to_string(sdp.size()) + "\r\n\r\n" + sdp + Frame(1, big) + Frame(2, ""),
         {"F0:abc", "R 200 OK|CSeq=3|Content-Type=application/sdp|Content-Length=" + std::to_string(sdp.size()) +
                        "|body=" + sdp,
          "F1:" + big, "F2:"},
         true},
        {"bare LF line ends, folded header, request from the server",
         "RTSP/1.0 401 Unauthorized\nCSeq: 4\nWWW-Authenticate: Digest realm=\"r\",\n  nonce=\"n\"\n\n"
         "GET_PARAMETER rtsp://h/s RTSP/1.0\r\nCSeq: 9\r\n\r\n",
         {"R 401 Unauthorized|CSeq=4|WWW-Authenticate=Digest realm=\"r\", nonce=\"n\"|body=",
          "Q GET_PARAMETER rtsp://h/s|CSeq=9|body="},
         true},
        {"status without reason", "RTSP/1.0 454\r\nCSeq: 5\r\n\r\n", {"R 454 |CSeq=5|body="}, true},
        {"HTTP instead of RTSP", "HTTP/1.1 200 OK\r\n\r\n", {}, false},
        {"status code not three digits", "RTSP/1.0 20 OK\r\n\r\n", {}, false},
        {"header without colon", "RTSP/1.0 200 OK\r\nCSeq 2\r\n\r\n", {}, false},
        {"negative content length", "RTSP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nabc", {}, false},
        {"content longer than the limit",
         "RTSP/1.0 200 OK\r\nContent-Length: " + std::to_string(RtspParser::kMaxContent + 1) + "\r\n\r\n", {}, false},
        {"line longer than the limit", "RTSP/1.0 200 OK\r\nX: " + std::string(RtspParser::kMaxLine + 1, 'a'), {}, false},
        {"NUL inside a header", std::string("RTSP/1.0 200 OK\r\nX: a\0b\r\n\r\n", 27), {}, false},
        {"CR inside a challenge", "RTSP/1.0 401 Unauthorized\r\nCSeq: 1\r\n"
         "WWW-Authenticate: Digest realm=\"c\rInjected: 1\", nonce=\"n\"\r\n\r\n", {}, false},
        {"good message, then garbage", "RTSP/1.0 200 OK\r\nCSeq: 2\r\n\r\n\x01\x02 junk\r\n",
         {"R 200 OK|CSeq=2|body="}, false},
    };
}

class RtspParserFixtures : public ::testing::TestWithParam<Fixture> {};

TEST_P(RtspParserFixtures, SameItemsAtEverySplit)
{
    const Fixture &f = GetParam();
    FeedResult whole = Feed(f.bytes, {});
    std::vector<Item> expected;
    for (const auto &e : f.expected)
        expected.push_back({e});
    EXPECT_EQ(whole.ok, f.valid);
    EXPECT_EQ(whole.items, expected);
    for (size_t cut = 1; cut < f.bytes.size(); ++cut) {
        FeedResult r = Feed(f.bytes, {cut});
        ASSERT_EQ(r.items, expected) << "split at " << cut;
        ASSERT_EQ(r.ok, f.valid) << "split at " << cut;
    }
    if (f.bytes.size() < 4096) {
        std::vector<size_t> every;
        for (size_t i = 1; i < f.bytes.size(); ++i)
            every.push_back(i);
        FeedResult bytewise = Feed(f.bytes, every);
        EXPECT_EQ(bytewise.items, expected);
        EXPECT_EQ(bytewise.ok, f.valid);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RtspParserFixtures, ::testing::ValuesIn(Fixtures()),
                         [](const auto &info) {
                             std::string n = info.param.name;
                             for (char &c : n)
                                 if (!isalnum((unsigned char)c))
                                     c = '_';
                             return n;
                         });

TEST(RtspParser, StaysFailedAfterMalformedInput)
{
    int messages = 0;
    RtspParser p([&](RtspParsedMessage &&) { ++messages; }, nullptr);
    std::string bad = "XYZ\r\n";
    EXPECT_FALSE(p.Feed(reinterpret_cast<const uint8_t *>(bad.data()), bad.size()));
    std::string good = "RTSP/1.0 200 OK\r\n\r\n";
    EXPECT_FALSE(p.Feed(reinterpret_cast<const uint8_t *>(good.data()), good.size()));
    EXPECT_EQ(messages, 0);
    p.Reset();
    EXPECT_TRUE(p.Feed(reinterpret_cast<const uint8_t *>(good.data()), good.size()));
    EXPECT_EQ(messages, 1);
}

} // namespace
