#include "core/analytics/MilestoneService.h"
#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

namespace norvane {
namespace {

using platform::Date;

/// Noon of a local day.
Date noonOn(int year, int month, int day) { return testing::localDate(year, month, day, 12); }

class MilestoneServiceTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::ScopedTimeZone zone{"Europe/Berlin"};
    MilestoneService service{context};

    std::shared_ptr<Project> project(const std::string& name, std::optional<Date> firstCommitAt = std::nullopt) {
        auto created = addProject(name);
        created->firstCommitAt = firstCommitAt;
        return created;
    }

    void history(const std::shared_ptr<Project>& owner, Date capturedAt, double cost, std::int64_t lines = 0,
                 SnapshotType type = SnapshotType::gitHistory) {
        auto snapshot = addSnapshot(owner, capturedAt, type);
        snapshot->cumulativeEstimatedCost = cost;
        snapshot->cumulativeLinesChanged = lines;
    }

    static std::vector<MilestoneType> typesOf(const MilestoneProgress& progress) {
        std::vector<MilestoneType> types;
        for (const auto& milestone : progress.reached) types.push_back(milestone.type);
        return types;
    }
};

TEST_F(MilestoneServiceTest, ThresholdsAreReachedAtOrAbove) {
    struct Case {
        double cost;
        std::int64_t lines;
        std::vector<MilestoneType> reached;
    };
    const Case cases[] = {
        {9999.99, 999, {}},
        {10000, 999, {MilestoneType::value10k}},
        {0, 1000, {MilestoneType::sloc1k}},
        {120000,
         12000,
         {MilestoneType::value10k, MilestoneType::value50k, MilestoneType::value100k, MilestoneType::sloc1k,
          MilestoneType::sloc5k, MilestoneType::sloc10k}},
    };
    for (const auto& [cost, lines, reached] : cases) {
        auto owner = project(fmt::format("p{}-{}", cost, lines));
        history(owner, noonOn(2026, 2, 1), cost, lines);
        const auto progress = service.getMilestones(owner);
        EXPECT_EQ(typesOf(progress), reached) << cost << " " << lines;
        for (const auto& milestone : progress.reached) EXPECT_EQ(milestone.reachedAt, noonOn(2026, 2, 1));
    }
}

TEST_F(MilestoneServiceTest, ReachedListIsInDateOrderWithTheReachingFigures) {
    auto alpha = project("alpha", testing::localDate(2026, 3, 27, 0));
    // Newer first on purpose; and across Berlin's clock change on 29 March.
    history(alpha, testing::localDate(2026, 3, 31, 0), 60000, 1500);
    history(alpha, testing::localDate(2026, 3, 28, 0), 12000, 400);
    history(alpha, testing::localDate(2026, 3, 27, 0), 100, 1000);
    const auto progress = service.getMilestones(alpha);
    std::vector<std::tuple<MilestoneType, int, double>> reached;
    for (const auto& milestone : progress.reached) {
        reached.emplace_back(milestone.type, milestone.daysFromStart, milestone.value);
    }
    EXPECT_EQ(reached, (decltype(reached){{MilestoneType::sloc1k, 0, 1000.0},
                                          {MilestoneType::value10k, 1, 12000.0},
                                          {MilestoneType::value50k, 4, 60000.0}}));
    EXPECT_EQ(std::tuple(progress.currentValue, progress.currentSloc), std::tuple(60000.0, 1500));
}

TEST_F(MilestoneServiceTest, ProgressTowardsTheNextCostMilestone) {
    struct Case {
        std::vector<double> costs;
        std::optional<MilestoneType> next;
        std::optional<double> progress;
    };
    const Case cases[] = {
        {{5000}, MilestoneType::value10k, 0.5},
        {{10000, 30000}, MilestoneType::value50k, 0.5},
        {{12000, 8000}, MilestoneType::value50k, 0.0},
        {{100000, 300000}, MilestoneType::value500k, 0.5},
        {{2000000}, std::nullopt, std::nullopt},
        {{}, MilestoneType::value10k, 0.0}, // measurements that are no history count for nothing
    };
    int index = 0;
    for (const auto& [costs, next, expected] : cases) {
        auto owner = project(fmt::format("p{}", index++));
        history(owner, noonOn(2026, 1, 5), 900000, 90000, SnapshotType::scc);
        int day = 1;
        for (const double cost : costs) history(owner, noonOn(2026, 1, day++), cost, 100);
        const auto progress = service.getMilestones(owner);
        EXPECT_EQ(progress.nextMilestone, next) << index;
        ASSERT_EQ(progress.progressToNext.has_value(), expected.has_value()) << index;
        if (expected) {
            EXPECT_DOUBLE_EQ(*progress.progressToNext, *expected) << index;
        }
    }
}

TEST_F(MilestoneServiceTest, AverageDaysOverProjectsThatReachedIt) {
    EXPECT_EQ(service.getAverageTimeToMilestone(MilestoneType::value10k), std::nullopt);

    auto alpha = project("alpha", noonOn(2026, 1, 1));
    history(alpha, noonOn(2026, 1, 11), 10000);
    auto beta = project("beta", noonOn(2026, 1, 1));
    beta->status = ProjectStatus::archived;
    history(beta, noonOn(2026, 1, 16), 15000);
    project("gamma");
    EXPECT_EQ(service.getAverageTimeToMilestone(MilestoneType::value10k), 12);
    EXPECT_EQ(service.getAverageTimeToMilestone(MilestoneType::value50k), std::nullopt);

    // Days count from the first commit, else from the oldest snapshot.
    auto early = project("early", noonOn(2026, 2, 4));
    history(early, noonOn(2026, 2, 1), 0, 1000);
    auto prompt = project("prompt", noonOn(2026, 2, 1));
    history(prompt, noonOn(2026, 2, 1), 0, 1000);
    auto undated = project("undated");
    history(undated, noonOn(2026, 1, 30), 0, 100);
    history(undated, noonOn(2026, 2, 1), 0, 1000);
    EXPECT_EQ(service.getAverageTimeToMilestone(MilestoneType::sloc1k), 0); // (-3 + 0 + 2) / 3
}

} // namespace
} // namespace norvane
