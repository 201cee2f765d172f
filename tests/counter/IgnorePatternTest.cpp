#include "counter/IgnorePattern.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace norvane::counter {
namespace {

using Paths = std::vector<std::string>;

TEST(IgnorePattern, BlankLinesAndCommentsNameNothing) {
    for (const auto* line : {"", "# comment", "   ", "/"}) EXPECT_FALSE(IgnorePattern::parse(line)) << line;
}

TEST(IgnorePattern, NamesWhatGitWouldIgnore) {
    // Each line with paths it names and paths it does not; a path ending in "/" is a folder. Without
    // a slash a line matches at any depth, a final slash names folders only, any other slash anchors
    // the line to its ignore file's folder, and double stars span folders.
    const std::tuple<const char*, Paths, Paths> cases[] = {
        {"*.log", {"a/b/debug.log"}, {"debug.logs"}},
        {"node_modules", {"web/node_modules/"}, {}},
        {"file?.c", {"file1.c"}, {"file10.c"}},
        {"[ab]*.c", {"beta.c"}, {"gamma.c"}},
        {"[!ab]*.c", {"gamma.c"}, {"beta.c"}},
        {"[a-c]x", {"bx"}, {"dx"}},
        {"trailing.c   ", {"trailing.c"}, {}},
        {"crlf.c\r", {"crlf.c"}, {}},
        {"\\#file", {"#file"}, {}},
        {"build/", {"src/build/"}, {"build"}},
        {"/top.c", {"top.c"}, {"src/top.c"}},
        {"doc/*.txt", {"doc/a.txt"}, {"doc/x/a.txt", "src/doc/a.txt"}},
        {"**/gen", {"gen/", "a/b/gen/"}, {}},
        {"out/**", {"out/a/b.c"}, {"out/"}},
        {"a/**/b.c", {"a/b.c", "a/x/y/b.c"}, {"x/a/b.c"}},
        {"a/**/b/**/c", {"a/b/c", "a/x/b/y/b/z/c", "a/b/b/c"}, {"a/b/c/d", "a/c", "a/bb/c"}},
        {"**/x/*.c", {"x/a.c", "p/x/q/x/a.c"}, {"x/q/a.c", "p/x/a.h"}},
        {"*a*b", {"xaab", "ab"}, {"xa/b", "aba"}},
        {"a*/b*", {"ax/by"}, {"a/x/b"}},
        // A negated line names what it would ignore; the caller undoes the ignoring.
        {"!keep.txt", {"keep.txt"}, {}},
        {"\\!bang.txt", {"!bang.txt"}, {"bang.txt"}},
    };
    for (const auto& [line, named, notNamed] : cases) {
        const auto pattern = IgnorePattern::parse(line);
        ASSERT_TRUE(pattern) << line;
        const auto names = [&pattern](std::string path) {
            const bool isFolder = path.ends_with('/');
            if (isFolder) path.pop_back();
            return pattern->matches(path, isFolder);
        };
        for (const auto& path : named) EXPECT_TRUE(names(path)) << line << " " << path;
        for (const auto& path : notNamed) EXPECT_FALSE(names(path)) << line << " " << path;
    }
    EXPECT_TRUE(IgnorePattern::parse("!keep.txt")->negated());
    EXPECT_FALSE(IgnorePattern::parse("\\!bang.txt")->negated());
}

// Backtracking over every "*" or "**/" takes exponential time on lines like these; the answers
// must come all the same.
TEST(IgnorePattern, HostilePatternsAnswerAtOnce) {
    const std::string as(200, 'a');
    const auto stars = IgnorePattern::parse("*a*a*a*a*a*a*b");
    EXPECT_FALSE(stars->matches(as, false));
    EXPECT_TRUE(stars->matches(as + "b", false));
    EXPECT_FALSE(stars->matches(as + "/b", false));

    std::string deep;
    for (int level = 0; level < 40; ++level) deep += "d/";
    const auto folders = IgnorePattern::parse("**/**/**/**/**/**/**/x");
    EXPECT_FALSE(folders->matches(deep + "y", false));
    EXPECT_TRUE(folders->matches(deep + "x", false));
    const auto mixed = IgnorePattern::parse("**/d*d*d*d*e/**/x");
    EXPECT_FALSE(mixed->matches(deep + std::string(200, 'd') + "/x", false));
    EXPECT_TRUE(mixed->matches(deep + "dddde/" + deep + "x", false));
}

} // namespace
} // namespace norvane::counter
