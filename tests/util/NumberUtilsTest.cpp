// TBCD numbers, the media address record, display names, the talk-burst speaker
// name, group keys, shortening and replacing.
#include "core/NumberUtils.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

namespace {
Bytes ff(std::initializer_list<uint8_t> head, std::size_t total = 8)
{
    Bytes b(head);
    b.resize(total, 0xFF);
    return b;
}
} // namespace

TEST(Tbcd, Decode)
{
    struct Case {
        Bytes field;
        int result;
        const char *text;
    };
    const Case cases[] = {
        {ff({0x05, 0x00}), 0, "5000"},
        {Bytes(8, 0x00), -1, ""},
        {ff({0x00, 0x21}), 0, "0012"},       // a leading zero byte is not skipped
        {ff({0xA1}), -1, "1"},               // low nibble first, then the invalid one
        {ff({0x21, 0xF3}), 0, "123"},
        {Bytes(8, 0xFF), 0, ""},
        {ff({0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x65}), 0, "1234567890123456"},
        {ff({0x21, 0xE3}), -1, "123"},
        {ff({0x00}, 2), 0, "00"},            // zeros then F: not all zero
        {Bytes{}, -1, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        std::string out = "stale";
        EXPECT_EQ(DecodeBcdDigits(c.field.data(), c.field.size(), out), c.result);
        EXPECT_EQ(out, c.text);
    }
}

TEST(Tbcd, Encode)
{
    struct Case {
        std::string number;
        int result;
        Bytes field;
    };
    const Case cases[] = {
        {"5000", 0, ff({0x05, 0x00})},
        {"123", 0, ff({0x21, 0xF3})},
        {"", 0, Bytes(8, 0xFF)},
        {"12a4", -1, ff({0x21})},
        {"12345678901234567", 0, ff({0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x65})}, // 17th dropped
        {"1234567890123456x", 0, ff({0x21, 0x43, 0x65, 0x87, 0x09, 0x21, 0x43, 0x65})}, // past the field: ignored
        {"+86", -1, Bytes(8, 0xFF)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.number);
        Bytes field(8, 0x5A);
        EXPECT_EQ(EncodeBcdDigits(c.number, field.data(), field.size()), c.result);
        EXPECT_EQ(field, c.field);
    }
}

TEST(Tbcd, RoundTrip)
{
    for (const char *n : {"5000", "123", "0", "00012", "9876543210", "1234567890123456", ""}) {
        SCOPED_TRACE(n);
        uint8_t field[8];
        ASSERT_EQ(EncodeBcdDigits(n, field, sizeof field), 0);
        std::string back;
        EXPECT_EQ(DecodeBcdDigits(field, sizeof field, back), 0);
        EXPECT_EQ(back, n);
    }
}

TEST(AddressRecord, MakeAndParse)
{
    in_addr a {};
    ASSERT_EQ(inet_pton(AF_INET, "10.0.0.1", &a), 1);
    MediaAddressRecord r;
    std::memset(&r, 0xEE, sizeof r);
    EXPECT_EQ(MakeAddressRecord(a, r), 0);
    const uint8_t expect[20] = {0x00, 0x01, 0x18, 0x00, 0x0A, 0x00, 0x00, 0x01};
    EXPECT_EQ(std::memcmp(r.bytes, expect, 20), 0);

    in_addr back {};
    EXPECT_EQ(ParseAddressRecord(r, back), 0);
    EXPECT_EQ(back.s_addr, a.s_addr);

    struct Case {
        uint8_t b0, b1;
        int result;
    };
    for (const Case c : {Case{0x00, 0x01, 0}, Case{0x00, 0x7F, 0}, Case{0x01, 0x01, -1}, Case{0x00, 0x00, -1}}) {
        MediaAddressRecord x = r;
        x.bytes[0] = c.b0;
        x.bytes[1] = c.b1;
        in_addr out {};
        out.s_addr = 0x12345678;
        EXPECT_EQ(ParseAddressRecord(x, out), c.result);
        EXPECT_EQ(out.s_addr, c.result == 0 ? a.s_addr : 0x12345678u);
    }
}

TEST(Hex, BytesToHex)
{
    const uint8_t b[] = {0x00, 0x0F, 0xA5, 0xFF};
    EXPECT_EQ(BytesToHex(b, 4), "000FA5FF");
    EXPECT_EQ(BytesToHex(b, 0), "");
}

TEST(DisplayName, Make)
{
    EXPECT_EQ(MakeDisplayName("5001", "North"), "North (5001)");
    EXPECT_EQ(MakeDisplayName("5001", ""), "5001");
    EXPECT_EQ(MakeDisplayName("5001", "5001"), "5001");
    EXPECT_EQ(MakeDisplayName("", "North"), "North ()");
}

TEST(DisplayName, Split)
{
    struct Case {
        const char *text, *number, *name;
    };
    const Case cases[] = {
        {"North (5001)", "5001", "North"},
        {"A (B) (7)", "7", "A (B)"},
        {" (7)", "7", ""},
        {"5001", "5001", ""},
        {"(5001)", "", ""},
        {"x ()", "", ""},
        {"", "", ""},
        {")", "", ""},
        {" ()", "", ""},
        {"\xE5\x8C\x97\xE4\xBA\xAC (8001)", "8001", "\xE5\x8C\x97\xE4\xBA\xAC"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        std::string number = "stale", name = "stale";
        EXPECT_EQ(SplitDisplayName(c.text, number, name), 0);
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(name, c.name);
    }
}

TEST(DisplayName, RoundTrip)
{
    const struct {
        const char *number, *name;
    } cases[] = {{"5001", "North"}, {"5001", ""}, {"5001", "5001"}, {"7", "A (B)"}, {"8001", "\xE5\x8C\x97"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string number, name;
        SplitDisplayName(MakeDisplayName(c.number, c.name), number, name);
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(name, std::string(c.name) == c.number ? "" : c.name);
    }
}

// Byte 5 = L1, byte L1 + 7 = L2, the name from L1 + 8.
TEST(TalkBurst, TakenName)
{
    Bytes body(17, 0);
    body[5] = 4;
    body[11] = 5;
    std::memcpy(&body[12], "Alice", 5);

    std::string out = "> ";
    EXPECT_TRUE(GetTalkBurstTakenName(body.data(), body.size(), out));
    EXPECT_EQ(out, "> Alice"); // appended, not replaced

    for (std::size_t shorter : {std::size_t(16), std::size_t(11), std::size_t(6), std::size_t(5), std::size_t(0)}) {
        SCOPED_TRACE(shorter);
        std::string none = "x";
        EXPECT_FALSE(GetTalkBurstTakenName(body.data(), shorter, none));
        EXPECT_EQ(none, "x");
    }
    std::string none;
    EXPECT_FALSE(GetTalkBurstTakenName(nullptr, 17, none));

    Bytes empty(12, 0);
    empty[5] = 4;
    empty[11] = 0;
    std::string e = "e";
    EXPECT_TRUE(GetTalkBurstTakenName(empty.data(), empty.size(), e));
    EXPECT_EQ(e, "e");

    // Largest lengths: L1 = 255 and L2 = 255 need 518 bytes; 517 is refused.
    Bytes big(518, 'n');
    big[5] = 255;
    big[262] = 255;
    std::string n;
    EXPECT_FALSE(GetTalkBurstTakenName(big.data(), 517, n));
    EXPECT_TRUE(GetTalkBurstTakenName(big.data(), 518, n));
    EXPECT_EQ(n, std::string(255, 'n'));
}

TEST(HexKey, UserIdToHexKey)
{
    const struct {
        int32_t id;
        const char *key;
    } cases[] = {{12, "31320000"}, {1234, "31323334"}, {12345, "3132333435"}, {-5, "2D350000"},
                 {0, "30000000"}, {INT32_MIN, "2D32313437343833363438"}};
    for (const auto &c : cases)
        EXPECT_EQ(UserIdToHexKey(c.id), c.key) << c.id;
}

TEST(Ellipsize, Ascii)
{
    EXPECT_EQ(EllipsizeText("abcdefghijklm", 12), "abcdefghij...");
    EXPECT_EQ(EllipsizeText("abcdefghijkl", 12), "abcdefghijkl");
    EXPECT_EQ(EllipsizeText("", 12), "");
    EXPECT_EQ(EllipsizeText("abc", 2), "...");
}

// Characters, not bytes: a CJK name is never cut inside a character.
TEST(Ellipsize, CountsCharactersNotBytes)
{
    // 13 CJK characters, 3 bytes each.
    std::string cjk13;
    const char *chars[] = {"\xE4\xB8\x80", "\xE4\xBA\x8C", "\xE4\xB8\x89"};
    for (int i = 0; i < 13; ++i)
        cjk13 += chars[i % 3];
    const std::string cjk12 = cjk13.substr(0, 36);
    EXPECT_EQ(EllipsizeText(cjk12, 12), cjk12);
    EXPECT_EQ(EllipsizeText(cjk13, 12), cjk13.substr(0, 30) + "...");

    // Mixed widths: 1, 2, 3 and 4 byte characters.
    const std::string mixed = "a\xC3\xA9\xE4\xB8\x80\xF0\x9F\x93\x9E" "bcdefghij"; // 13 characters
    EXPECT_EQ(EllipsizeText(mixed, 12), "a\xC3\xA9\xE4\xB8\x80\xF0\x9F\x93\x9E" "bcdefg...");
    EXPECT_EQ(EllipsizeText(mixed, 13), mixed);

    // Broken sequences count a byte at a time and never read past the end.
    const std::string broken = std::string("\xE4\xB8") + "abcdefghijkl";
    EXPECT_EQ(EllipsizeText(broken, 12), std::string("\xE4\xB8") + "abcdefgh...");
    EXPECT_EQ(EllipsizeText("\xF0\x9F", 1), "...");
}

TEST(Replace, ReplaceAll)
{
    EXPECT_EQ(ReplaceAll("010-1234-5678", "-", ""), "01012345678");
    EXPECT_EQ(ReplaceAll("aab", "ab", "b"), "b"); // the search restarts from the beginning
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("a-b", "-", "--"), "a--b"); // a replacement holding the pattern ends
}

TEST(Time, SecondsSince)
{
    const time_t now = GetTimeNow();
    EXPECT_GE(SecondsSince(now), 0.0);
    EXPECT_LE(SecondsSince(now), 5.0);
    EXPECT_NEAR(SecondsSince(now - 100), 100.0, 5.0);
}
