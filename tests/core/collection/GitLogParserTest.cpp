#include "core/collection/GitLogParser.h"
#include "core/collection/GitService.h"

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using namespace std::string_literals;
using platform::Iso8601::parse;

platform::Date at(const char* text) { return *parse(text); }

TEST(GitLogParser, CommitLinesAreSplitAtNuls) {
    const auto commit = GitLogParser::parseCommitLine("abc123\0Fix a | b\0Jane | Doe\0002024-05-01T10:00:00+02:00"s);
    ASSERT_TRUE(commit);
    EXPECT_EQ(*commit, (GitCommit{"abc123", "Fix a | b", "Jane | Doe", at("2024-05-01T08:00:00Z")}));
    EXPECT_TRUE(GitLogParser::parseCommitLine("abc\0\0\0002024-05-01T10:00:00Z"s));
    for (const auto& line : {""s, "abc\0subject\0002024-05-01T10:00:00Z"s, "abc\0s\0a\0yesterday"s,
                             "abc\0s\0a\0002024-05-01"s, "abc\0s\0a\0b\0002024-05-01T10:00:00Z"s}) {
        EXPECT_FALSE(GitLogParser::parseCommitLine(line)) << line;
    }
}

TEST(GitLogParser, ShortstatReadsEachPartOnItsOwn) {
    auto counts = GitLogParser::parseShortstat("2 files changed, 3 deletions(-)");
    EXPECT_EQ(counts.filesChanged, 2);
    EXPECT_EQ(counts.insertions, 0);
    EXPECT_EQ(counts.deletions, 3);
    counts = GitLogParser::parseShortstat("1 file changed, 1 insertion(+), 1 deletion(-)");
    EXPECT_EQ(counts.filesChanged, 1);
    EXPECT_EQ(counts.insertions, 1);
    EXPECT_EQ(counts.deletions, 1);
    counts = GitLogParser::parseShortstat("12 files changed, 345 insertions(+)");
    EXPECT_EQ(counts.filesChanged, 12);
    EXPECT_EQ(counts.insertions, 345);
    counts = GitLogParser::parseShortstat("99999999999999999999 files changed");
    EXPECT_EQ(counts.filesChanged, 0);
    counts = GitLogParser::parseShortstat("nothing to see");
    EXPECT_EQ(counts.filesChanged + counts.insertions + counts.deletions, 0);
}

std::string historyRecord(const std::string& hash, const std::string& date, const std::string& subject,
                          const std::string& statistics) {
    return "\0COMMIT\0"s + hash + "\0Ann | Lee\0"s + date + "\0"s + subject + "\0"s + subject +
           "\n\nbody\nCo-Authored-By: Claude\n\0"s + statistics;
}

TEST(GitLogParser, CommitsWithStatsKeepSubjectAndWholeMessage) {
    const auto output = historyRecord("h1", "2024-01-01T10:00:00Z", "first | one",
                                      "\n\n 2 files changed, 10 insertions(+), 4 deletions(-)\n") +
                        historyRecord("h2", "not a date", "dropped", "\n\n 1 file changed\n") +
                        historyRecord("h3", "2024-01-02T10:00:00Z", "merge", "\n");
    const auto commits = GitLogParser::parseCommitsWithStats(output);
    ASSERT_EQ(commits.size(), 2U);
    EXPECT_EQ(commits[0].hash, "h1");
    EXPECT_EQ(commits[0].message, "first | one");
    EXPECT_EQ(commits[0].author, "Ann | Lee");
    EXPECT_EQ(commits[0].fullMessage, "first | one\n\nbody\nCo-Authored-By: Claude\n");
    EXPECT_EQ(commits[0].filesChanged, 2);
    EXPECT_EQ(commits[0].insertions, 10);
    EXPECT_EQ(commits[0].deletions, 4);
    EXPECT_EQ(commits[1].hash, "h3");
    EXPECT_EQ(commits[1].linesChanged(), 0);
    EXPECT_EQ(commits[1].filesChanged, 0);
}

