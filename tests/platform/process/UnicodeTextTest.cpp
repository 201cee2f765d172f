#include "platform/UnicodeText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace norvane {
namespace {

TEST(UnicodeText, LossyDecodingReplacesOnlyBadBytes) {
    EXPECT_EQ(platform::UnicodeText::decodeLossy("plain"), "plain");
    EXPECT_EQ(platform::UnicodeText::decodeLossy("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(platform::UnicodeText::decodeLossy("a\xE9z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(platform::UnicodeText::decodeLossy("\xF0\x9F\xA4"), "\xEF\xBF\xBD");
    EXPECT_EQ(platform::UnicodeText::decodeLossy(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_TRUE(platform::UnicodeText::isValidUtf8("\xF0\x9F\xA4\x96"));
    EXPECT_FALSE(platform::UnicodeText::isValidUtf8("\xC0\xAF"));
}

TEST(UnicodeText, LongTextsAreCheckedToTheirLastByte) {
    const std::string ascii(21, 'a');
    EXPECT_EQ(platform::UnicodeText::decodeLossy(ascii + "\xC3\xA9" + ascii), ascii + "\xC3\xA9" + ascii);
    EXPECT_EQ(platform::UnicodeText::decodeLossy(ascii + "\xE9" + ascii + "\xE9"),
              ascii + "\xEF\xBF\xBD" + ascii + "\xEF\xBF\xBD");
    EXPECT_FALSE(platform::UnicodeText::isValidUtf8(ascii + ascii + "\xC3"));
    EXPECT_TRUE(platform::UnicodeText::isValidUtf8(ascii + "\xF0\x9F\xA4\x96" + ascii + "\xC3\xA9"));
}

TEST(UnicodeText, FullLowerCasing) {
    EXPECT_EQ(platform::UnicodeText::lowercased("Plain TEXT"), "plain text");
    EXPECT_EQ(platform::UnicodeText::lowercased("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9"); // ÉTÉ
    EXPECT_EQ(platform::UnicodeText::lowercased("\xE2\x84\xAA"), "k");                      // Kelvin sign
}

TEST(UnicodeText, CaseFoldingForComparison) {
    EXPECT_EQ(platform::UnicodeText::caseFolded("Stra\u00DFe"), "strasse"); // sharp s
    EXPECT_EQ(platform::UnicodeText::caseFolded("\u017F"), "s");            // long s
}

TEST(UnicodeText, PrefixCountsUserPerceivedCharacters) {
    EXPECT_EQ(platform::UnicodeText::prefixCharacters("short", 50), "short");
    EXPECT_EQ(platform::UnicodeText::prefixCharacters("abcdef", 3), "abc");
    // "e" + combining acute, then the robot face: two characters of five and four bytes.
    EXPECT_EQ(platform::UnicodeText::prefixCharacters("e\xCC\x81\xF0\x9F\xA4\x96xyz", 2), "e\xCC\x81\xF0\x9F\xA4\x96");
}

TEST(UnicodeText, DisplayWidthIsTheColumnsATerminalGives) {
    const std::vector<std::pair<std::string, std::size_t>> cases{
        {"plain", 5},
        {"\u9879\u76EE", 4},        // two Chinese characters, two columns each
        {"e\u0301clair", 6},        // a combining accent takes no column
        {"\u1100\u1161\u11A8", 2},  // a Hangul syllable from its three jamo
        {"\uFF21\uFF22", 4},        // full-width Latin letters
        {"\U0001F916 robot", 8},    // an emoji is wide
        {"caf\xE9", 4},             // a byte that is not UTF-8 is shown as one
        {"\u2764 \u2764\uFE0F", 4}, // a heart, and a heart drawn as an emoji
        {"", 0},
    };
    for (const auto& [text, width] : cases) {
        EXPECT_EQ(platform::UnicodeText::displayWidth(text), width) << text;
    }
}

TEST(UnicodeText, PrefixOfColumnsKeepsWholeCharactersThatFit) {
    using platform::UnicodeText::prefixColumns;
    EXPECT_EQ(prefixColumns("short", 79), "short");
    EXPECT_EQ(prefixColumns("\u9879\u76EE\u540D", 5), "\u9879\u76EE"); // a wide character is never cut in two
    EXPECT_EQ(prefixColumns("e\u0301e\u0301e\u0301", 2), "e\u0301e\u0301");
    EXPECT_EQ(prefixColumns("ab\u2764\uFE0F", 3), "ab");
    EXPECT_EQ(prefixColumns("\u9879", 1), "");
}

} // namespace
} // namespace norvane
