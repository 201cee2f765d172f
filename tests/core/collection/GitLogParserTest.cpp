#include "core/collection/GitLogParser.h"
#include "core/collection/GitService.h"

#include "platform/LocalCalendar.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using namespace std::string_literals;

TEST(GitLogParser, CommitLinesAreSplitAtNuls) {
    const auto commit = GitLogParser::parseCommitLine("abc123\0Fix a | b\0Jane | Doe\0002024-05-01T10:00:00+02:00"s);
    EXPECT_EQ(commit, (GitCommit{"abc123", "Fix a | b", "Jane | Doe", testing::utc("2024-05-01T08:00:00Z")}));
    EXPECT_TRUE(GitLogParser::parseCommitLine("abc\0\0\0002024-05-01T10:00:00Z"s));
    for (const auto& line : {""s, "abc\0subject\0002024-05-01T10:00:00Z"s, "abc\0s\0a\0yesterday"s,
                             "abc\0s\0a\0002024-05-01"s, "abc\0s\0a\0b\0002024-05-01T10:00:00Z"s}) {
        EXPECT_FALSE(GitLogParser::parseCommitLine(line)) << line;
    }
}

TEST(GitLogParser, ShortstatReadsEachPartOnItsOwn) {
    const std::pair<const char*, std::tuple<int64_t, int64_t, int64_t>> cases[] = {
        {"2 files changed, 3 deletions(-)", {2, 0, 3}},
        {"1 file changed, 1 insertion(+), 1 deletion(-)", {1, 1, 1}},
        {"12 files changed, 345 insertions(+)", {12, 345, 0}},
        {"99999999999999999999 files changed", {0, 0, 0}},
        {"nothing to see", {0, 0, 0}},
    };
    for (const auto& [line, expected] : cases) {
        const auto counts = GitLogParser::parseShortstat(line);
        EXPECT_EQ(std::tuple(counts.filesChanged, counts.insertions, counts.deletions), expected) << line;
    }
}

/// Commits at noon of the given days of March 2024, named h0, h1 ...
std::vector<GitCommit> commitsOnDays(std::initializer_list<int> days) {
    std::vector<GitCommit> commits;
    for (const int day : days) {
        commits.push_back({"h" + std::to_string(commits.size()), "m", "a",
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
