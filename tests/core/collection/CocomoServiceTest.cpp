#include "core/collection/CocomoService.h"

#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

class CocomoServiceTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    std::shared_ptr<Project> project(const std::string& name, int64_t codeLines,
                                     ProjectStatus status = ProjectStatus::active) {
        auto created = addProject(name, ProjectType::embedded);
        created->status = status;
        addSnapshot(created, now)->codeLines = codeLines;
        context->save();
        return created;
    }

    std::size_t settingsRows() { return context->fetch<AppSettings>().size(); }

    const platform::Date now = platform::currentDate();
    CocomoService service{context, [this] { return now; }};
};

TEST_F(CocomoServiceTest, SettingsAreCreatedOnceAndUpdatedWhereGiven) {
    const auto created = service.getSettings();
    EXPECT_EQ(created->averageWage, 150000);
    auto second = AppSettings::defaults();
    second->headcount = 7;
    context->insert(second);
    context->save();
    EXPECT_EQ(service.getSettings(), created); // the oldest wins

    service.updateSettings(std::nullopt, std::nullopt, 3, std::nullopt);
    service.updateSettings(120000, 2.0, std::nullopt, ProjectType::semiDetached);
    EXPECT_EQ(std::tuple(created->headcount, created->averageWage, created->defaultProjectType, settingsRows()),
              std::tuple(3, 120000, ProjectType::semiDetached, 2U));
    EXPECT_FALSE(context->hasChanges());
}

TEST_F(CocomoServiceTest, ProjectEstimateUsesTheNewestSnapshotOfAnyType) {
    const auto demo = project("demo", 1000);
    EXPECT_EQ(settingsRows(), 0U);
    addSnapshot(demo, now + std::chrono::hours(1), SnapshotType::gitHistory)->codeLines = 10000;
    context->save();
    const auto estimate = service.calculateEstimate(demo);
    ASSERT_TRUE(estimate);
    EXPECT_EQ(estimate->sloc, 10000);
    EXPECT_NEAR(estimate->effortMonths, 57.0562, 5e-5); // the project's embedded mode

    const auto none = addProject("none");
    context->save();
    EXPECT_FALSE(service.calculateEstimate(none));
    auto orphan = Snapshot::create(nullptr);
    orphan->codeLines = 1000;
    EXPECT_NEAR(service.calculateEstimate(orphan).effortMonths, 2.4, 1e-9);
}

TEST_F(CocomoServiceTest, PortfolioIsOneCodebaseInTheDefaultMode) {
    project("a", 6000);
    project("b", 4000, ProjectStatus::paused);
    project("old", 90000, ProjectStatus::archived);
    const auto estimate = service.calculatePortfolioEstimate();
    EXPECT_EQ(estimate.sloc, 10000);
    EXPECT_NEAR(estimate.effortMonths, 26.93, 5e-3);
}

TEST_F(CocomoServiceTest, PortfolioLeverage) {
    EXPECT_EQ(service.calculatePortfolioLeverage().leverage, 0);
    const auto demo = project("demo", 10000);
    demo->firstCommitAt = now - std::chrono::hours(5);
    context->save();
    EXPECT_EQ(service.calculatePortfolioLeverage().leverage, 0); // less than a whole day

    demo->firstCommitAt = platform::LocalCalendar::addingDays(now, -90);
    const auto archived = project("archived", 5, ProjectStatus::archived);
    archived->firstCommitAt = platform::LocalCalendar::addingDays(now, -900);
    context->save();
    const auto leverage = service.calculatePortfolioLeverage();
    EXPECT_EQ(leverage.startDate, demo->firstCommitAt);
    EXPECT_NEAR(leverage.leverage, 8.976, 5e-4);
}

} // namespace
} // namespace norvane
