#include "Norvane/pages/DashboardView.h"

#include <QToolButton>
#include <gtest/gtest.h>

#include "Norvane/pages/ErrorBanner.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/Sidebar.h"
#include "platform/LocalCalendar.h"
#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app {
namespace {

/// A real store file, a window over it and an application state over fakes.
struct DashboardFixture : testing::StoreFixture {
    ProjectListModel projects{container};
    DashboardView window{*state, projects};
};

std::function<void(Project&)> committedDaysAgo(int days) {
    return [days](Project& project) {
        project.latestCommitAt = platform::LocalCalendar::addingDays(platform::currentDate(), -days);
    };
}

TEST(DashboardModel, ActiveProjectsPutNewestCommitsFirstAndUndatedLastInNameOrder) {
    auto make = [](std::string name, std::optional<int> days, ProjectStatus status = ProjectStatus::active) {
        auto project = Project::create(std::move(name), "/tmp", std::nullopt, ProjectType::organic);
        project->status = status;
        if (days) project->latestCommitAt = platform::Date(std::chrono::hours(24 * (1000 - *days)));
        return project;
    };
    const DashboardModel::Projects projects{make("A", std::nullopt),
                                            make("B", 5),
                                            make("C", 1),
                                            make("D", 5),
                                            make("E", std::nullopt),
                                            make("P", 9, ProjectStatus::paused),
                                            make("Z", 0, ProjectStatus::archived)};
    QStringList names;
    for (const auto& project : DashboardModel::activeProjects(projects)) names << QString::fromStdString(project->name);
    EXPECT_EQ(names, QStringList({"C", "B", "D", "P", "A", "E"}));
    EXPECT_EQ(DashboardModel::archivedProjects(projects).size(), 1u);
}

TEST(DashboardModel, DetailPageFollowsTheSelection) {
    auto project = Project::create("A", "/tmp", std::nullopt, ProjectType::organic);
    project->status = ProjectStatus::archived;
    EXPECT_EQ(DashboardModel::detailPage(std::nullopt, {project}).kind, DetailPage::Kind::none);
    EXPECT_EQ(DashboardModel::detailPage(SidebarSelection::portfolio(), {}).kind, DetailPage::Kind::portfolio);
    EXPECT_EQ(DashboardModel::detailPage(SidebarSelection::project(project->id), {project}).project, project)
        << "archived projects have their page too";
    EXPECT_EQ(DashboardModel::detailPage(SidebarSelection::project(project->id), {}).kind,
              DetailPage::Kind::projectNotFound);
}

TEST(DashboardView, TheSidebarInvitesToAddAProjectThenFollowsTheStore) {
    DashboardFixture fixture;
    fixture.window.show();
    EXPECT_EQ(fixture.window.sidebar().rowTexts(), QStringList({"Portfolio", "Get Started"}));
    EXPECT_FALSE(fixture.window.refreshButton().isEnabled());
    EXPECT_EQ(fixture.window.detailPage().kind, DetailPage::Kind::portfolio);
    EXPECT_FALSE(fixture.window.errorBanner().isVisible());

    fixture.add("Old", ProjectStatus::archived);
    EXPECT_EQ(fixture.window.sidebar().rowTexts(), QStringList({"Portfolio", "PROJECTS", "ARCHIVED", "Old"}));
    EXPECT_TRUE(fixture.window.refreshButton().isEnabled());

    fixture.add("Beacon", ProjectStatus::paused, committedDaysAgo(1));
    fixture.add("Atlas", ProjectStatus::active, committedDaysAgo(3));
    EXPECT_EQ(fixture.window.sidebar().rowTexts(),
              QStringList({"Portfolio", "PROJECTS", "Beacon", "Atlas", "ARCHIVED", "Old"}));
}

TEST(DashboardView, ADeletedProjectLeavesItsSelectionOnNotFound) {
    DashboardFixture fixture;
    auto atlas = fixture.add("Atlas");
    fixture.window.sidebar().setSelection(SidebarSelection::project(atlas->id));
    EXPECT_EQ(fixture.window.detailPage().kind, DetailPage::Kind::project);

    fixture.context->remove(atlas);
    fixture.context->save();
    QCoreApplication::processEvents();
    EXPECT_EQ(fixture.window.detailPage().kind, DetailPage::Kind::projectNotFound);
}

TEST(DashboardView, TheBannerShowsTheErrorAndItsButtonClearsIt) {
    DashboardFixture fixture;
    fixture.add("Atlas");
    fixture.window.show();
    fixture.state->setLastCollectionError(QString("Failed to collect: Atlas"));
    ASSERT_TRUE(fixture.window.errorBanner().isVisible());
    EXPECT_EQ(fixture.window.errorBanner().message(), "Failed to collect: Atlas");

    fixture.window.errorBanner().findChild<QToolButton*>("closeBanner")->click();
    EXPECT_FALSE(fixture.state->lastCollectionError());
    EXPECT_FALSE(fixture.window.errorBanner().isVisible());
    EXPECT_FALSE(fixture.state->isCollecting()) << "closing starts nothing";
}

TEST(DashboardView, RefreshIsDisabledWhileACollectionRuns) {
    DashboardFixture fixture;
    auto atlas = fixture.add("Atlas");
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    fixture.window.show();
    fixture.state->collectProject("Atlas");
    EXPECT_FALSE(fixture.window.refreshButton().isEnabled());
    EXPECT_FALSE(fixture.window.refreshButton().isVisible()) << "the spinner stands in its place";
}

} // namespace
} // namespace norvane::app
