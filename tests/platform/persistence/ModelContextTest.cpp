#include "platform/persistence/ModelContext.h"
#include "core/models/DailyActivity.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/persistence/StoreError.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace norvane {
namespace {

using platform::ModelContext;
using std::chrono::hours;

platform::Date day(int n) {
    return platform::Date(std::chrono::duration_cast<std::chrono::microseconds>(hours(24 * (20000 + n))));
}

class ModelContextTest : public ::testing::Test {
protected:
    testing::TemporaryFolder folder;
    std::filesystem::path file = folder.path() / "norvane.store";
    std::shared_ptr<platform::ModelContainer> container = NorvaneDatabase::makeContainer(file);
    std::shared_ptr<ModelContext> context = std::make_shared<ModelContext>(container);

    std::shared_ptr<Project> addProject(const std::string& name) {
        auto project = Project::create(name, "/tmp", std::nullopt, ProjectType::organic);
        context->insert(project);
        return project;
    }

    std::shared_ptr<ModelContext> freshContext() {
        return std::make_shared<ModelContext>(NorvaneDatabase::makeContainer(file));
    }
};

TEST_F(ModelContextTest, SavedRecordsReadBackWithTheirValuesAndIdentity) {
    auto project = addProject("alpha");
    project->projectDescription = "desc";
    project->status = ProjectStatus::paused;
    project->projectType = ProjectType::embedded;
    project->baselineVelocity = 12.5;
    project->firstCommitAt = day(1);
    context->save();

    auto again = context->fetch<Project>();
    ASSERT_EQ(again.size(), 1U);
    EXPECT_EQ(again.front().get(), project.get()) << "one object per row in a context";

    auto other = freshContext()->fetch<Project>();
    ASSERT_EQ(other.size(), 1U);
    const auto& loaded = *other.front();
    EXPECT_EQ(loaded.id, project->id);
    EXPECT_EQ(loaded.name, "alpha");
    EXPECT_EQ(loaded.projectDescription, "desc");
    EXPECT_EQ(loaded.status, ProjectStatus::paused);
    EXPECT_EQ(loaded.projectType, ProjectType::embedded);
    EXPECT_EQ(loaded.baselineVelocity, 12.5);
    EXPECT_EQ(loaded.firstCommitAt, day(1));
    EXPECT_FALSE(loaded.latestCommitAt);
    EXPECT_EQ(loaded.createdAt, project->createdAt);
}

TEST_F(ModelContextTest, ModifiedRecordsAreFoundAtSave) {
    auto project = addProject("alpha");
    context->save();
    project->path = "/elsewhere";
    EXPECT_TRUE(context->hasChanges());
    context->save();
    EXPECT_FALSE(context->hasChanges());
    EXPECT_EQ(freshContext()->fetch<Project>().front()->path, "/elsewhere");
}

TEST_F(ModelContextTest, EveryKindOfChangeToSeveralRecordsIsWrittenInOneSave) {
    auto alpha = addProject("alpha");
    auto beta = addProject("beta");
    alpha->projectDescription = "first";
    std::vector<std::shared_ptr<Snapshot>> snapshots;
    for (int i = 0; i < 3; ++i) {
        snapshots.push_back(Snapshot::create(alpha));
        snapshots.back()->latestCommitHash = "hash" + std::to_string(i);
        context->insert(snapshots.back());
    }
    auto leaving = DailyActivity::create(alpha, day(1));
    auto staying = DailyActivity::create(alpha, day(2));
    context->insert(leaving);
    context->insert(staying);
    context->save();
    EXPECT_FALSE(context->hasChanges());

    alpha->projectDescription = std::nullopt;
    alpha->status = ProjectStatus::paused;
    beta->baselineVelocity = 2.5;
    beta->firstCommitAt = day(3);
    snapshots[0]->project = beta;
    snapshots[1]->latestCommitHash = "changed";
    snapshots[2]->cumulativeEffortMonths = 1.25;
    context->remove(leaving);
    context->save();
    EXPECT_FALSE(context->hasChanges());

    auto other = freshContext();
    const auto projects = other->fetch<Project>({.sortBy = {platform::ascending(ProjectField::name)}});
    ASSERT_EQ(projects.size(), 2U);
    EXPECT_FALSE(projects[0]->projectDescription);
    EXPECT_EQ(projects[0]->status, ProjectStatus::paused);
    EXPECT_EQ(projects[1]->baselineVelocity, 2.5);
    EXPECT_EQ(projects[1]->firstCommitAt, day(3));
    std::map<std::string, std::shared_ptr<Snapshot>> byHash;
    for (const auto& snapshot : other->fetch<Snapshot>()) byHash[snapshot->latestCommitHash.value_or("")] = snapshot;
    ASSERT_EQ(byHash.size(), 3U);
    EXPECT_EQ(byHash.at("hash0")->project, projects[1]);
    EXPECT_EQ(byHash.at("changed")->project, projects[0]);
    EXPECT_EQ(byHash.at("hash2")->cumulativeEffortMonths, 1.25);
    const auto days = other->fetch<DailyActivity>();
    ASSERT_EQ(days.size(), 1U);
    EXPECT_EQ(days.front()->id, staying->id);
}

TEST_F(ModelContextTest, FetchAppliesPredicateSortAndLimitAndSeesPendingChanges) {
    auto project = addProject("alpha");
    for (int i = 0; i < 5; ++i) context->insert(DailyActivity::create(project, day(i)));
    context->save();

    const auto window = DailyActivityField::project == project && DailyActivityField::date >= day(1) &&
                        DailyActivityField::date < day(4);
    auto rows = context->fetch<DailyActivity>(
        {.predicate = window, .sortBy = {platform::descending(DailyActivityField::date)}});
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows.front()->date, day(3));

