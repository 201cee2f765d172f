#include "core/collection/GitLogParser.h"
#include "core/collection/GitLogStream.h"
#include "core/collection/GitService.h"

#include "platform/LocalCalendar.h"
#include "tests/core/collection/CollectionFixture.h"
#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace norvane {
namespace {

using namespace std::string_literals;

TEST(GitLogParser, CommitLinesAreSplitAtNuls) {
    const auto commit = GitLogParser::parseCommitLine("abc123\0Fix a | b\0Jane | Doe\0001714550400"s);
    EXPECT_EQ(commit, (GitCommit{"abc123", "Fix a | b", "Jane | Doe", testing::utc("2024-05-01T08:00:00Z")}));
    EXPECT_TRUE(GitLogParser::parseCommitLine("abc\0\0\0000"s));
    for (const auto& line : {""s, "abc\0subject\0001714550400"s, "abc\0s\0a\0yesterday"s, "abc\0s\0a\0002024-05-01"s,
                             "abc\0s\0a\0b\0001714550400"s, "abc\0s\0a\0 1714550400"s, "abc\0s\0a\0"s}) {
        EXPECT_FALSE(GitLogParser::parseCommitLine(line)) << line;
    }
}

/// A record of the log format, as `git log --numstat -z` prints it, without its file entries.
std::string header(const std::string& hash, const std::string& parents, const std::string& seconds,
                   const std::string& author = "Ann", const std::string& decoration = "") {
    return "\0\0COMMIT\0"s + hash + "\0"s + parents + "\0"s + author + "\0"s + seconds + "\0"s + seconds + "\0"s +
           decoration + "\0Subject\0Body\n\0"s;
}

TEST(GitLogParser, RecordsWithRenamesBinaryFilesOddPathsAndNoDiff) {
    // A rename's counts have an empty path and its old and new paths follow; a file, an author, a
    // subject or a message may read COMMIT; a merge has no entries.
    const std::string output = header("a1", "", "1714550400", "COMMIT", "HEAD") +
                               "\0\n3\t1\tsrc/a b.c\0-\t-\tlogo.png\0"s + header("b2", "a1", "1714636800") +
                               "\0\n2\t0\t\0COMMIT\0docs/new\nname.md\0"s +
                               "\0\0COMMIT\0c3\0\0Ann\0001714723200\0001714723200\0\0\0COMMIT\0\0"s +
                               header("d4", "c3", "not a date") + "\0\n9\t9\tx.c\0"s + header("e5", "d4", "1714723200");
    using Files = std::vector<std::tuple<int64_t, int64_t, std::string>>;
    std::vector<std::tuple<std::string, std::string, bool, bool, Files>> records;
    GitLogParser::forEachRecord(output, [&](const GitLogParser::LogRecord& record) {
        Files files;
        for (const auto& file : record.files) files.emplace_back(file.insertions, file.deletions, file.path);
        records.emplace_back(record.hash, record.parents, record.isHead, record.dated, files);
        if (record.hash == "a1") {
            EXPECT_EQ(record.commit(),
                      (GitCommit{"a1", "Subject", "COMMIT", testing::utc("2024-05-01T08:00:00Z"), 3, 1, 2, "Body\n"}));
        }
    });
    EXPECT_EQ(records, (decltype(records){{"a1", "", true, true, Files{{3, 1, "src/a b.c"}, {0, 0, "logo.png"}}},
                                          {"b2", "a1", false, true, Files{{2, 0, "docs/new\nname.md"}}},
                                          {"c3", "", false, true, Files{}},
                                          {"d4", "c3", false, false, Files{{9, 9, "x.c"}}},
                                          {"e5", "d4", false, true, Files{}}}));
}

TEST(GitLogStream, RecordsCutAnywhereArriveWholeAndDecoded) {
    std::string output;
    for (const auto* author : {"Zo\xC3\xAB", "COMMIT", "Ren\xE9", "Ann"}) {
        output += header("h"s + author, "", "1714550400", author) + "\0\n1\t2\tf.c\0"s;
    }
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{8}, std::size_t{9}, output.size()}) {
        std::vector<std::string> authors;
        GitLogStream stream([&](const GitLogParser::LogRecord& record) {
            authors.emplace_back(record.author);
            EXPECT_EQ(record.files.size(), 1U);
        });
        for (std::size_t at = 0; at < output.size(); at += piece)
            stream.add(std::string_view(output).substr(at, piece));
        stream.finish();
        EXPECT_EQ(authors, (std::vector<std::string>{"Zo\xC3\xAB", "COMMIT", "Ren\xEF\xBF\xBD", "Ann"})) << piece;
    }
}

