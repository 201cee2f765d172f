#include "core/collection/Collector.h"

#include "tests/core/collection/CollectionFixture.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using namespace InitialCollectionStage;
using testing::GitTestRepository;

class InitialCollectionTest : public testing::CollectionFixture {
protected:
    InitialCollectionResult run(const std::shared_ptr<Project>& project) {
        return collector.collectInitialData(
            project, [this](const InitialCollectionProgress& stage) { stages.push_back(stage); });
    }

    std::vector<InitialCollectionProgress> stages;
};

TEST_F(InitialCollectionTest, RepositoryReportsEveryStage) {
    GitTestRepository repository;
    const auto start = daysFromToday(-30);
    const std::string longSubject(80, 's');
    repository.writeFile("a.c", "int a;\nint b;\n");
    repository.commit("first", start);
    repository.writeFile("b.c", "int c;\n");
    repository.commit("second", start + std::chrono::hours(2));
    repository.writeFile("c.c", "int d;\n");
    repository.commit(longSubject + "\n\nbody", platform::LocalCalendar::addingDays(start, 10));
    const auto project = addProject("demo", repository.pathString());

    const auto result = run(project);
    EXPECT_TRUE(result.isSuccess());
    EXPECT_EQ(result.project, project);
    ASSERT_TRUE(result.sccSnapshot);
    EXPECT_EQ(result.historySnapshots, 2);
    EXPECT_EQ(result.totalCommits, 3);
    const std::vector<InitialCollectionProgress> expected{
        Starting{},
        RunningScc{},
        SccComplete{4},
        ImportingHistory{1, 2, "first"},
        ImportingHistory{2, 2, std::string(50, 's')},
        HistoryComplete{2},
        Complete{},
    };
    EXPECT_EQ(stages, expected);
}

TEST_F(InitialCollectionTest, FolderWithoutRepository) {
    testing::TemporaryFolder folder;
    folder.writeFile("notes.md", "# Notes\n");
    const auto result = run(addProject("notes", folder.path().string()));
    EXPECT_TRUE(result.isSuccess());
    EXPECT_EQ(result.historySnapshots, 0);
    EXPECT_EQ(result.totalCommits, 0);
    const std::vector<InitialCollectionProgress> expected{Starting{}, RunningScc{}, SccComplete{1}, Complete{}};
    EXPECT_EQ(stages, expected);
}

TEST_F(InitialCollectionTest, MissingFolderEndsWithTheError) {
    const auto result = run(addProject("gone", "/no/such/folder"));
    EXPECT_FALSE(result.isSuccess());
    EXPECT_FALSE(result.sccSnapshot);
    ASSERT_TRUE(result.error);
    EXPECT_EQ(result.error->norvaneError, NorvaneError::pathNotFound("/no/such/folder"));
    const std::vector<InitialCollectionProgress> expected{Starting{}, RunningScc{},
                                                          Error{"Path not found: /no/such/folder"}};
    EXPECT_EQ(stages, expected);
}

TEST_F(InitialCollectionTest, WorksWithoutCallback) {
    GitTestRepository repository;
    repository.writeFile("a.c", "int a;\n");
    repository.commit("only", daysFromToday(-3));
    const auto result = collector.collectInitialData(addProject("demo", repository.pathString()));
    EXPECT_TRUE(result.isSuccess());
    EXPECT_EQ(result.historySnapshots, 1);
}

} // namespace
} // namespace norvane
