#include "core/models/DailyActivity.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/NorvaneError.h"
#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using std::chrono::hours;
using testing::localDate;

class RecordsTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::ScopedTimeZone timeZone{"Europe/Berlin"};
    std::shared_ptr<Project> project = addProject("alpha");
};

TEST_F(RecordsTest, DayRecordsStartAtLocalMidnightAndUnknownTypesReadAsCodeCounts) {
    EXPECT_EQ(DailyActivity::create(project, localDate(2026, 3, 14, 14, 30))->date, localDate(2026, 3, 14));
    EXPECT_EQ(DailyPortfolioSnapshot::create(localDate(2026, 3, 14, 23, 59))->date, localDate(2026, 3, 14));
    EXPECT_EQ(ModelDailyActivity::create(project, localDate(2026, 3, 14, 15, 42), AIModel::copilot)->date,
              localDate(2026, 3, 14));
    auto snapshot = Snapshot::create(project);
    snapshot->snapshotTypeRaw = "GitHistory";
    EXPECT_EQ(snapshot->snapshotType(), SnapshotType::scc);
}

TEST_F(RecordsTest, CategorySumsTreatRowsWithoutCategoryAsCode) {
    auto snapshot = addSnapshot(
        project, localDate(2026, 1, 1), SnapshotType::scc,
        {{"C", 120, OutputCategory::code, 7}, {"Markdown", 40, OutputCategory::docs}, {"Go", 10, std::nullopt, 2}});
    EXPECT_EQ(std::tuple(snapshot->codeCategoryCode(), snapshot->codeCategoryComplexity(), snapshot->docsCategoryCode(),
                         snapshot->testsCategoryCode(), snapshot->configCategoryCode()),
              std::tuple(130, 9, 40, 0, 0));
}

TEST_F(RecordsTest, TemperatureFollowsWholeDaysSinceTheLatestCommit) {
    const auto now = localDate(2026, 6, 10, 12);
    struct Case {
        platform::Date latest;
        ProjectTemperature expected;
    };
    const std::vector<Case> cases{
        {now - hours(3 * 24 + 23), ProjectTemperature::hot}, {now - hours(4 * 24), ProjectTemperature::warm},
        {now - hours(30 * 24), ProjectTemperature::cold},    {now - hours(31 * 24), ProjectTemperature::frozen},
        {now + hours(48), ProjectTemperature::frozen},
    };
    for (const auto& testCase : cases) {
        project->latestCommitAt = testCase.latest;
        EXPECT_EQ(project->temperature(now), testCase.expected);
    }
    project->latestCommitAt.reset();
    EXPECT_EQ(project->temperature(now), ProjectTemperature::unknown);
    EXPECT_FALSE(project->daysSinceLastCommit(now));
}

TEST_F(RecordsTest, DayCountsSpanADaylightSavingChange) {
    // 2026-03-29 has 23 hours in Berlin; it still counts as one whole day.
    project->firstCommitAt = localDate(2026, 3, 28, 12);
    project->latestCommitAt = localDate(2026, 3, 29, 12);
    EXPECT_EQ(project->commitSpanDays(), 1);
    project->latestCommitAt = localDate(2026, 3, 29, 11, 30);
    EXPECT_EQ(project->commitSpanDays(), 0);
}

TEST_F(RecordsTest, LatestCommitSummaryComesFromTheNewestSnapshotWithAHash) {
    EXPECT_FALSE(project->latestCommitSummary());
    auto older = addSnapshot(project, localDate(2026, 1, 1));
    older->latestCommitHash = "0123456789abcdef";
    older->latestCommitMessage = "Older\nbody";
    auto newer = addSnapshot(project, localDate(2026, 1, 2));
    newer->latestCommitHash = "abc";
    newer->latestCommitMessage = "Fix parser\r\nmore";
    EXPECT_EQ(project->latestCommitSummary(), (std::pair<std::string, std::string>{"abc", "Fix parser\r"}));

    newer->latestCommitMessage.reset();
    EXPECT_FALSE(project->latestCommitSummary()) << "older snapshots are not consulted";
}