TEST(GitLogParser, CommitsThatGitPrintsOddlyAreReadWhole) {
    const testing::IsolatedGitEnvironment environment;
    const GitService git;
    const auto when = testing::utc("2011-03-13T07:06:40Z");
    const struct {
        const char* what;
        const char* author;
        const char* zone;
    } rows[] = {
        {"a zone git stores but cannot print as ISO 8601", "Ann", "+051800"},
        {"a root commit whose author reads like a record start", "COMMIT", "+0000"},
    };
    for (const auto& row : rows) {
        testing::GitTestRepository repository;
        repository.writeFile("a.c", "int a;\nint b;\nint c;\n");
        repository.git({"add", "-A"});
        auto tree = repository.git({"write-tree"});
        tree.pop_back();
        const auto signature = std::string(row.author) + " <a@example.com> 1300000000 " + row.zone + "\n";
        // git refuses to write such a commit itself; older tools and imports did.
        auto hash = repository.git({"hash-object", "-t", "commit", "-w", "--literally", "--stdin"}, {},
                                   "tree " + tree + "\nauthor " + signature + "committer " + signature + "\nOdd\n");
        hash.pop_back();
        repository.git({"update-ref", "refs/heads/main", hash});

        const auto path = repository.pathString();
        const auto history = testing::importedCommits(git, path);
        ASSERT_EQ(history.size(), 1U) << row.what;
        EXPECT_EQ(history[0], (GitCommit{hash, "Odd", row.author, when, 3, 0, 1, "Odd\n"})) << row.what;
        EXPECT_EQ(git.getLatestCommit(path), (GitCommit{hash, "Odd", row.author, when})) << row.what;
        EXPECT_EQ(git.getFirstCommitDate(path), when) << row.what;
        const auto days = testing::importedDays(git, path);
        ASSERT_EQ(days.size(), 1U) << row.what;
        EXPECT_EQ(days.begin()->second.insertions, 3) << row.what;
    }
}

/// Commits at noon of the given days of March 2024, named h0, h1 ...
std::vector<GitCommit> commitsOnDays(std::initializer_list<int> days) {
    std::vector<GitCommit> commits;
    for (const int day : days) {
        commits.push_back({fmt::format("h{}", commits.size()), "m", "a",
                           platform::LocalCalendar::addingDays(testing::localDate(2024, 3, 1, 12), day)});
    }
    return commits;
}

std::vector<std::string> sampledHashes(const std::vector<GitCommit>& commits, int interval) {
    std::vector<std::string> result;
    for (const auto& commit : GitService::sampleCommits(commits, interval)) result.push_back(commit.hash);
    return result;
}

TEST(GitLogParser, SamplingKeepsFirstEveryIntervalAndLast) {
    using Hashes = std::vector<std::string>;
    EXPECT_EQ(sampledHashes(commitsOnDays({0, 3, 8, 9, 20}), 7), (Hashes{"h0", "h2", "h4"}));
    EXPECT_EQ(sampledHashes(commitsOnDays({0, 3, 8, 9, 20}), 1).size(), 5U);
    EXPECT_EQ(sampledHashes(commitsOnDays({0, 1, 2}), 7), (Hashes{"h0", "h2"}));
    EXPECT_EQ(sampledHashes(commitsOnDays({5}), 7), Hashes{"h0"});
    EXPECT_TRUE(sampledHashes({}, 7).empty());
    // Dates that go backwards are left out unless they are the last commit.
    EXPECT_EQ(sampledHashes(commitsOnDays({10, 2, 20, 12, 30}), 7), (Hashes{"h0", "h2", "h4"}));
    // Samoa skipped 30 December 2011: from noon on the 29th to noon on the 31st are two local days
    // in 24 hours.
    const testing::ScopedTimeZone zone("Pacific/Apia");
    const std::vector<GitCommit> samoa{{"h0", "m", "a", testing::localDate(2011, 12, 29, 12)},
                                       {"h1", "m", "a", testing::localDate(2011, 12, 31, 12)},
                                       {"h2", "m", "a", testing::localDate(2012, 1, 1, 12)}};
    EXPECT_EQ(sampledHashes(samoa, 2), (Hashes{"h0", "h1", "h2"}));
}

} // namespace
} // namespace norvane
