#include "core/models/ProjectService.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/NorvaneError.h"
#include "core/models/Snapshot.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

class ProjectServiceTest : public ::testing::Test {
protected:
    testing::TemporaryFolder folder;
    std::shared_ptr<platform::ModelContext> context =
        std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer(folder.path() / "norvane.store"));
    ProjectService service{context};

    std::shared_ptr<Project> create(const std::string& name) {
        return service.createProject(name, folder.path().string(), std::nullopt, ProjectType::organic);
    }

    NorvaneError::Kind failureOf(const std::string& name, const std::string& path) {
        try {
            service.createProject(name, path, std::nullopt, ProjectType::organic);
        } catch (const NorvaneError& error) {
            return error.kind();
        }
        ADD_FAILURE() << "no error for " << name;
        return NorvaneError::Kind::gitFailed;
    }
};

TEST_F(ProjectServiceTest, ChecksTheNameBeforeThePath) {
    create("App");
    EXPECT_EQ(failureOf("App", "/does/not/exist"), NorvaneError::Kind::duplicateName);
    EXPECT_NO_THROW(create("app")) << "names compare exactly";
    EXPECT_EQ(failureOf("New", (folder.path() / "missing").string()), NorvaneError::Kind::pathNotFound);
    EXPECT_EQ(failureOf("New", folder.writeFile("file.txt", "x").string()), NorvaneError::Kind::pathNotDirectory);
    EXPECT_EQ(service.getAllProjects(true).size(), 2U);
}

TEST_F(ProjectServiceTest, ListsInLocalizedStandardOrderAndHidesArchived) {
    create("project10");
    create("Project2");
    create("alpha");
    auto archived = create("beta");
    service.archiveProject(archived);

    std::vector<std::string> names;
    for (const auto& project : service.getAllProjects()) names.push_back(project->name);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "Project2", "project10"}));

    names.clear();
    for (const auto& project : service.getAllProjects(true)) names.push_back(project->name);
    EXPECT_EQ(names, (std::vector<std::string>{"alpha", "beta", "Project2", "project10"}));
}

TEST_F(ProjectServiceTest, LooksUpByNameAndIdAndArchivesAgain) {
    auto project = create("alpha");
    EXPECT_EQ(service.getProject("alpha"), project);
    EXPECT_EQ(service.getProject(project->id), project);
    EXPECT_EQ(service.getProject("missing"), nullptr);

    service.archiveProject(project);
    const auto firstUpdate = project->updatedAt;
    service.archiveProject(project);
    EXPECT_EQ(project->status, ProjectStatus::archived);
    EXPECT_GE(project->updatedAt, firstUpdate);
}

TEST_F(ProjectServiceTest, DeletingAProjectDeletesItsRecords) {
    auto project = create("alpha");
    context->insert(Snapshot::create(project));
    context->insert(DailyActivity::create(project, platform::currentDate()));
    context->save();
    service.deleteProject(project);
    platform::ModelContext other(NorvaneDatabase::makeContainer(folder.path() / "norvane.store"));
    EXPECT_TRUE(other.fetch<Project>().empty());
    EXPECT_TRUE(other.fetch<Snapshot>().empty());
    EXPECT_TRUE(other.fetch<DailyActivity>().empty());
}

} // namespace
} // namespace norvane
