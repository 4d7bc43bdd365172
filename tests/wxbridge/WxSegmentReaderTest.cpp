// The bridge's readers of server input: the Base64 decoder and the chat segment reader,
// with hostile lengths and a deterministic random-input loop (run under the sanitizers
// too, where any overrun stops the test).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platforms/NetWxProxy.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string Encode(const Bytes &data)
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

// A segment head with sender "13900" and creator "77".
Bytes Segment(std::size_t dataBytes)
{
    Bytes s(48 + dataBytes, 0x5A);
    std::memset(s.data(), 0, 48);
    s[1] = 1;
    const uint8_t sender[8] = {0x31, 0x09, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::memcpy(&s[4], sender, 8);
    const uint8_t creator[8] = {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    std::memcpy(&s[24], creator, 8);
    s[36] = 0x07;
    s[37] = 0xEA; // 2026
    s[38] = 3;
    s[39] = 7;
    s[40] = 9;
    s[41] = 5;
    s[42] = 4;
    return s;
}

Bytes Request(const std::string &text, int64_t lengthField = -1)
{
    Bytes d(20 + text.size(), 0);
    d[4] = 0x50;
    d[5] = 0x05;
    d[7] = 0x01;
    uint32_t l = lengthField < 0 ? uint32_t(text.size()) : uint32_t(lengthField);
    d[16] = uint8_t(l >> 24);
    d[17] = uint8_t(l >> 16);
    d[18] = uint8_t(l >> 8);
    d[19] = uint8_t(l);
    std::memcpy(d.data() + 20, text.data(), text.size());
    return d;
}

} // namespace

TEST(WxBase64, DecodesStandardTextAndRefusesTheRest)
{
    struct Case {
        const char *text;
        int result;        // bytes, or -1 / -2
        const char *bytes; // expected output for a success
        std::size_t capacity;
    } cases[] = {
        {"", 0, "", 8},
        {"TWFu", 3, "Man", 8},
        {"TWE=", 2, "Ma", 8},
        {"TQ==", 1, "M", 8},
        {"AKs=", 2, "\x00\xAB", 8},
        {"+/+/", 3, "\xFB\xFF\xBF", 8},
        {"TWF", -1, nullptr, 8},      // not a multiple of 4
        {"TW=u", -1, nullptr, 8},     // padding inside
        {"TQ==TWFu", -1, nullptr, 8}, // padding before the end
        {"T===", -1, nullptr, 8},     // three pads
        {"====", -1, nullptr, 8},
        {"TW-u", -1, nullptr, 8},     // URL alphabet is not standard
        {"TWF\n", -1, nullptr, 8},
        {"TWFuTWFu", -2, nullptr, 5}, // six bytes into five
        {"TWFuTWE=", 5, "ManMa", 5},  // exactly fits
    };
    for (const Case &c : cases) {
        uint8_t out[16];
        std::memset(out, 0xEE, sizeof out);
        int rc = Base64Decode(c.text, std::strlen(c.text), out, c.capacity);
        EXPECT_EQ(rc, c.result) << c.text;
        if (c.bytes && rc > 0) {
            EXPECT_EQ(std::memcmp(out, c.bytes, std::size_t(rc)), 0) << c.text;
        }
        for (std::size_t i = c.capacity; i < sizeof out; ++i)
            EXPECT_EQ(out[i], 0xEE) << c.text << ": written past the capacity at " << i;
    }
}

TEST(WxSegmentReader, SortsDatagramsByWhatIsWrongWithThem)
{
    Bytes zeroSender = Segment(4);
    std::memset(&zeroSender[4], 0, 8);
    Bytes badNibble = Segment(4);
    badNibble[4] = 0x3C;
    Bytes fillerSender = Segment(4);
    std::memset(&fillerSender[4], 0xFF, 8);
    Bytes good = Segment(10);
    std::string goodText = Encode(good);

    struct Case {
        const char *what;
        Bytes datagram;
        EN_WX_SEGMENT_READ result;
    } cases[] = {
        {"a good segment", Request(goodText), EN_WX_SEGMENT_READ::Ok},
        {"trailing bytes after the text", [&] { Bytes d = Request(goodText); d.push_back(0); return d; }(),
         EN_WX_SEGMENT_READ::Ok},
        {"16 bytes, no length field", Bytes(16, 0), EN_WX_SEGMENT_READ::BadLength},
        {"19 bytes", Bytes(19, 0), EN_WX_SEGMENT_READ::BadLength},
        {"length one past the datagram", Request(goodText, int64_t(goodText.size()) + 1), EN_WX_SEGMENT_READ::BadLength},
        {"length that wraps L + 20", Request(goodText, 0xFFFFFFFFLL), EN_WX_SEGMENT_READ::BadLength},
        {"length 0xFFFFFFEC", Request(goodText, 0xFFFFFFECLL), EN_WX_SEGMENT_READ::BadLength},
        {"length 0", Request(goodText, 0), EN_WX_SEGMENT_READ::BadBase64},
        {"not Base64", Request(std::string(68, '*')), EN_WX_SEGMENT_READ::BadBase64},
        {"a 48-byte head alone", Request(Encode(Segment(0))), EN_WX_SEGMENT_READ::BadBase64},
        {"701 bytes decoded", Request(Encode(Segment(653))), EN_WX_SEGMENT_READ::BadBase64},
        {"1000 bytes decoded", Request(Encode(Segment(952))), EN_WX_SEGMENT_READ::BadBase64},
        {"700 bytes decoded", Request(Encode(Segment(652))), EN_WX_SEGMENT_READ::Ok},
        {"an all-zero sender", Request(Encode(zeroSender)), EN_WX_SEGMENT_READ::BadSender},
        {"a sender nibble 0xC", Request(Encode(badNibble)), EN_WX_SEGMENT_READ::BadSender},
        {"a sender of filler nibbles only", Request(Encode(fillerSender)), EN_WX_SEGMENT_READ::BadSender},
    };
    for (const Case &c : cases) {
        uint8_t area[kWxSegmentArea];
        std::size_t decoded = 99;
        EXPECT_EQ(ReadChatSegment(c.datagram.data(), c.datagram.size(), area, decoded), c.result) << c.what;
        if (c.result != EN_WX_SEGMENT_READ::Ok) {
            EXPECT_EQ(decoded, 0u) << c.what;
        }
    }
}

TEST(WxSegmentReader, FillsTheInboxRecordFromTheHead)
{
    Bytes s = Segment(3);
    s[0] = 2;    // type
    s[1] = 3;    // segments
    s[2] = 2;    // sequence
    s[3] = 1;    // group chat
    s[12] = 0x80; // ssn 0x80000001: unsigned
    s[15] = 0x01;
    s[32] = 0xFF; // csn 0xFFFFFFFE
    s[33] = 0xFF;
    s[34] = 0xFF;
    s[35] = 0xFE;
    s[47] = 200; // msg_len
    ST_WX_INBOX_INFO info;
    ASSERT_EQ(FillInboxInfo(s.data(), s.size(), info), 0);
    EXPECT_EQ(info.msg_type, 2);
    EXPECT_EQ(info.seg_num, 3);
    EXPECT_EQ(info.pkg_seq, 2);
    EXPECT_EQ(info.group_chat, 1);
    EXPECT_EQ(info.ssn, 0x80000001u);
    EXPECT_EQ(info.csn, 0xFFFFFFFEu);
    EXPECT_EQ(info.msg_len, 200);
    EXPECT_EQ(info.pkg_size, 3);
    EXPECT_EQ(info.sender, "13900");
    EXPECT_EQ(info.creater, "77");
    EXPECT_EQ(info.msg_time, "2026-3-7 9:5:04");

    s[24] = 0; // creator all zero
    std::memset(&s[24], 0, 8);
    EXPECT_EQ(FillInboxInfo(s.data(), s.size(), info), -2);
}

// Random datagrams, and random changes to good ones, never read or write outside the
// datagram and the 700-byte area; whatever is accepted has a decodable sender and a
// length inside the area.
TEST(WxSegmentReader, RandomInputNeverOverrunsAndOnlyWellFormedPasses)
{
    std::mt19937 rng(20261211);
    std::uniform_int_distribution<int> byte(0, 255);
    const Bytes base = Request(Encode(Segment(100)));
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes d;
        switch (round % 4) {
        case 0: { // pure noise of any length up to 1500
            d.resize(std::size_t(rng() % 1501));
            for (auto &b : d)
                b = uint8_t(byte(rng));
            break;
        }
        case 1: { // a good datagram with a few bytes changed
            d = base;
            for (int k = 0; k < 1 + int(rng() % 4); ++k)
                d[rng() % d.size()] = uint8_t(byte(rng));
            break;
        }
        case 2: { // a good datagram cut short or padded
            d = base;
            d.resize(std::size_t(rng() % (base.size() + 40)), 'A');
            break;
        }
        default: { // Base64 alphabet noise with a length field near the datagram's
            std::size_t n = 20 + rng() % 1200;
            d.assign(n, 'A');
            static const char *abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
            for (std::size_t i = 20; i < n; ++i)
                d[i] = uint8_t(abc[rng() % 65]);
            uint32_t l = uint32_t(n - 20) + uint32_t(int(rng() % 9) - 4);
            d[16] = uint8_t(l >> 24);
            d[17] = uint8_t(l >> 16);
            d[18] = uint8_t(l >> 8);
            d[19] = uint8_t(l);
            break;
        }
        }
        // Exactly sized copy: reading one byte past it is an error under the sanitizers.
        std::vector<uint8_t> exact(d);
        uint8_t area[kWxSegmentArea];
        std::size_t decoded = 0;
        EN_WX_SEGMENT_READ r = ReadChatSegment(exact.data(), exact.size(), area, decoded);
        if (r != EN_WX_SEGMENT_READ::Ok)
            continue;
        ++accepted;
        ASSERT_GT(decoded, kWxSegmentHead);
        ASSERT_LE(decoded, kWxSegmentArea);
        ST_WX_INBOX_INFO info;
        int rc = FillInboxInfo(area, decoded, info);
        ASSERT_TRUE(rc == 0 || rc == -2);
        ASSERT_FALSE(info.sender.empty());
        ASSERT_EQ(info.pkg_size, int(decoded - kWxSegmentHead));
    }
    // The loop reached the accepting path too, not only the early refusals.
    EXPECT_GT(accepted, 100);
}
