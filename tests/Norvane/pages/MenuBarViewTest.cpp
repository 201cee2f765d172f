#include "Norvane/pages/MenuBarView.h"

#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>

#include "Norvane/pages/ProjectListModel.h"
#include "platform/LocalCalendar.h"
#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app {
namespace {

/// A real store file, the panel over it and an application state over fakes.
struct PanelFixture : testing::StoreFixture {
    ProjectListModel projects{container};
    MenuBarView panel{*state, projects};

    PanelFixture() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    std::shared_ptr<Project> add(const std::string& name, ProjectStatus status, std::vector<std::int64_t> lines,
                                 std::optional<int> firstCommitDaysAgo = std::nullopt) {
        auto project = StoreFixture::add(name, status, [&](Project& edited) {
            if (firstCommitDaysAgo) {
                edited.firstCommitAt =
                    platform::LocalCalendar::addingDays(platform::currentDate(), -*firstCommitDaysAgo);
            }
        });
        // Later snapshots are newer; the newest one counts, whatever its size.
        for (std::size_t position = 0; position < lines.size(); ++position) {
            auto snapshot = Snapshot::create(project);
            snapshot->codeLines = lines[position];
            snapshot->capturedAt = platform::currentDate() - std::chrono::hours(lines.size() - position);
            context->insert(snapshot);
        }
        context->save();
        QCoreApplication::processEvents();
        return project;
    }
};

TEST(MenuBarView, CountsTheNewestSnapshotOfActiveAndPausedProjectsOnly) {
    PanelFixture fixture;
    fixture.panel.show();
    EXPECT_EQ(fixture.panel.totalLinesText(), "0");
    EXPECT_EQ(fixture.panel.projectCountText(), "0");
    EXPECT_EQ(fixture.panel.leverageText(), "");
    EXPECT_EQ(fixture.panel.statusText(), "No data collected yet");
    EXPECT_FALSE(fixture.panel.collectButton().isEnabled());

    fixture.add("Atlas", ProjectStatus::active, {9000, 1200});
    fixture.add("Beacon", ProjectStatus::paused, {300});
    fixture.add("Old", ProjectStatus::archived, {5000});
    EXPECT_EQ(fixture.panel.totalLinesText(), "1,500");
    EXPECT_EQ(fixture.panel.projectCountText(), "2");
    EXPECT_TRUE(fixture.panel.statusText().startsWith("Last collected "));
    EXPECT_TRUE(fixture.panel.statusText().endsWith(" ago"));
    EXPECT_TRUE(fixture.panel.collectButton().isEnabled());
}

TEST(MenuBarView, LeverageNeedsAFirstCommitAtLeastADayBack) {
    PanelFixture fixture;
    fixture.panel.show();
    fixture.add("Today", ProjectStatus::active, {10000}, 0);
    EXPECT_EQ(fixture.panel.leverageText(), "");

    fixture.add("Older", ProjectStatus::active, {}, 60);
    EXPECT_EQ(fixture.panel.leverageText(), "13.5x leverage");
}

TEST(MenuBarView, WhileCollectingItSaysSoAndCannotCollect) {
    PanelFixture fixture;
    auto atlas = fixture.add("Atlas", ProjectStatus::active, {100});
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    fixture.panel.show();
    fixture.state->collectProject("Atlas");
    EXPECT_EQ(fixture.panel.statusText(), "Collecting...");
    EXPECT_FALSE(fixture.panel.collectButton().isEnabled());
}

TEST(MenuBarModel, ElapsedTextUsesTheLargestWholeUnit) {
    const auto now = platform::currentDate();
    EXPECT_EQ(MenuBarModel::elapsedText(now - std::chrono::seconds(1), now), "1 second");
    EXPECT_EQ(MenuBarModel::elapsedText(now - std::chrono::minutes(5), now), "5 minutes");
    EXPECT_EQ(MenuBarModel::elapsedText(now - std::chrono::hours(49), now), "2 days");
}

} // namespace
} // namespace norvane::app