TEST(GitLogParser, NumstatWithBinaryFilesMergesAndOddPaths) {
    const auto output = "COMMIT\t2024-01-01T10:00:00Z\n-\t-\timage.png\0"
                        "3\t1\tnew name.c\0"
                        "2\t0\tdocs/a\tb.md\0"
                        "5\t5\0"
                        "\0COMMIT\t2024-01-01T12:00:00Z\0"
                        "\0COMMIT\t2024-01-02T09:00:00Z\n1\t2\tline\nbreak \"quoted\".c\0"
                        "4\t0\tnew name.c\0"s;
    const auto commits = GitLogParser::parseNumstat(output);
    ASSERT_EQ(commits.size(), 3U);
    ASSERT_EQ(commits[0].files.size(), 3U);
    EXPECT_EQ(commits[0].files[0].path, "image.png");
    EXPECT_EQ(commits[0].files[0].insertions, 0);
    EXPECT_EQ(commits[0].files[2].path, "docs/a\tb.md");
    EXPECT_TRUE(commits[1].files.empty()); // a merge
    EXPECT_EQ(commits[2].files[0].path, "line\nbreak \"quoted\".c");
    EXPECT_EQ(commits[2].committedAt, at("2024-01-02T09:00:00Z"));

    const auto stats = GitLogParser::activity(commits);
    EXPECT_EQ(stats.commitCount, 3);
    EXPECT_EQ(stats.insertions, 10);
    EXPECT_EQ(stats.deletions, 3);
    // "new name.c" changed in two commits counts once; the binary file counts as changed.
    EXPECT_EQ(stats.filesChanged, 4);
    EXPECT_EQ(stats.codeStats, (CategoryLineStats{8, 3}));
    EXPECT_EQ(stats.docsStats, (CategoryLineStats{2, 0}));
    EXPECT_EQ(GitLogParser::activity({}), GitActivityStats::empty());
}

TEST(GitLogParser, DailyActivityGroupsByLocalDay) {
    const auto today = platform::LocalCalendar::startOfDay(platform::currentDate());
    const auto yesterday = platform::LocalCalendar::addingDays(today, -1);
    const auto hour = std::chrono::hours(1);
    std::vector<GitLogParser::NumstatCommit> commits{
        {today + 2 * hour, {{1, 0, "a.c"}}},
        {yesterday + 3 * hour, {{2, 0, "a.c"}, {0, 1, "README.md"}}},
        {today + 5 * hour, {{4, 0, "a.c"}}},
        {std::nullopt, {{100, 0, "ignored.c"}}},
    };
    const auto days = GitLogParser::dailyActivity(commits);
    ASSERT_EQ(days.size(), 2U);
    EXPECT_EQ(days.at(today).commitCount, 2);
    EXPECT_EQ(days.at(today).insertions, 5);
    EXPECT_EQ(days.at(today).filesChanged, 1);
    EXPECT_EQ(days.at(yesterday).commitCount, 1);
    EXPECT_EQ(days.at(yesterday).docsStats.deletions, 1);
}

std::vector<GitCommit> commitsOnDays(std::initializer_list<int> days) {
    const auto start = platform::LocalCalendar::startOfDay(at("2024-03-01T12:00:00Z")) + std::chrono::hours(12);
    std::vector<GitCommit> commits;
    for (const int day : days) {
        commits.push_back(
            {"h" + std::to_string(commits.size()), "m", "a", platform::LocalCalendar::addingDays(start, day)});
    }
    return commits;
}

std::vector<std::string> hashes(const std::vector<GitCommit>& commits) {
    std::vector<std::string> result;
    for (const auto& commit : commits) {
        result.push_back(commit.hash);
    }
    return result;
}

TEST(GitLogParser, SamplingKeepsFirstEveryIntervalAndLast) {
    const auto commits = commitsOnDays({0, 3, 8, 9, 20});
    EXPECT_EQ(hashes(GitService::sampleCommits(commits, 7)), (std::vector<std::string>{"h0", "h2", "h4"}));
    EXPECT_EQ(hashes(GitService::sampleCommits(commits, 1)).size(), 5U);
    EXPECT_EQ(hashes(GitService::sampleCommits(commitsOnDays({0, 1, 2}), 7)), (std::vector<std::string>{"h0", "h2"}));
    EXPECT_EQ(hashes(GitService::sampleCommits(commitsOnDays({5}), 7)), std::vector<std::string>{"h0"});
    EXPECT_TRUE(GitService::sampleCommits({}, 7).empty());
    // Dates that go backwards are left out unless they are the last commit.
    EXPECT_EQ(hashes(GitService::sampleCommits(commitsOnDays({10, 2, 20, 12, 30}), 7)),
              (std::vector<std::string>{"h0", "h2", "h4"}));
}

TEST(GitLogParser, SamplingCountsLocalDaysAcrossASkippedDay) {
    // Samoa skipped 30 December 2011: from noon on the 29th to noon on the 31st are two local days
    // in 24 hours.
    const testing::ScopedTimeZone zone("Pacific/Apia");
    const std::vector<GitCommit> commits{{"h0", "m", "a", testing::localDate(2011, 12, 29, 12)},
                                         {"h1", "m", "a", testing::localDate(2011, 12, 31, 12)},
                                         {"h2", "m", "a", testing::localDate(2012, 1, 1, 12)}};
    EXPECT_EQ(hashes(GitService::sampleCommits(commits, 2)), (std::vector<std::string>{"h0", "h1", "h2"}));
}

} // namespace
} // namespace norvane
