#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/LocalCalendar.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

TEST(NorvaneKitAnalytics, ForwardsToThePortfolioMetricsOfItsContext) {
    NorvaneKit kit(NorvaneDatabase::makeInMemoryContainer());
    EXPECT_EQ(kit.portfolioMetrics().context(), kit.context());

    auto project = Project::create("alpha", "/tmp/alpha", std::nullopt, ProjectType::organic);
    kit.context()->insert(project);
    const platform::Date today = platform::LocalCalendar::startOfDay(platform::currentDate());
    const std::pair<int, double> history[] = {{10, 2.0}, {0, 3.0}};
    for (const auto& [daysAgo, effort] : history) {
        auto snapshot = Snapshot::create(project);
        snapshot->setSnapshotType(SnapshotType::gitHistory);
        snapshot->capturedAt = platform::LocalCalendar::addingDays(today, -daysAgo);
        snapshot->cumulativeEffortMonths = effort;
        kit.context()->insert(snapshot);
    }

    EXPECT_EQ(kit.buildPortfolioSnapshots(), 2);
    // Only today's row lies in the fixed 7-day window.
    const auto metrics = kit.getPortfolioMetrics();
    EXPECT_DOUBLE_EQ(metrics.dailyThroughput, 1.0);
    EXPECT_DOUBLE_EQ(metrics.totalEffortMonths, 3.0);

    const auto throughput = kit.getDailyThroughputSeries(30);
    ASSERT_EQ(throughput.size(), 2U);
    EXPECT_DOUBLE_EQ(throughput[0].throughput, 2.0);
    const auto parallelism = kit.getParallelismSeries(5);
    ASSERT_EQ(parallelism.size(), 1U);
    EXPECT_EQ(parallelism[0].projects, std::vector<std::string>{"alpha"});
}

} // namespace
} // namespace norvane