TEST_F(RecordsTest, SizeBucketAndMaturityUseTheNewestCodeCount) {
    EXPECT_EQ(project->sizeBucket(), ProjectSizeBucket::greenfield);
    addSnapshot(project, localDate(2026, 6, 1), SnapshotType::gitHistory, {{"C", 90000, OutputCategory::code, 100}});
    EXPECT_EQ(project->sizeBucket(), ProjectSizeBucket::greenfield) << "history points are not measurements";

    addSnapshot(project, localDate(2026, 6, 2), SnapshotType::scc,
                {{"C", 4000, OutputCategory::code, 10}, {"Markdown", 3000, OutputCategory::docs}});
    EXPECT_EQ(project->sizeBucket(), ProjectSizeBucket::greenfield);
    const auto now = localDate(2026, 6, 10);
    project->firstCommitAt = now - hours(24 * 60);
    const auto maturity = project->maturityMultiplier(now);
    EXPECT_NEAR(maturity.linesFactor, std::log10(4000.0) * 0.05, 1e-12);
    EXPECT_NEAR(maturity.ageFactor, 2.0 * 0.025, 1e-12);
}

TEST(ProjectSizeBucket, BoundariesOnBothSides) {
    const std::vector<std::pair<std::int64_t, ProjectSizeBucket>> cases{
        {0, ProjectSizeBucket::greenfield},      {4999, ProjectSizeBucket::greenfield},
        {5000, ProjectSizeBucket::small},        {19999, ProjectSizeBucket::small},
        {20000, ProjectSizeBucket::medium},      {49999, ProjectSizeBucket::medium},
        {50000, ProjectSizeBucket::large},       {99999, ProjectSizeBucket::large},
        {100000, ProjectSizeBucket::enterprise}, {-1, ProjectSizeBucket::enterprise},
    };
    for (const auto& [lines, bucket] : cases) EXPECT_EQ(sizeBucketForLines(lines), bucket) << lines;
}

TEST(MaturityMultiplier, WorkedExamples) {
    EXPECT_DOUBLE_EQ(MaturityMultiplier::calculate(0, 0, 0.0).value, 1.0);
    EXPECT_NEAR(MaturityMultiplier::calculate(50, 5, 0.0).value, 1.14, 1e-12);
    const auto large = MaturityMultiplier::calculate(100000, 10000, 36.0);
    EXPECT_NEAR(large.linesFactor, 0.25, 1e-12);
    EXPECT_NEAR(large.complexityFactor, 0.16, 1e-12);
    EXPECT_NEAR(large.value, 2.01, 1e-12);
    EXPECT_NEAR(MaturityMultiplier::calculate(0, 0, -6.0).ageFactor, -0.15, 1e-12);
}

TEST(NorvaneError, EqualWhenKindAndValueAre) {
    EXPECT_FALSE(NorvaneError::sccFailed("x") == NorvaneError::gitFailed("x"));
    EXPECT_FALSE(NorvaneError::sccFailed("x") == NorvaneError::sccFailed("y"));
    EXPECT_TRUE(NorvaneError::sccNotFound() == NorvaneError::sccNotFound());
    EXPECT_FALSE(NorvaneError::snapshotNotFound() == NorvaneError::sccNotFound());
}

TEST(NorvaneError, TextsAreEqualAsUnicodeTexts) {
    // "café" with its accent precomposed, and as "e" and a combining acute; a Hangul syllable and its jamo.
    EXPECT_TRUE(NorvaneError::pathNotFound("caf\u00E9") == NorvaneError::pathNotFound("cafe\u0301"));
    EXPECT_TRUE(NorvaneError::duplicateName("\uAC00") == NorvaneError::duplicateName("\u1100\u1161"));
    EXPECT_FALSE(NorvaneError::pathNotFound("caf\u00E9") == NorvaneError::pathNotFound("cafe"));
    EXPECT_FALSE(NorvaneError::pathNotFound("caf\u00E9") == NorvaneError::pathNotDirectory("cafe\u0301"));
    // Compatible is not equivalent: the ligature is not "fi".
    EXPECT_FALSE(NorvaneError::projectNotFound("\uFB01") == NorvaneError::projectNotFound("fi"));
    // Names that are not UTF-8 stay apart, though each would decode to the same replacement character.
    EXPECT_FALSE(NorvaneError::pathNotFound("a\xFF") == NorvaneError::pathNotFound("a\xFE"));
    EXPECT_TRUE(NorvaneError::pathNotFound("a\xFF") == NorvaneError::pathNotFound("a\xFF"));
}

} // namespace
} // namespace norvane
