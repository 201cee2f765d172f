// The velocity baseline waits until the first commit is 60 whole days old: at exactly 60 days it
// is set, a second earlier it is not.

#include "tests/core/collection/CollectionFixture.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ManualClock.h"

#include "core/models/DailyActivity.h"

namespace norvane {
namespace {

class VelocityBaselineAge : public testing::CollectionFixture {
protected:
    /// A project whose first commit was at `firstCommit`, with a row of 60 code lines inserted and
    /// 40 deleted on its first day and one of 300 inserted 20 days later.
    std::shared_ptr<Project> projectBegunAt(platform::Date firstCommit) {
        const auto project = addProject("demo", "/nowhere");
        addRow(project, firstCommit, 60, 40);
        addRow(project, platform::LocalCalendar::addingDays(firstCommit, 20), 300, 0);
        context->save();
        return project;
    }

    void addRow(const std::shared_ptr<Project>& project, platform::Date day, int inserted, int deleted) {
        auto row = DailyActivity::create(project, platform::LocalCalendar::startOfDay(day));
        row->codeLinesInserted = inserted;
        row->codeLinesDeleted = deleted;
        context->insert(row);
    }

    testing::ManualClock clock{testing::utc("2025-06-15T12:00:00Z")};
    Collector pinned{context, SccService(testing::builtInCounterOnly()), GitService(), clock.clock()};
};

TEST_F(VelocityBaselineAge, IsSetOnceTheFirstCommitIsExactlySixtyDaysOld) {
    const auto project = projectBegunAt(platform::LocalCalendar::addingDays(clock.now(), -60));
    pinned.calculateBaselineVelocityIfNeeded(project, platform::LocalCalendar::addingDays(clock.now(), -60));
    // (60 + 40 + 300) lines over 2 rows.
    EXPECT_EQ(project->baselineVelocity, 200.0);
    EXPECT_EQ(project->baselineCalculatedAt, clock.now());
}

TEST_F(VelocityBaselineAge, IsNotSetASecondBefore) {
    const auto firstCommit = platform::LocalCalendar::addingDays(clock.now(), -60) + std::chrono::seconds(1);
    const auto project = projectBegunAt(firstCommit);
    pinned.calculateBaselineVelocityIfNeeded(project, firstCommit);
    EXPECT_FALSE(project->baselineVelocity);
    EXPECT_FALSE(project->baselineCalculatedAt);
}

} // namespace
} // namespace norvane
