#include "Norvane/state/BackgroundScheduler.h"

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/LocalCalendar.h"
#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app {
namespace {

using testing::AppStateFixture;

const AppState::Timing noWait{std::chrono::milliseconds(0), std::chrono::milliseconds(0), std::chrono::hours(6),
                              std::chrono::milliseconds(10)};

platform::Date minutesIntoToday(int minutes) {
    return platform::LocalCalendar::startOfDay(platform::currentDate()) + std::chrono::minutes(minutes);
}

/// Runs one check and waits until it has ended.
void check(AppState& state) {
    ASSERT_TRUE(testing::finishes([&](auto done) { state.scheduler().collectIfNeeded(done); }));
}

TEST(BackgroundScheduler, StartUpWithoutProjectsCollectsAndNotifies) {
    AppStateFixture fixture;
    auto state = fixture.makeState(noWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.notifications.empty(); }));

    EXPECT_EQ(fixture.collection->collectAllCalls, 1);
    EXPECT_EQ(fixture.notifications, std::vector<QString>{"Norvane: Metrics collection completed"});
    EXPECT_EQ(state->scheduler().checkInterval(), std::chrono::seconds(21600));
    ASSERT_TRUE(state->scheduler().nextScheduledCollection());
    EXPECT_GT(*state->scheduler().nextScheduledCollection(), platform::currentDate() + std::chrono::hours(5));
}

// Found with a database browser that kept the write lock as the application started: the daily
// collection logged its project's failure once, and left it until the next check six hours later.
TEST(BackgroundScheduler, TheDailyCollectionThatAnotherProgramKeepsWaitingNotifiesOnceItLanded) {
    AppStateFixture fixture;
    auto atlas = fixture.metrics->addProject("Atlas");
    fixture.collection->allResults = {testing::succeeded(atlas, false)};
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    fixture.collection->keptWaiting["Atlas"] = 2;
    auto state = fixture.makeState(noWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.notifications.empty(); }, 60'000));
    EXPECT_EQ(fixture.collection->projectCalls["Atlas"], 2);
    EXPECT_FALSE(state->lastCollectionError());
    EXPECT_EQ(fixture.notifications, std::vector<QString>{"Norvane: Metrics collection completed"});
}

TEST(BackgroundScheduler, ASnapshotFromTodaySkipsTheCollection) {
    AppStateFixture fixture;
    auto atlas = fixture.metrics->addProject("Atlas");
    fixture.metrics->addSnapshot(atlas, platform::LocalCalendar::addingDays(platform::currentDate(), -3));
    fixture.metrics->addSnapshot(atlas, minutesIntoToday(1));
    auto state = fixture.makeState();

    check(*state);
    EXPECT_EQ(fixture.collection->collectAllCalls, 0);
    EXPECT_TRUE(fixture.notifications.empty());
    EXPECT_EQ(state->scheduler().lastCollectionDate(), minutesIntoToday(1));
}

TEST(BackgroundScheduler, AnAddThatDidNotFinishIsCollectedThoughTodayHasASnapshot) {
    AppStateFixture fixture;
    // A repository's project counted today, whose history was never imported: its add was cut short.
    const norvane::testing::TemporaryFolder repository;
    std::filesystem::create_directory(repository.path() / ".git");
    auto atlas = testing::saveProject(*fixture.metrics->context, "Atlas", ProjectStatus::active,
                                      [&](Project& project) { project.path = repository.path().string(); });
    fixture.metrics->addSnapshot(atlas, minutesIntoToday(1));
    auto state = fixture.makeState(noWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.notifications.empty(); }));
    EXPECT_EQ(fixture.collection->collectAllCalls, 1);
}

TEST(BackgroundScheduler, AnArchivedProjectsAddThatDidNotFinishIsCollectedToo) {
    AppStateFixture fixture;
    const norvane::testing::TemporaryFolder repository;
    std::filesystem::create_directory(repository.path() / ".git");
    testing::saveProject(*fixture.metrics->context, "Old", ProjectStatus::archived,
                         [&](Project& project) { project.path = repository.path().string(); });
    fixture.metrics->addSnapshot(fixture.metrics->addProject("Atlas"), minutesIntoToday(1));
    auto state = fixture.makeState(noWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.notifications.empty(); }));
    EXPECT_EQ(fixture.collection->collectAllCalls, 1);
    EXPECT_EQ(state->scheduler().lastCollectionDate(), minutesIntoToday(1));
}

TEST(BackgroundScheduler, AListThatCannotBeReadKeepsTheDateShownAndIsLogged) {
    AppStateFixture fixture;
    fixture.metrics->addSnapshot(fixture.metrics->addProject("Atlas"), minutesIntoToday(1));
    auto state = fixture.makeState(noWait);
    ASSERT_EQ(state->scheduler().lastCollectionDate(), minutesIntoToday(1));
    fixture.metrics->failingStep = "projects";
    testing::CapturedWarnings warnings;

    check(*state);
    EXPECT_EQ(state->scheduler().lastCollectionDate(), minutesIntoToday(1));
    EXPECT_TRUE(std::ranges::count(testing::CapturedWarnings::lines(),
                                   "norvane.state: Failed to read when the projects were last collected: projects "
                                   "failed") > 0);
}

TEST(BackgroundScheduler, OnlyYesterdaysOrArchivedSnapshotsMakeItCollect) {
    AppStateFixture fixture;
    auto atlas = fixture.metrics->addProject("Atlas");
    auto old = fixture.metrics->addProject("Old", ProjectStatus::archived);
    const auto yesterday = platform::LocalCalendar::addingDays(minutesIntoToday(600), -1);
    fixture.metrics->addSnapshot(atlas, yesterday);
    fixture.metrics->addSnapshot(old, minutesIntoToday(1));
    auto state = fixture.makeState(noWait);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.notifications.empty(); }));

    EXPECT_EQ(fixture.collection->collectAllCalls, 1);
    EXPECT_EQ(state->scheduler().lastCollectionDate(), yesterday) << "archived snapshots do not count";
}

TEST(BackgroundScheduler, ACheckDuringACollectionDoesNothing) {
    AppStateFixture fixture;
    auto atlas = fixture.metrics->addProject("Atlas");
    fixture.metrics->addSnapshot(atlas, platform::LocalCalendar::addingDays(minutesIntoToday(1), -1));
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    auto state = fixture.makeState({std::chrono::hours(1), std::chrono::hours(1), std::chrono::hours(6)});
    state->collectProject("Atlas");

    check(*state);
    EXPECT_FALSE(state->scheduler().lastCollectionDate()) << "not even the date is noted";
    EXPECT_TRUE(fixture.notifications.empty());
}

TEST(BackgroundScheduler, ACollectionStartedDuringTheWaitStillEndsInTheNotification) {
    AppStateFixture fixture;
    auto atlas = fixture.metrics->addProject("Atlas");
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    auto state = fixture.makeState({std::chrono::hours(1), std::chrono::milliseconds(50), std::chrono::hours(6)});
    fixture.notifications.clear();

    ASSERT_TRUE(testing::finishes([&](auto done) {
        state->scheduler().collectIfNeeded(done);
        state->collectProject("Atlas");
    }));
    EXPECT_EQ(fixture.collection->collectAllCalls, 0);
    EXPECT_FALSE(fixture.notifications.empty());
}

} // namespace
} // namespace norvane::app
