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

} // namespace
} // namespace norvane::counter
