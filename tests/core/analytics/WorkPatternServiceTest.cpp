#include "core/analytics/WorkPatternService.h"
#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using platform::Date;

using testing::localDate;

class WorkPatternServiceTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::ScopedTimeZone zone{"Europe/Berlin"};
    // Thursday 2 April 2026, after the clocks went forward.
    const Date now = localDate(2026, 4, 2, 10, 30);
    std::shared_ptr<Project> project = addProject("alpha");
    WorkPatternService service{context, [this] { return now; }};

    void commitAt(Date capturedAt) { addSnapshot(project, capturedAt, SnapshotType::gitHistory); }
};

TEST_F(WorkPatternServiceTest, NoHistoryInTheWindowGivesTheEmptyResult) {
    addSnapshot(project, localDate(2026, 4, 1, 12), SnapshotType::scc);
    commitAt(localDate(2026, 1, 1, 12));
    const auto patterns = service.analyzePatterns(30);
    EXPECT_TRUE(patterns.hourlyDistribution.empty() && patterns.dailyDistribution.empty());
    EXPECT_FALSE(patterns.peakHour || patterns.peakDay || patterns.isNightOwl || patterns.isEarlyBird);
    EXPECT_EQ(std::tuple(patterns.weekendPercentage, patterns.totalCommits), std::tuple(0.0, 0));
}

TEST_F(WorkPatternServiceTest, WindowStartsAtTheSameTimeOfDayCalendarDaysBack) {
    const Date cutoff = localDate(2026, 3, 26, 10, 30); // 7 days back, across the clock change
    commitAt(cutoff);
    commitAt(cutoff - std::chrono::microseconds(1));
    EXPECT_EQ(service.analyzePatterns(7).totalCommits, 1);

    commitAt(now);
    commitAt(now - std::chrono::seconds(1));
    EXPECT_EQ(service.analyzePatterns(0).totalCommits, 1);
}

TEST_F(WorkPatternServiceTest, DistributionsPeaksAndWeekendShare) {
    auto archived = addProject("old");
    archived->status = ProjectStatus::archived;
    addSnapshot(archived, localDate(2026, 3, 28, 14, 5), SnapshotType::gitHistory); // Saturday
    commitAt(localDate(2026, 3, 29, 9));                                            // Sunday
    commitAt(localDate(2026, 3, 30, 8));                                            // Monday
    const auto patterns = service.analyzePatterns(30);
    EXPECT_EQ(patterns.totalCommits, 3);
    EXPECT_EQ(patterns.dailyDistribution, (std::map<int, int>{{1, 1}, {2, 1}, {7, 1}}));
    EXPECT_EQ(patterns.hourlyDistribution, (std::map<int, int>{{8, 1}, {9, 1}, {14, 1}}));
    // Sunday is row 0 of the heat map; ties of the peaks go to the lowest key.
    EXPECT_EQ(std::tuple(patterns.heatmap[0][9], patterns.heatmap[6][14], patterns.peakDay, patterns.peakHour),
              std::tuple(1, 1, 1, 8));
    EXPECT_DOUBLE_EQ(patterns.weekendPercentage, 200.0 / 3);
}

TEST_F(WorkPatternServiceTest, NightOwlAndEarlyBirdNeedMoreThanFortyPercent) {
    struct Case {
        std::vector<int> hours;
        bool nightOwl;
        bool earlyBird;
    };
    const Case cases[] = {
        {{20, 21, 22, 23, 12, 12, 12, 12, 12, 12}, false, false},
        {{20, 21, 22, 23, 23, 12, 12, 12, 12, 12}, true, false},
        {{0, 3, 9, 9, 12, 12, 12, 12, 12, 12}, false, false},
        {{0, 3, 9, 9, 3, 12, 12, 12, 12, 12}, false, true},
        {{3, 3, 3, 21, 22, 23}, true, true},
        {{10, 19, 19}, false, false},
    };
    for (const auto& [hours, nightOwl, earlyBird] : cases) {
        for (const auto& snapshot : context->fetch<Snapshot>()) context->remove(snapshot);
        for (const int hour : hours) commitAt(localDate(2026, 3, 31, hour));
        const auto patterns = service.analyzePatterns(30);
        EXPECT_EQ(patterns.totalCommits, static_cast<int>(hours.size()));
        EXPECT_EQ(patterns.isNightOwl, nightOwl) << hours.size() << " " << hours[0];
        EXPECT_EQ(patterns.isEarlyBird, earlyBird) << hours.size() << " " << hours[0];
    }
}

} // namespace
} // namespace norvane
