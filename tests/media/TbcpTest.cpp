#include "core/NumberUtils.h"
#include "medialib/Tbcp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Bytes = std::vector<uint8_t>;

Bytes app(uint8_t subtype, const char *name, Bytes body, bool pad = false)
{
    while (body.size() % 4)
        body.push_back(0);
    Bytes p(12, 0);
    const uint8_t head[8] = {uint8_t(0x80 | subtype), 204, 0, 0, 0x11, 0x22, 0x33, 0x44};
    std::copy(head, head + 8, p.begin());
    std::copy(name, name + 4, p.begin() + 8);
    p.insert(p.end(), body.begin(), body.end());
    if (pad) {
        p.insert(p.end(), {0, 0, 0, 4});
        p[0] |= 0x20;
    }
    size_t words = p.size() / 4 - 1;
    p[2] = uint8_t(words >> 8);
    p[3] = uint8_t(words);
    return p;
}

Bytes receiverReport() { return {0x80, 201, 0, 1, 0xAA, 0xBB, 0xCC, 0xDD}; }

// A Taken body as a floor server sends it: 4 bytes, then the speaker's identity
// and display name as SDES-like items (type, length, value).
Bytes takenBody(const std::string &uri, const std::string &name)
{
    Bytes b = {0, 0, 0, 0, 1, uint8_t(uri.size())};
    b.insert(b.end(), uri.begin(), uri.end());
    b.push_back(2);
    b.push_back(uint8_t(name.size()));
    b.insert(b.end(), name.begin(), name.end());
    return b;
}

struct Delivered {
    std::vector<uint8_t> subtypes;
    std::vector<Bytes> bodies;
};

bool parse(const Bytes &d, Delivered *out, TbcpScan *scan)
{
    return ParseTbcpDatagram(d.data(), d.size(), scan, [&](const TbcpMessage &m) {
        out->subtypes.push_back(m.subtype);
        out->bodies.emplace_back(m.body, m.body + m.bodySize);
        EXPECT_EQ(m.ssrc, 0x11223344u);
    });
}
} // namespace

TEST(Tbcp, EverySubtypeAlone)
{
    for (uint8_t st : {0, 1, 2, 3, 4, 5, 6, 7, 18}) {
        Delivered d;
        TbcpScan scan;
        ASSERT_TRUE(parse(app(st, "PoC1", {}), &d, &scan)) << int(st);
        ASSERT_EQ(d.subtypes.size(), 1u);
        EXPECT_EQ(d.subtypes[0], st);
        EXPECT_TRUE(d.bodies[0].empty());
        EXPECT_EQ(scan.tbcpCount, 1);
        EXPECT_EQ(scan.otherCount, 0);
    }
}

TEST(Tbcp, FixtureTable)
{
    Bytes taken = app(2, "PoC1", takenBody("sip:1001@zox", "Alice"));
    Bytes compound = receiverReport();
    Bytes granted = app(1, "PoC1", {});
    compound.insert(compound.end(), granted.begin(), granted.end());
    Bytes other = app(1, "ABCD", {1, 2, 3, 4});
    Bytes otherThenTbcp = other;
    Bytes release = app(4, "PoC1", {});
    otherThenTbcp.insert(otherThenTbcp.end(), release.begin(), release.end());
    Bytes pastEnd = app(1, "PoC1", {9, 9, 9, 9});
    pastEnd[3] += 1; // one word more than the datagram holds
    Bytes compoundPastEnd = receiverReport();
    compoundPastEnd.insert(compoundPastEnd.end(), pastEnd.begin(), pastEnd.end());
    Bytes badVersion = app(1, "PoC1", {});
    badVersion[0] = 0x41;
    Bytes padded = app(5, "PoC1", {7, 7, 7, 7}, true);
    Bytes badPadding = padded;
    badPadding.at(badPadding.size() - 1) = 200;
    Bytes zeroPadding = padded;
    zeroPadding.at(zeroPadding.size() - 1) = 0;
    Bytes padOneTooMany = padded; // 16 bytes after the header, the count says 17
    padOneTooMany.at(padOneTooMany.size() - 1) = 17;
    Bytes takenNoName = app(2, "PoC1", {0, 0, 0, 0});

    struct Case {
        const char *what;
        Bytes data;
        bool ok;
        std::vector<uint8_t> subtypes;
        int others;
    };
    const Case cases[] = {
        {"taken with name", taken, true, {2}, 0},
        {"compound report + granted", compound, true, {1}, 1},
        {"other APP name only", other, true, {}, 1},
        {"other APP name then release", otherThenTbcp, true, {4}, 1},
        {"length past the buffer", pastEnd, false, {}, 0},
        {"compound, second length past the buffer", compoundPastEnd, false, {}, 0},
        {"wrong version", badVersion, false, {}, 0},
        {"padding", padded, true, {5}, 0},
        {"padding larger than the packet", badPadding, false, {}, 0},
        {"padding count 0", zeroPadding, false, {}, 0},
        {"padding one byte more than the packet holds", padOneTooMany, false, {}, 0},
        {"three bytes", Bytes{0x80, 204, 0}, false, {}, 0},
        {"empty", Bytes{}, false, {}, 0},
        {"taken without name", takenNoName, true, {2}, 0},
    };
    for (const Case &c : cases) {
        Delivered d;
        TbcpScan scan;
        EXPECT_EQ(parse(c.data, &d, &scan), c.ok) << c.what;
        EXPECT_EQ(d.subtypes, c.subtypes) << c.what;
        if (c.ok) {
            EXPECT_EQ(scan.otherCount, c.others) << c.what;
        }
    }
}

TEST(Tbcp, BodyStartsAfterTheNameSoTheSpeakerRuleHolds)
{
    Delivered d;
    ASSERT_TRUE(parse(app(2, "PoC1", takenBody("sip:1001@zox", "Alice")), &d, nullptr));
    std::string name;
    ASSERT_TRUE(GetTalkBurstTakenName(d.bodies[0].data(), d.bodies[0].size(), name));
    EXPECT_EQ(name, "Alice");

    Delivered none;
    ASSERT_TRUE(parse(app(2, "PoC1", {0, 0, 0, 0}), &none, nullptr));
    std::string empty;
    EXPECT_FALSE(GetTalkBurstTakenName(none.bodies[0].data(), none.bodies[0].size(), empty));
    EXPECT_TRUE(empty.empty());
}

TEST(Tbcp, BuildRoundTripAndLimits)
{
    uint8_t buf[64];
    const uint8_t body[5] = {1, 2, 3, 4, 5};
    size_t n = BuildTbcpPacket(kTbcpTaken, 0x11223344, body, sizeof body, buf, sizeof buf);
    ASSERT_EQ(n, 12u + 8u);
    Delivered d;
    ASSERT_TRUE(parse(Bytes(buf, buf + n), &d, nullptr));
    ASSERT_EQ(d.subtypes, std::vector<uint8_t>{kTbcpTaken});
    EXPECT_EQ(d.bodies[0], (Bytes{1, 2, 3, 4, 5, 0, 0, 0}));
    EXPECT_EQ(BuildTbcpPacket(32, 1, nullptr, 0, buf, sizeof buf), 0u);
    EXPECT_EQ(BuildTbcpPacket(1, 1, body, sizeof body, buf, 16), 0u);
    EXPECT_EQ(BuildTbcpPacket(kTbcpRequest, 1, nullptr, 0, buf, 12), 12u);
}
