#include "core/analytics/WeeklyRecapGenerator.h"
#include "platform/LocalCalendar.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>

namespace norvane {
namespace {

using platform::Date;

using testing::localDate;

class WeeklyRecapGeneratorTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone{"Europe/Berlin"};
    std::shared_ptr<Project> alpha = Project::create("alpha", "/tmp/alpha", std::nullopt, ProjectType::organic);
    std::shared_ptr<Project> beta = Project::create("beta", "/tmp/beta", std::nullopt, ProjectType::organic);
    std::vector<std::shared_ptr<DailyActivity>> rows;

    void SetUp() override {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale::getUS(), status);
    }

    std::shared_ptr<DailyActivity>& add(const std::shared_ptr<Project>& project, Date date, std::int64_t lines,
                                        std::int64_t commits) {
        auto row = DailyActivity::create(project, date);
        row->linesTouched = lines;
        row->commitCount = commits;
        return rows.emplace_back(row);
    }

    std::optional<WeeklyRecap> recapAt(Date now) const { return WeeklyRecapGenerator::generate(rows, 4, 2, now); }
};

TEST_F(WeeklyRecapGeneratorTest, MidweekCoversTheWeekSoFarIncludingToday) {
    // Wednesday 4 March 2026.
    add(alpha, localDate(2026, 3, 1), 900, 9); // Sunday before: previous week
    add(alpha, localDate(2026, 3, 2), 100, 1); // Monday
    add(beta, localDate(2026, 3, 4), 50, 2);   // today
    const auto recap = recapAt(localDate(2026, 3, 4, 18));
    ASSERT_TRUE(recap);
    EXPECT_EQ(recap->weekStart, localDate(2026, 3, 2));
    EXPECT_EQ(recap->totalLinesChanged, 150);
    EXPECT_EQ(recap->totalCommits, 3);
    EXPECT_EQ(recap->activeDays, 2);
    EXPECT_EQ(recap->currentStreak, 4);
    EXPECT_EQ(recap->indexChange, 2);
    EXPECT_EQ(recap->projectsWorkedOn, (std::vector<std::string>{"alpha", "beta"}));
    ASSERT_TRUE(recap->bestDay);
    EXPECT_EQ(recap->bestDay->dayOfWeek, "Monday");
    EXPECT_EQ(recap->bestDay->linesChanged, 100);
}

TEST_F(WeeklyRecapGeneratorTest, SundayStartsSixDaysBack) {
    add(alpha, localDate(2026, 3, 2), 10, 1);
    add(alpha, localDate(2026, 3, 8), 10, 1);
    const auto recap = recapAt(localDate(2026, 3, 8, 23));
    ASSERT_TRUE(recap);
    EXPECT_EQ(recap->weekStart, localDate(2026, 3, 2));
    EXPECT_EQ(recap->activeDays, 2);
}

TEST_F(WeeklyRecapGeneratorTest, MondayRecapsTheWeekThatEndedAcrossTheClockChange) {
    // Monday 30 March 2026; Berlin's clocks went forward on Sunday 29 March.
    add(alpha, localDate(2026, 3, 30), 5000, 50); // today: in neither week
    add(alpha, localDate(2026, 3, 23), 100, 2);
    add(alpha, localDate(2026, 3, 29), 200, 3);
    add(beta, localDate(2026, 3, 22), 300, 6);   // previous week's Sunday
    add(beta, localDate(2026, 3, 15), 7000, 70); // the week before that
    const auto recap = recapAt(localDate(2026, 3, 30, 9));
    ASSERT_TRUE(recap);
    EXPECT_EQ(recap->weekStart, localDate(2026, 3, 23));
    EXPECT_EQ(recap->totalLinesChanged, 300);
    EXPECT_EQ(recap->bestDay->dayOfWeek, "Sunday");
    ASSERT_TRUE(recap->previousWeekComparison);
    EXPECT_DOUBLE_EQ(recap->previousWeekComparison->linesChangePercent, 0.0);
    EXPECT_DOUBLE_EQ(recap->previousWeekComparison->commitsChangePercent, (5.0 - 6.0) / 6.0 * 100.0);
    EXPECT_EQ(recap->previousWeekComparison->activeDaysChange, 1);
}

