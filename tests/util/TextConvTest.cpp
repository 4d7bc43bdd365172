// Conversions between UTF-8, UTF-16 and the system code page (UTF-8 here).
#include "core/TextConv.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextConv, NoInputGivesNone)
{
    EXPECT_EQ(WideToAnsiDup(nullptr), nullptr);
    EXPECT_EQ(Utf8ToWideDup(nullptr), nullptr);
    EXPECT_EQ(Utf8ToAnsiString(static_cast<const char *>(nullptr)), "");
}

TEST(TextConv, RoundTrips)
{
    const struct {
        const char *utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"North 5001", u"North 5001"},
        {"\xE5\x8C\x97\xE4\xBA\xAC\xE8\xB0\x83\xE5\xBA\xA6", u"\u5317\u4EAC\u8C03\u5EA6"},
        {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
        {"\xF0\x9F\x93\x9E", u"\U0001F4DE"}, // a surrogate pair
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.utf8);
        char16_t *wide = Utf8ToWideDup(c.utf8);
        ASSERT_NE(wide, nullptr);
        EXPECT_EQ(std::u16string(wide), c.utf16);
        // zero-filled beyond the text
        EXPECT_EQ(wide[c.utf16.size()], 0);
        EXPECT_EQ(wide[c.utf16.size() + 1], 0);
        char *ansi = WideToAnsiDup(wide);
        ASSERT_NE(ansi, nullptr);
        EXPECT_EQ(std::string(ansi), c.utf8);
        delete[] ansi;
        delete[] wide;
        EXPECT_EQ(Utf8ToAnsiString(std::string(c.utf8)), c.utf8);
    }
}

// Invalid UTF-8 becomes the replacement character, never an overrun.
TEST(TextConv, InvalidUtf8IsReplaced)
{
    const std::string bad = "a\xFF\xC3";
    const std::string out = Utf8ToAnsiString(bad);
    EXPECT_EQ(out.substr(0, 1), "a");
    EXPECT_NE(out.find("\xEF\xBF\xBD"), std::string::npos);
    const char16_t lone[] = {u'x', char16_t(0xD800), u'y', 0};
    char *ansi = WideToAnsiDup(lone);
    ASSERT_NE(ansi, nullptr);
    EXPECT_EQ(ansi[0], 'x');
    delete[] ansi;
}
