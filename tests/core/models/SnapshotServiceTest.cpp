#include "core/models/SnapshotService.h"
#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using std::chrono::hours;

class SnapshotServiceTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    platform::Date now = platform::LocalCalendar::startOfDay(platform::currentDate()) + hours(12);
    SnapshotService service{context, [this] { return now; }};
    std::shared_ptr<Project> project = Project::create("alpha", "/tmp", std::nullopt, ProjectType::organic);

    std::shared_ptr<Snapshot> save(platform::Date capturedAt, SnapshotType type = SnapshotType::scc) {
        auto snapshot = Snapshot::create(project);
        snapshot->capturedAt = capturedAt;
        snapshot->setSnapshotType(type);
        service.saveSnapshot(snapshot, {SnapshotLanguage::create("C", nullptr)});
        return snapshot;
    }
};

TEST_F(SnapshotServiceTest, OrdersAndLimitsAndRanges) {
    auto first = save(now - hours(48));
    auto second = save(now - hours(24));
    auto third = save(now);
    EXPECT_EQ(service.getSnapshots(project), (std::vector{third, second, first}));
    EXPECT_EQ(service.getSnapshots(project, 1), (std::vector{third}));
    EXPECT_EQ(service.getLatestSnapshot(project), third);
    EXPECT_EQ(service.getSnapshots(project, now - hours(48), now - hours(24)), (std::vector{first, second}));
    EXPECT_TRUE(service.getSnapshots(project, now, now - hours(1)).empty());
    EXPECT_EQ(third->languages().size(), 1U);
}

TEST_F(SnapshotServiceTest, TodayIsTheHalfOpenLocalDay) {
    const auto start = platform::LocalCalendar::startOfDay(now);
    auto atMidnight = save(start);
    save(start - hours(1));
    save(platform::LocalCalendar::addingDays(start, 1));
    EXPECT_EQ(service.getTodaysSnapshots(project), (std::vector{atMidnight}));
}

TEST_F(SnapshotServiceTest, DeletesOnlyHistoryFromTheGivenDate) {
    save(now - hours(72), SnapshotType::gitHistory);
    auto kept = save(now - hours(72) - hours(1), SnapshotType::gitHistory);
    auto code = save(now);
    save(now - hours(24), SnapshotType::gitHistory);
    EXPECT_EQ(service.deleteGitHistorySnapshots(project, now - hours(72)), 2U);
    EXPECT_EQ(service.getSnapshots(project), (std::vector{code, kept}));
    EXPECT_EQ(service.deleteGitHistorySnapshots(project, platform::distantPast()), 1U);
    service.deleteSnapshots(project);
    EXPECT_TRUE(service.getSnapshots(project).empty());
    EXPECT_TRUE(context->fetch<SnapshotLanguage>().empty());
}

} // namespace
} // namespace norvane
