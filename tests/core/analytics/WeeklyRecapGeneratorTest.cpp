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

TEST_F(WeeklyRecapGeneratorTest, WeekRunsFromMondayAndOnAMondayIsTheWeekBefore) {
    // 2^day lines on each of 1 to 9 March 2026: Sunday 1, Monday 2 ... Monday 9.
    for (int day = 1; day <= 9; ++day) add(alpha, localDate(2026, 3, day), std::int64_t{1} << day, 1);
    for (const Date now : {localDate(2026, 3, 4, 18), localDate(2026, 3, 8, 23), localDate(2026, 3, 9, 9)}) {
        const auto recap = recapAt(now);
        ASSERT_TRUE(recap);
        EXPECT_EQ(std::tuple(recap->weekStart, recap->totalLinesChanged, recap->activeDays, recap->bestDay->dayOfWeek),
                  std::tuple(localDate(2026, 3, 2), 512 - 4, 7, "Sunday"));
        EXPECT_DOUBLE_EQ(recap->previousWeekComparison->linesChangePercent, (508 - 2) / 2.0 * 100.0);
        EXPECT_EQ(std::tuple(recap->currentStreak, recap->indexChange), std::tuple(4, 2));
    }
}

TEST_F(WeeklyRecapGeneratorTest, OnAClockChangeDayMondayStaysInTheWeek) {
    for (const auto& change : testing::clockChanges) {
        const testing::ScopedTimeZone changeZone(change.zone);
        rows.clear();
        const Date today = change.noon();
        const auto daysSinceMonday = (platform::LocalCalendar::components(today).weekday + 5) % 7;
        const Date monday = platform::LocalCalendar::startOfDay(change.noon(-daysSinceMonday));
        add(alpha, monday, 100, 1);
        add(alpha, platform::LocalCalendar::startOfDay(today), 10, 1);
        const auto recap = recapAt(today);
        ASSERT_TRUE(recap) << change.zone;
        EXPECT_EQ(recap->weekStart, monday) << change.zone;
        EXPECT_EQ(recap->totalLinesChanged, 110) << change.zone;
        EXPECT_FALSE(recap->previousWeekComparison) << change.zone;
    }
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
    add(Project::create("gamma", "/tmp/g", std::nullopt, ProjectType::organic), localDate(2026, 3, 4), 10, 1)
        ->estimatedEffortMonths = 0.5;
    const auto recap = recapAt(localDate(2026, 3, 4, 12));
    ASSERT_TRUE(recap);
    EXPECT_EQ(std::tuple(recap->totalLinesChanged, recap->activeDays, recap->totalCommits, recap->codeLinesChanged,
                         recap->docsLinesChanged, recap->testLinesChanged, recap->configLinesChanged),
              std::tuple(80, 1, 3, 15, 3, 2, 1));
    EXPECT_DOUBLE_EQ(recap->effortMonths, 0.75);
    EXPECT_EQ(recap->projectsWorkedOn, (std::vector<std::string>{"alpha", "beta", "gamma"}));
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
    EXPECT_TRUE((WeekComparison{10, -5, 1}.isImproving()));
    EXPECT_FALSE((WeekComparison{10, 0, 0}.isImproving()));
}

} // namespace
} // namespace norvane
