#include "Norvane/pages/MenuBarView.h"

#include <QApplication>
#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>

#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/pages/ProjectListModel.h"
#include "platform/LocalCalendar.h"
#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app {
namespace {

/// A real store file, the panel over it and an application state over fakes.
struct PanelFixture : testing::StoreFixture {
    ProjectListModel projects{NorvaneStore(container)};
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

TEST(MenuBarView, WhileCollectingItSaysSoAndCollectNowGreysOutWhole) {
    PanelFixture fixture;
    auto atlas = fixture.add("Atlas", ProjectStatus::active, {100});
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    fixture.panel.show();
    fixture.state->collectProject("Atlas");
    EXPECT_EQ(fixture.panel.statusText(), "Collecting...");
    auto& collect = fixture.panel.collectButton();
    EXPECT_FALSE(collect.isEnabled());
    const auto* symbol = collect.findChild<SymbolLabel*>();
    EXPECT_NE(symbol->shownColor(), symbol->color());
    EXPECT_EQ(symbol->shownColor(), QApplication::palette().color(QPalette::Disabled, QPalette::WindowText))
        << "the symbol greys out as the disabled title does";
}

TEST(MenuBarView, LastCollectedCountsTheSecondsWhileThePanelIsOpen) {
    PanelFixture fixture;
    auto snapshot = Snapshot::create(fixture.add("Atlas", ProjectStatus::active, {}));
    snapshot->capturedAt = platform::currentDate() - std::chrono::seconds(5);
    fixture.context->insert(snapshot);
    fixture.context->save();
    QCoreApplication::processEvents();
    EXPECT_FALSE(fixture.panel.clock().isActive());
    fixture.panel.show();
    ASSERT_TRUE(fixture.panel.clock().isActive());
    const QString before = fixture.panel.statusText();
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixture.panel.statusText() != before; }, 2500)) << before.toStdString();
    fixture.panel.hide();
    EXPECT_FALSE(fixture.panel.clock().isActive());
}

} // namespace
} // namespace norvane::app
