#include "counter/IgnorePattern.h"

#include <gtest/gtest.h>

namespace norvane::counter {
namespace {

bool ignores(std::string_view line, std::string_view path, bool isFolder = false) {
    const auto pattern = IgnorePattern::parse(line);
    return pattern && pattern->matches(path, isFolder);
}

TEST(IgnorePattern, BlankLinesAndCommentsNameNothing) {
    EXPECT_FALSE(IgnorePattern::parse(""));
    EXPECT_FALSE(IgnorePattern::parse("# comment"));
    EXPECT_FALSE(IgnorePattern::parse("   "));
    EXPECT_FALSE(IgnorePattern::parse("/"));
    EXPECT_TRUE(ignores("\\#file", "#file"));
}

TEST(IgnorePattern, NamesWithoutSlashMatchAtAnyDepth) {
    EXPECT_TRUE(ignores("*.log", "debug.log"));
    EXPECT_TRUE(ignores("*.log", "a/b/debug.log"));
    EXPECT_FALSE(ignores("*.log", "debug.logs"));
    EXPECT_TRUE(ignores("node_modules", "web/node_modules", true));
    EXPECT_TRUE(ignores("file?.c", "file1.c"));
    EXPECT_FALSE(ignores("file?.c", "file10.c"));
    EXPECT_TRUE(ignores("[ab]*.c", "beta.c"));
    EXPECT_FALSE(ignores("[!ab]*.c", "beta.c"));
    EXPECT_TRUE(ignores("[a-c]x", "bx"));
    EXPECT_TRUE(ignores("trailing.c   ", "trailing.c"));
    EXPECT_TRUE(ignores("crlf.c\r", "crlf.c"));
}

TEST(IgnorePattern, FolderRulesSkipFiles) {
    EXPECT_TRUE(ignores("build/", "build", true));
    EXPECT_TRUE(ignores("build/", "src/build", true));
    EXPECT_FALSE(ignores("build/", "build", false));
}

TEST(IgnorePattern, SlashesAnchorToTheIgnoreFilesFolder) {
    EXPECT_TRUE(ignores("/top.c", "top.c"));
    EXPECT_FALSE(ignores("/top.c", "src/top.c"));
    EXPECT_TRUE(ignores("doc/*.txt", "doc/a.txt"));
    EXPECT_FALSE(ignores("doc/*.txt", "doc/x/a.txt"));
    EXPECT_FALSE(ignores("doc/*.txt", "src/doc/a.txt"));
}

TEST(IgnorePattern, DoubleStarsSpanFolders) {
    EXPECT_TRUE(ignores("**/gen", "gen", true));
    EXPECT_TRUE(ignores("**/gen", "a/b/gen", true));
    EXPECT_TRUE(ignores("out/**", "out/a/b.c"));
    EXPECT_FALSE(ignores("out/**", "out", true));
    EXPECT_TRUE(ignores("a/**/b.c", "a/b.c"));
    EXPECT_TRUE(ignores("a/**/b.c", "a/x/y/b.c"));
    EXPECT_FALSE(ignores("a/**/b.c", "x/a/b.c"));
}

TEST(IgnorePattern, NegationIsReported) {
    const auto pattern = IgnorePattern::parse("!keep.txt");
    ASSERT_TRUE(pattern);
    EXPECT_TRUE(pattern->negated());
    EXPECT_TRUE(pattern->matches("keep.txt", false));
    EXPECT_FALSE(IgnorePattern::parse("\\!bang.txt")->negated());
    EXPECT_TRUE(ignores("\\!bang.txt", "!bang.txt"));
}

} // namespace
} // namespace norvane::counter
