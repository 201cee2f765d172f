#include "core/facade/NorvaneKit.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/persistence/Database.h"

#include "tests/core/collection/CollectionFixture.h"
#include "tests/support/ErrorMessage.h"

#include <fmt/format.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <thread>

namespace norvane {
namespace {

using testing::GitTestRepository;

TEST(NorvaneKitShared, CreatedOnceAndRetriedAfterAFailure) {
    testing::TemporaryHome home;
    // A file where the store folder belongs makes the first attempt fail.
    std::filesystem::create_directories(home.dataHome());
    std::ofstream(home.dataHome() / "Norvane") << "in the way";
    EXPECT_ANY_THROW(NorvaneKit::shared());
    std::filesystem::remove(home.dataHome() / "Norvane");

    std::vector<NorvaneKit*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < seen.size(); ++index) {
        threads.emplace_back([&seen, index] { seen[index] = &NorvaneKit::shared(); });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(std::set<NorvaneKit*>(seen.begin(), seen.end()).size(), 1U);
    EXPECT_EQ(&NorvaneKit::shared(), seen.front());
    EXPECT_EQ(seen.front()->container()->file(), home.dataHome() / "Norvane" / "norvane.store");
}

class NorvaneKitTest : public testing::CollectionFixture {
protected:
    NorvaneKit kit{NorvaneDatabase::makeInMemoryContainer(), SccService(testing::builtInCounterOnly())};
};

TEST_F(NorvaneKitTest, HistoryOfAllRunsProjectByProjectInNameOrder) {
    GitTestRepository first;
    GitTestRepository second;
    for (int day = 0; day < 3; ++day) {
        first.writeFile("a.c", std::string(static_cast<std::size_t>(day + 1), 'a') + "\n");
        first.commit(fmt::format("a{}", day), daysFromToday(-30 + day));
    }
    second.writeFile("b.c", "b\n");
    second.commit("b", daysFromToday(-3));
    kit.addProject("second", second.pathString(), std::nullopt, ProjectType::organic);
    kit.addProject("first", first.pathString(), std::nullopt, ProjectType::organic);

    std::vector<std::string> reports;
    const int total = kit.collectHistoryAll(std::nullopt, [&](const std::string& project, int current, int count,
                                                              const GitCommit& commit) {
        reports.push_back(project + " " + std::to_string(current) + "/" + std::to_string(count) + " " + commit.message);
    });
    EXPECT_EQ(total, 4);
    EXPECT_EQ(reports, (std::vector<std::string>{"first 1/3 a0", "first 2/3 a1", "first 3/3 a2", "second 1/1 b"}));
}

TEST_F(NorvaneKitTest, HistoryOfAllFailsWhenTheProjectsCannotBeListed) {
    kit.container()->withDatabase([](platform::Database& database) { database.execute("DROP TABLE project"); });
    EXPECT_THAT(testing::errorMessageOf<std::exception>([this] { kit.collectHistoryAll(); }),
                ::testing::HasSubstr("project"));
}

TEST_F(NorvaneKitTest, PortfolioMetricsLookAtTheLastSevenDaysOfItsOwnStore) {
    EXPECT_EQ(kit.portfolioMetrics().context(), kit.context());
    auto project = Project::create("alpha", "/tmp/alpha", std::nullopt, ProjectType::organic);
    kit.context()->insert(project);
    for (const auto& [daysAgo, effort] : {std::pair{10, 2.0}, std::pair{0, 3.0}}) {
        auto snapshot = Snapshot::create(project);
        snapshot->setSnapshotType(SnapshotType::gitHistory);
        snapshot->capturedAt = platform::LocalCalendar::addingDays(today(), -daysAgo);
        snapshot->cumulativeEffortMonths = effort;
        kit.context()->insert(snapshot);
    }

    EXPECT_EQ(kit.buildPortfolioSnapshots(), 2);
    // Only today's row lies in the window.
    const auto metrics = kit.getPortfolioMetrics();
    EXPECT_DOUBLE_EQ(metrics.dailyThroughput, 1.0);
    EXPECT_DOUBLE_EQ(metrics.totalEffortMonths, 3.0);
}

} // namespace
} // namespace norvane
