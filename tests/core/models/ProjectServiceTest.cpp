#include "core/models/ProjectService.h"
#include "core/models/NorvaneError.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

class ProjectServiceTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::TemporaryFolder folder;
    ProjectService service{context};

    std::shared_ptr<Project> create(const std::string& name) {
        return service.createProject(name, folder.path().string(), std::nullopt, ProjectType::organic);
    }

    std::vector<std::string> names(bool includeArchived) {
        std::vector<std::string> found;
        for (const auto& project : service.getAllProjects(includeArchived)) found.push_back(project->name);
        return found;
    }
};

TEST_F(ProjectServiceTest, NamesCompareExactly) {
    create("App");
    EXPECT_EQ(testing::errorMessageOf<NorvaneError>([&] { create("App"); }), "A project named 'App' already exists");
    EXPECT_NO_THROW(create("app"));
}

TEST_F(ProjectServiceTest, ListsInLocalizedStandardOrderAndHidesArchived) {
    create("project10");
    create("Project2");
    create("alpha");
    service.archiveProject(create("beta"));
    EXPECT_EQ(names(false), (std::vector<std::string>{"alpha", "Project2", "project10"}));
    EXPECT_EQ(names(true), (std::vector<std::string>{"alpha", "beta", "Project2", "project10"}));
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

} // namespace
} // namespace norvane