    // A pending insert inside the window and a pending delete are both visible to the fetch.
    context->remove(rows.front());
    auto pending = DailyActivity::create(project, day(2) + hours(30));
    context->insert(pending);
    rows =
        context->fetch<DailyActivity>({.predicate = window, .sortBy = {platform::ascending(DailyActivityField::date)}});
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0]->date, day(1));
    EXPECT_EQ(rows[1]->date, day(2));
    EXPECT_EQ(rows[2].get(), pending.get());

    auto limited = context->fetch<DailyActivity>(
        {.predicate = window, .sortBy = {platform::descending(DailyActivityField::date)}, .limit = 1});
    ASSERT_EQ(limited.size(), 1U);
    EXPECT_EQ(limited.front().get(), pending.get()) << "the deleted day-3 row must not fill the limit";
}

TEST_F(ModelContextTest, DeletingAProjectCascadesAndUnlinksModelRows) {
    auto project = addProject("alpha");
    auto snapshot = Snapshot::create(project);
    context->insert(snapshot);
    context->insert(SnapshotLanguage::create("C", snapshot));
    context->insert(DailyActivity::create(project, day(1)));
    auto modelRow = ModelDailyActivity::create(project, day(1), AIModel::claude);
    context->insert(modelRow);
    context->save();

    context->remove(project);
    EXPECT_TRUE(context->fetch<Snapshot>().empty()) << "children leave the context with their parent";
    context->save();

    auto other = freshContext();
    EXPECT_TRUE(other->fetch<Snapshot>().empty());
    EXPECT_TRUE(other->fetch<SnapshotLanguage>().empty());
    EXPECT_TRUE(other->fetch<DailyActivity>().empty());
    auto rows = other->fetch<ModelDailyActivity>();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows.front()->project, nullptr);
    EXPECT_EQ(modelRow->project, nullptr);
}

TEST_F(ModelContextTest, FailedSaveLeavesFileUnchangedAndDiscardsItsChanges) {
    auto project = addProject("alpha");
    context->save();

    addProject("beta");
    project->path = "/changed";
    addProject("alpha"); // breaks the unique name
    EXPECT_THROW(context->save(), platform::UniqueConstraintError);
    EXPECT_EQ(project->path, "/tmp") << "modified records take their stored values again";
    EXPECT_FALSE(context->hasChanges());

    addProject("gamma");
    context->save();
    std::vector<std::string> names;
    for (const auto& stored : freshContext()->fetch<Project>({.sortBy = {platform::ascending(ProjectField::name)}})) {
        names.push_back(stored->name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "gamma"}));
}

TEST_F(ModelContextTest, OneRowPerProjectAndDay) {
    auto project = addProject("alpha");
    context->insert(DailyActivity::create(project, day(1)));
    context->save();
    context->insert(DailyActivity::create(project, day(1) + hours(5)));
    EXPECT_THROW(context->save(), platform::UniqueConstraintError);
    EXPECT_EQ(freshContext()->fetch<DailyActivity>().size(), 1U);
}

TEST_F(ModelContextTest, TwoThreadsOnOneContext) {
    auto project = addProject("alpha");
    context->save();
    auto work = [&](int offset) {
        for (int i = 0; i < 50; ++i) {
            auto row = ModelDailyActivity::create(project, day(offset + i), AIModel::cursor);
            context->insert(row);
            context->fetch<ModelDailyActivity>({.predicate = ModelDailyActivityField::project == project});
            context->save();
        }
    };
    std::thread first(work, 0);
    std::thread second(work, 1000);
    first.join();
    second.join();
    EXPECT_EQ(freshContext()->fetch<ModelDailyActivity>().size(), 100U);
}

TEST_F(ModelContextTest, ObserversHearAboutSavesAndExternalChanges) {
    std::vector<platform::StoreChange> changes;
    auto registration = container->observe([&](const platform::StoreChange& change) { changes.push_back(change); });
    addProject("alpha");
    context->save();
    ASSERT_EQ(changes.size(), 1U);
    EXPECT_FALSE(changes[0].external);
    EXPECT_TRUE(changes[0].entityNames.contains("Project"));

    EXPECT_FALSE(container->checkForExternalChanges());
    auto other = freshContext();
    other->insert(Project::create("beta", "/tmp", std::nullopt, ProjectType::organic));
    other->save();
    EXPECT_TRUE(container->checkForExternalChanges());
    EXPECT_TRUE(changes.back().external);
    EXPECT_EQ(context->fetch<Project>().size(), 2U);
}

} // namespace
} // namespace norvane
