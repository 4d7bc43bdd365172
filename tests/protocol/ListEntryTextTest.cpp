// What the list parsers make of names that are not clean UTF-8, and of membership
// bytes that repeat a group.
#include <gtest/gtest.h>

#include "core/protocol/RegistrationMessages.h"
#include "core/protocol/WireBytes.h"
#include "tests/protocol/WireFixture.h"

using namespace zox::proto;
using zoxtest::Fill;
using zoxtest::Hex;
using zoxtest::Text;
using zoxtest::operator+;

namespace {

const std::string kCity = "\xE5\x8C\x97\xE4\xBA\xAC"; // two 3-byte characters

// Name fields as they arrive, and the name taken from them.
struct NameCase {
    const char *what;
    std::string field; // up to 32 bytes; the rest of the field is zero
    std::string name;
};

const NameCase kNames[] = {
    {"clean", kCity + " 1", kCity + " 1"},
    // 10 whole characters and the first two bytes of an 11th: the field is full.
    {"cut at the end of the field", [] {
         std::string s;
         for (int i = 0; i < 10; ++i)
             s += "\xE4\xBA\xAC";
         return s + "\xE5\x8C";
     }(),
     [] {
         std::string s;
         for (int i = 0; i < 10; ++i)
             s += "\xE4\xBA\xAC";
         return s;
     }()},
    {"invalid bytes inside", "A\xFF" "B\xC3(", "A\xEF\xBF\xBD" "B\xEF\xBF\xBD("},
};

TEST(ListEntryText, GroupNamesAreValidUtf8)
{
    for (const NameCase &c : kNames) {
        SCOPED_TRACE(c.what);
        const Bytes b = Hex("00000000 50010010 00000001 00000001  00000000  00000000 00000001 00000001") +
                        Hex("00000005") + Text(c.field, 32) + Hex("0910FFFFFFFFFFFF") + Fill(15 * 44);
        GroupListResponse p;
        ASSERT_EQ(ParseGroupListResponse(b.data(), b.size(), p), kParseOk);
        ASSERT_EQ(p.entries.size(), 1u);
        EXPECT_EQ(p.entries[0].groupName, c.name);
    }
}

TEST(ListEntryText, UserNamesAreValidUtf8)
{
    for (const NameCase &c : kNames) {
        SCOPED_TRACE(c.what);
        const Bytes entry = Hex("0110FFFFFFFFFFFF 00000001 00000000 00000000 00000000"
                                "0000000000 00000000 000000  00000000 00000000") +
                            Text(c.field, 32) + Fill(64, 0xFF) + Hex("01 000000");
        const Bytes b = Hex("00000000 5001000C 00000001 00000001  00000000  00000000 00000001 00000001") + entry;
        UserListResponse p;
        ASSERT_EQ(ParseUserListResponse(b.data(), b.size(), p), kParseOk);
        ASSERT_EQ(p.entries.size(), 1u);
        EXPECT_EQ(p.entries[0].displayName, c.name);
    }
}

TEST(ListEntryText, MembershipBytesGiveEachGroupOnce)
{
    const struct {
        const char *what;
        std::vector<std::pair<int, uint8_t>> slots; // slot, group id; other slots empty
        std::vector<uint8_t> ids;
    } cases[] = {
        {"no group", {}, {}},
        {"group 0 and 7", {{0, 0}, {1, 7}}, {0, 7}},
        {"a group twice, apart", {{0, 3}, {1, 9}, {63, 3}}, {3, 9}},
        {"group 0 twice around empty slots", {{5, 0}, {40, 0}}, {0}},
        {"254 in every slot", [] {
             std::vector<std::pair<int, uint8_t>> all;
             for (int i = 0; i < 64; ++i)
                 all.push_back({i, 254});
             return all;
         }(),
         {254}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        UserListEntry e;
        for (auto [slot, id] : c.slots)
            e.groupSlots[std::size_t(slot)] = id;
        EXPECT_EQ(e.GroupIds(), c.ids);
    }
}

} // namespace
