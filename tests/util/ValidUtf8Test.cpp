// Names from the wire made valid UTF-8 before they are stored or shown.
#include "core/TextConv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kBad = "\xEF\xBF\xBD"; // U+FFFD

TEST(ValidUtf8, Table)
{
    const struct {
        const char *what;
        std::string in;
        std::string out;
    } cases[] = {
        {"empty", "", ""},
        {"ascii", "North 5001", "North 5001"},
        {"two, three and four bytes", "\xC3\xA9\xE5\x8C\x97\xF0\x9F\x93\x9E", "\xC3\xA9\xE5\x8C\x97\xF0\x9F\x93\x9E"},
        {"lowest and highest of each length", "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
         "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"},
        // A character cut at the end of the text is dropped, whatever its length.
        {"cut after 1 of 2", "ab\xC3", "ab"},
        {"cut after 1 of 3", "ab\xE5", "ab"},
        {"cut after 2 of 3", "ab\xE5\x8C", "ab"},
        {"cut after 3 of 4", "ab\xF0\x9F\x93", "ab"},
        {"only a cut character", "\xE5\x8C", ""},
        // The same bytes inside the text are invalid: one U+FFFD each time.
        {"cut 2 of 3 inside", "a\xE5\x8C" "b", "a" + kBad + "b"},
        {"cut 3 of 4 before another", "\xF0\x9F\x93\xC3\xA9", kBad + "\xC3\xA9"},
        {"lone continuation bytes", "a\x80\xBF" "b", "a" + kBad + kBad + "b"},
        {"bytes that never start a character", "\xC0\xC1\xF5\xFF", kBad + kBad + kBad + kBad},
        {"overlong two bytes", "\xC0\xAF", kBad + kBad},
        {"overlong three bytes", "\xE0\x80\xAF", kBad + kBad + kBad},
        {"surrogate", "\xED\xA0\x80", kBad + kBad + kBad},
        {"above U+10FFFF", "\xF4\x90\x80\x80", kBad + kBad + kBad + kBad},
        {"invalid and then cut", "\xFF\xE5\x8C", kBad},
        {"zero byte kept as text", std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ToValidUtf8(c.in), c.out);
        // Valid output stays as it is.
        EXPECT_EQ(ToValidUtf8(c.out), c.out);
    }
}

// A name that fills its 32-byte field and is cut inside its last character.
TEST(ValidUtf8, NameCutAtTheEndOfItsField)
{
    std::string name;
    for (int i = 0; i < 10; ++i)
        name += "\xE5\x8C\x97"; // 30 bytes
    const std::string field = name + "\xE5\x8C"; // 32 bytes: the 11th character cut
    EXPECT_EQ(ToValidUtf8(field), name);
}

} // namespace
