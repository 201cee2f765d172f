#include "counter/IgnorePattern.h"
#include "counter/IgnoreRules.h"
#include "platform/ProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace norvane::counter {
namespace {

using norvane::testing::TemporaryFolder;
namespace fs = std::filesystem;

/// An ignore line, a path below its file's folder (ending in "/" for a folder) and whether git
/// says that the line names it.
struct GitAnswer {
    std::string line;
    std::string path;
    bool named;
};

std::vector<GitAnswer> gitAnswers() {
    const std::string longName(255, 'a');
    return {
        // Without a slash a line matches at any depth, a final slash names folders only, any
        // other slash anchors the line to its ignore file's folder, and double stars span folders.
        {"*.log", "a/b/debug.log", true},
        {"*.log", "debug.logs", false},
        {"node_modules", "web/node_modules/", true},
        {"file?.c", "file1.c", true},
        {"file?.c", "file10.c", false},
        {"[ab]*.c", "beta.c", true},
        {"[ab]*.c", "gamma.c", false},
        {"[!ab]*.c", "gamma.c", true},
        {"[^ab]*.c", "beta.c", false},
        {"[a-c]x", "bx", true},
        {"[a-c]x", "dx", false},
        {"trailing.c   ", "trailing.c", true},
        {"crlf.c\r", "crlf.c", true},
        {"\\#file", "#file", true},
        {"build/", "src/build/", true},
        {"build/", "build", false},
        {"/top.c", "top.c", true},
        {"/top.c", "src/top.c", false},
        {"doc/*.txt", "doc/a.txt", true},
        {"doc/*.txt", "doc/x/a.txt", false},
        {"doc/*.txt", "src/doc/a.txt", false},
        {"**/gen", "gen/", true},
        {"**/gen", "a/b/gen/", true},
        {"out/**", "out/a/b.c", true},
        {"out/**", "out/", false},
        {"a/**/b.c", "a/b.c", true},
        {"a/**/b.c", "a/x/y/b.c", true},
        {"a/**/b.c", "x/a/b.c", false},
        {"a/**/b/**/c", "a/x/b/y/b/z/c", true},
        {"a/**/b/**/c", "a/b/b/c", true},
        {"a/**/b/**/c", "a/c", false},
        {"a/**/b/**/c", "a/bb/c", false},
        {"**/x/*.c", "p/x/q/x/a.c", true},
        {"**/x/*.c", "x/q/a.c", false},
        {"*a*b", "xaab", true},
        {"*a*b", "aba", false},
        {"a*/b*", "ax/by", true},
        {"a*/b*", "a/x/b", false},
        // A negated line names what it would ignore; the caller undoes the ignoring.
        {"!keep.txt", "keep.txt", true},
        {"\\!bang.txt", "!bang.txt", true},
        {"\\!bang.txt", "bang.txt", false},
        // POSIX classes, by git's ASCII reading.
        {"[[:digit:]]*.c", "1a.c", true},
        {"[[:digit:]]*.c", "a1.c", false},
        {"*[[:upper:]].c", "aB.c", true},
        {"*[[:upper:]].c", "ab.c", false},
        {"[[:alpha:][:digit:]]x", "5x", true},
        {"[[:alpha:][:digit:]]x", "-x", false},
        {"[![:lower:]]a", "Aa", true},
        {"[![:lower:]]a", "aa", false},
        {"[[:punct:]]a", "_a", true},
        {"[[:space:]]a", "\ta", true},
        {"[[:space:]]a", "\va", false},
        {"[[:xdigit:]]", "F", true},
        {"[[:xdigit:]]", "g", false},
        {"[[:bogus:]]a", "ba", false},
        {"[[:a]b", ":b", true},
        // Classes closed late or never: "]" first is a member, an unclosed "[" matches nothing.
        {"a[]]b", "a]b", true},
        {"a[!]]b", "a]b", false},
        {"a[!]]b", "axb", true},
        {"[a-]x", "-x", true},
        {"[\\]]x", "]x", true},
        {"a[b", "a[b", false},
        {"a[b", "ab", false},
        {"*[", "x[", false},
        {"a[]b", "a]b", false},
        {"[[:alpha:]", "a", false},
        {"a\\", "a\\", false},
        // Three stars or more between slashes are two.
        {"x/***/y", "x/y", true},
        {"x/***/y", "x/a/b/y", true},
        {"x/***/y", "x/ay", false},
        {"***/y", "a/b/y", true},
        {"d/a***b", "d/axb", true},
        {"d/a***b", "d/ax/yb", false},
        {"a/**\\/b", "a/x/b", true},
        {"a/**\\/b", "a/b", false},
        // git compares the bytes before the first wildcard on their own, so stars after them begin a part.
        {"x**/y", "xa/b/y", true},
        {"x**/**", "x/", true},
        {"x*/**", "x/", false},
        // A backslash keeps the blank after it; an escaped backslash does not.
        {"a\\ ", "a ", true},
        {"a\\\\ ", "a\\", true},
        // A NUL ends the line's pattern; a carriage return goes only right before the line break.
        {std::string("x.txt\0junk", 10), "x.txt", true},
        {std::string("x.txt\0junk", 10), "x.txtjunk", false},
        {std::string("\0*.py", 5), "a.py", false},
        {std::string("cr\r\0z", 5), "cr\r", true},
        // Lines around the lengths where a record's length takes a byte more.
        {std::string(127, 'b'), std::string(127, 'b'), true},
        {std::string(128, 'b'), std::string(128, 'b'), true},
        {std::string(128, 'b'), std::string(127, 'b'), false},
        {std::string(129, 'b'), std::string(129, 'b'), true},
        {std::string("*").append(127, 'b'), std::string("a").append(127, 'b'), true},
        // Lines far longer than any name.
        {std::string("*[").append(65536, 'a'), longName, false},
        {std::string("*[").append(65536, 'a').append("]"), longName, true},
        {std::string("*").append(65536, 'a'), longName, false},
    };
}

bool patternNames(const GitAnswer& answer) {
    const auto pattern = IgnorePattern::parse(answer.line);
    if (!pattern) {
        return false;
    }
    std::string path = answer.path;
    const bool isFolder = path.ends_with('/');
    if (isFolder) path.pop_back();
    return pattern->matches(path, isFolder);
}

std::string askedPath(std::size_t index, const GitAnswer& answer) {
    std::string path = "case" + std::to_string(index) + "/" + answer.path;
    if (path.ends_with('/')) path.pop_back();
    return path;
}

/// What git itself says of each case: each line in an ignore file of its own folder, each path
/// made there, and all asked of `git check-ignore` at once.
std::map<std::string, bool> askGit(const std::vector<GitAnswer>& answers) {
    const TemporaryFolder home;
    const TemporaryFolder work;
    std::string paths;
    for (std::size_t index = 0; index < answers.size(); ++index) {
        work.writeFile("case" + std::to_string(index) + "/.gitignore", answers[index].line + "\n");
        const std::string path = askedPath(index, answers[index]);
        if (answers[index].path.ends_with('/')) {
            fs::create_directories(work.path() / path);
        } else {
            work.writeFile(path, "");
        }
        paths += path + '\0';
    }
    const std::map<std::string, std::string> environment{
        {"HOME", home.path().string()}, {"GIT_CONFIG_NOSYSTEM", "1"}, {"PATH", "/usr/bin:/bin"}};
    platform::PosixProcessRunner runner;
    const auto init = runner.run({.executable = "git",
                                  .arguments = {"init", "-q"},
                                  .workingDirectory = work.path(),
                                  .environment = environment});
    EXPECT_TRUE(init.succeeded()) << init.standardError;
    const auto result = runner.run({.executable = "git",
                                    .arguments = {"check-ignore", "--no-index", "-v", "-n", "-z", "--stdin"},
                                    .workingDirectory = work.path(),
                                    .environment = environment,
                                    .standardInput = paths});
    EXPECT_TRUE(result.started()) << result.startError.value_or("");
    // Four fields a path: the ignore file (empty when no line names it), the line number, the
    // line and the path.
    std::vector<std::string> fields;
    for (std::size_t start = 0, end = 0; (end = result.standardOutput.find('\0', start)) != std::string::npos;
         start = end + 1) {
        fields.push_back(result.standardOutput.substr(start, end - start));
    }
    std::map<std::string, bool> named;
    for (std::size_t field = 0; field + 3 < fields.size(); field += 4) {
        named[fields[field + 3]] = !fields[field].empty();
    }
    return named;
}

TEST(IgnorePattern, BlankLinesAndCommentsNameNothing) {
    for (const auto* line : {"", "# comment", "   ", "/", "!"}) EXPECT_FALSE(IgnorePattern::parse(line)) << line;
}

TEST(IgnorePattern, NamesWhatGitNames) {
    const auto answers = gitAnswers();
    const auto git = askGit(answers);
    ASSERT_EQ(git.size(), answers.size());
    for (std::size_t index = 0; index < answers.size(); ++index) {
        const auto& answer = answers[index];
        const std::string shown = answer.line.substr(0, 40) + " | " + answer.path.substr(0, 40);
        EXPECT_EQ(git.at(askedPath(index, answer)), answer.named) << "git disagrees with the table: " << shown;
        EXPECT_EQ(patternNames(answer), answer.named) << shown;
    }
    EXPECT_TRUE(IgnorePattern::parse("!keep.txt")->negated());
    EXPECT_FALSE(IgnorePattern::parse("\\!bang.txt")->negated());
}

TEST(IgnoreRules, AByteOrderMarkIsSkippedAtTheStartOfTheFileOnly) {
    const std::string file = "\xEF\xBB\xBF*.c\n\xEF\xBB\xBF*.h";
    const std::vector<GitAnswer> answers{{file, "a.c", true},
                                         {file, "b.h", false},
                                         {file,
                                          "\xEF\xBB\xBF"
                                          "b.h",
                                          true}};
    const auto git = askGit(answers);
    for (std::size_t index = 0; index < answers.size(); ++index) {
        EXPECT_EQ(git.at(askedPath(index, answers[index])), answers[index].named) << "git disagrees: " << index;
        IgnoreRules rules(nullptr, 0);
        rules.addFile(file, nullptr, ".gitignore");
        EXPECT_EQ(rules.isIgnored(answers[index].path, false), answers[index].named) << answers[index].path;
    }
}

// Each record is found from the length of the one before, whatever number of bytes that length
// takes: one below 128, two below 16,384, three above.
TEST(IgnoreRules, RecordsOfEveryLengthFollowOneAnother) {
    std::string file;
    std::vector<std::size_t> lengths;
    for (std::size_t length = 1; length <= 300; ++length) lengths.push_back(length);
    for (std::size_t length = 16380; length <= 16390; ++length) lengths.push_back(length);
    for (const std::size_t length : lengths) file += std::string(length, 'n') + "\n";
    file += "*.c\n";
    IgnoreRules rules(nullptr, 0);
    rules.addFile(file, nullptr, ".gitignore");
    for (const std::size_t length : lengths) {
        EXPECT_TRUE(rules.isIgnored(std::string(length, 'n'), false)) << length;
        EXPECT_FALSE(rules.isIgnored(std::string(length, 'n') + "x", false)) << length;
    }
    EXPECT_TRUE(rules.isIgnored("a.c", false));
    EXPECT_FALSE(rules.isIgnored("a.h", false));
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
