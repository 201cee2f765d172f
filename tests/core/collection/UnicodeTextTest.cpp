#include "core/collection/UnicodeText.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

TEST(UnicodeText, LossyDecodingReplacesOnlyBadBytes) {
    EXPECT_EQ(UnicodeText::decodeLossy("plain"), "plain");
    EXPECT_EQ(UnicodeText::decodeLossy("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(UnicodeText::decodeLossy("a\xE9z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(UnicodeText::decodeLossy("\xF0\x9F\xA4"), "\xEF\xBF\xBD");
    EXPECT_EQ(UnicodeText::decodeLossy(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_TRUE(UnicodeText::isValidUtf8("\xF0\x9F\xA4\x96"));
    EXPECT_FALSE(UnicodeText::isValidUtf8("\xC0\xAF"));
}

TEST(UnicodeText, FullLowerCasing) {
    EXPECT_EQ(UnicodeText::lowercased("Plain TEXT"), "plain text");
    EXPECT_EQ(UnicodeText::lowercased("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9"); // ÉTÉ
    EXPECT_EQ(UnicodeText::lowercased("\xE2\x84\xAA"), "k");                        // Kelvin sign
}

TEST(UnicodeText, PrefixCountsUserPerceivedCharacters) {
    EXPECT_EQ(UnicodeText::prefixCharacters("short", 50), "short");
    EXPECT_EQ(UnicodeText::prefixCharacters("abcdef", 3), "abc");
    // "e" + combining acute, then the robot face: two characters of five and four bytes.
    EXPECT_EQ(UnicodeText::prefixCharacters("e\xCC\x81\xF0\x9F\xA4\x96xyz", 2), "e\xCC\x81\xF0\x9F\xA4\x96");
}

} // namespace
} // namespace norvane