TEST_F(WeeklyRecapGeneratorTest, WeekAcrossTheYearEnd) {
    add(alpha, localDate(2025, 12, 28), 10, 1);
    add(alpha, localDate(2025, 12, 29), 20, 1);
    add(alpha, localDate(2026, 1, 1), 30, 1);
    const auto recap = recapAt(localDate(2026, 1, 2, 12));
    ASSERT_TRUE(recap);
    EXPECT_EQ(recap->weekStart, localDate(2025, 12, 29));
    EXPECT_EQ(recap->totalLinesChanged, 50);
    EXPECT_DOUBLE_EQ(recap->previousWeekComparison->linesChangePercent, 400.0);
}

TEST_F(WeeklyRecapGeneratorTest, NothingToRecap) {
    EXPECT_FALSE(recapAt(localDate(2026, 3, 4, 12)));
    add(alpha, localDate(2026, 2, 25), 10, 1);
    EXPECT_FALSE(recapAt(localDate(2026, 3, 4, 12)));
}

TEST_F(WeeklyRecapGeneratorTest, BestDayIsTheEarliestLargestRowAndNeedsLines) {
    add(alpha, localDate(2026, 3, 2), 0, 1);
    auto recap = recapAt(localDate(2026, 3, 4, 12));
    ASSERT_TRUE(recap);
    EXPECT_FALSE(recap->bestDay);

    add(beta, localDate(2026, 3, 3), 80, 1);
    add(alpha, localDate(2026, 3, 4), 80, 4);
    recap = recapAt(localDate(2026, 3, 4, 12));
    EXPECT_EQ(recap->bestDay->date, localDate(2026, 3, 3));
    EXPECT_EQ(recap->bestDay->commits, 1);
}

TEST_F(WeeklyRecapGeneratorTest, SumsCategoriesAndCountsActiveDaysOnce) {
    auto& first = add(alpha, localDate(2026, 3, 3), 50, 0);
    first->codeLinesInserted = 10;
    first->codeLinesDeleted = 5;
    first->docsLinesInserted = 3;
    first->testLinesDeleted = 2;
    first->configLinesInserted = 1;
    first->estimatedEffortMonths = 0.25;
    add(alpha, localDate(2026, 3, 4), 10, 1);
    add(beta, localDate(2026, 3, 4), 10, 1);
    add(Project::create("gamma", "/tmp/g", std::nullopt, ProjectType::organic), localDate(2026, 3, 4, 0), 10, 1)
        ->estimatedEffortMonths = 0.5;
    const auto recap = recapAt(localDate(2026, 3, 4, 12));
    ASSERT_TRUE(recap);
    EXPECT_EQ(recap->totalLinesChanged, 80);
    EXPECT_EQ(recap->activeDays, 1);
    EXPECT_EQ(recap->codeLinesChanged, 15);
    EXPECT_EQ(recap->docsLinesChanged, 3);
    EXPECT_EQ(recap->testLinesChanged, 2);
    EXPECT_EQ(recap->configLinesChanged, 1);
    EXPECT_DOUBLE_EQ(recap->effortMonths, 0.75);
    EXPECT_EQ(recap->projectsWorkedOn, (std::vector<std::string>{"alpha", "beta", "gamma"}));
    EXPECT_FALSE(recap->previousWeekComparison);
}

TEST_F(WeeklyRecapGeneratorTest, ChangePercentsAgainstThePreviousWeek) {
    struct Case {
        std::int64_t previousLines;
        std::int64_t lines;
        double expected;
    };
    for (const auto& [previousLines, lines, expected] :
         {Case{0, 500, 100.0}, Case{0, 0, 0.0}, Case{200, 300, 50.0}, Case{400, 100, -75.0}}) {
        rows.clear();
        add(alpha, localDate(2026, 2, 24), previousLines, 3);
        add(alpha, localDate(2026, 3, 3), lines, 0);
        const auto comparison = recapAt(localDate(2026, 3, 4, 12))->previousWeekComparison;
        ASSERT_TRUE(comparison);
        EXPECT_DOUBLE_EQ(comparison->linesChangePercent, expected) << previousLines << " " << lines;
        EXPECT_DOUBLE_EQ(comparison->commitsChangePercent, -100.0);
        EXPECT_EQ(comparison->activeDaysChange, -1);
    }
}

TEST(WeekComparison, ImprovingNeedsTwoOfThreeGrowing) {
    EXPECT_TRUE((WeekComparison{10, -5, 1}.isImproving()));
    EXPECT_FALSE((WeekComparison{10, 0, 0}.isImproving()));
    EXPECT_TRUE((WeekComparison{0.1, 0.1, -3}.isImproving()));
    EXPECT_FALSE((WeekComparison{0, 0, 5}.isImproving()));
}

} // namespace
} // namespace norvane
