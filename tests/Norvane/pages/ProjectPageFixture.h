#pragma once

#include <future>

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/ProjectDetailView.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/Sidebar.h"
#include "core/models/SnapshotLanguage.h"
#include "platform/LocalCalendar.h"
#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app::testing {

/// The project figures that the application state caches come from the test's own store, and
/// every project's retention is assessed, so that every section can show; the portfolio's rolling
/// leverage has a point for each of the last thirty days. Every project has `leverage`, and the
/// reads wait for `firstRead` when the test holds them, as a slow read does.
class StoreMetrics : public FakeMetrics {
public:
    ProjectRollingLeverage leverage;
    std::shared_future<void> firstRead;

    DailyRows deriveDailySnapshots() override {
        if (firstRead.valid()) firstRead.wait();
        return FakeMetrics::deriveDailySnapshots();
    }
    ProjectRollingLeverage calculateProjectRollingLeverage(const ProjectInfo&) override { return leverage; }
    VelocityRetention getVelocityRetention(const ProjectInfo&) override {
        return {100.0, 80.0, 80.0, RetentionAssessment::excellent};
    }
    std::vector<LeveragePoint> getRollingLeverageSeries(int, int, const DailyRows&) override {
        std::vector<LeveragePoint> days;
        for (int day = 30; day >= 0; --day) {
            days.push_back({platform::LocalCalendar::addingDays(platform::currentDate(), -day), 4.0 + day % 7});
        }
        return days;
    }
};

/// A real store file where the tools look for it under the fixture's folder as their data home,
/// the main window over it, and an application state whose caches hold the store's projects.
struct ProjectPageFixture : AppStateFixture {
    std::shared_ptr<platform::ModelContainer> container =
        NorvaneDatabase::makeContainer(folder.path() / "Norvane" / "norvane.store");
    std::shared_ptr<platform::ModelContext> context = std::make_shared<platform::ModelContext>(container);
    std::unique_ptr<AppState> state;
    std::unique_ptr<ProjectListModel> projects;
    std::unique_ptr<DashboardView> window;

    std::shared_ptr<StoreMetrics> storeMetrics = std::make_shared<StoreMetrics>();

    ProjectPageFixture() : ProjectPageFixture(std::shared_future<void>()) {}
    /// With a valid `firstRead`, the state's first refresh waits for it, and the window opens
    /// before.
    explicit ProjectPageFixture(std::shared_future<void> firstRead) {
        metrics = storeMetrics;
        metrics->context = context;
        storeMetrics->firstRead = firstRead;
        state = makeState({std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6)}, std::nullopt,
                          !firstRead.valid());
        projects = std::make_unique<ProjectListModel>(container);
        window = std::make_unique<DashboardView>(*state, *projects);
        window->resize(1100, 720);
        window->show();
    }
    ~ProjectPageFixture() { window.reset(); }

    static platform::Date daysAgo(int days) {
        return platform::LocalCalendar::addingDays(platform::currentDate(), -days);
    }

    /// A project with a code count of `codeLines` C++ lines of complexity 500, committed to
    /// `committedDaysAgo` days ago.
    std::shared_ptr<Project> addCounted(const std::string& name, std::int64_t codeLines, int committedDaysAgo = 1) {
        auto project = saveProject(*context, name, ProjectStatus::active, [&](Project& record) {
            record.firstCommitAt = daysAgo(400);
            record.latestCommitAt = daysAgo(committedDaysAgo);
        });
        auto count = Snapshot::create(project);
        count->codeLines = codeLines;
        count->latestCommitHash = "a1b2c3d4e5f6";
        count->latestCommitMessage = "Ship the " + name + " release\n\nWith notes.";
        context->insert(count);
        auto cpp = SnapshotLanguage::create("C++", count);
        cpp->code = codeLines;
        cpp->complexity = 500;
        context->insert(cpp);
        context->save();
        return project;
    }

    /// Weekly history points over `weeks` weeks up to today.
    void addHistory(const std::shared_ptr<Project>& project, int weeks) {
        for (int week = weeks; week >= 0; --week) {
            auto point = Snapshot::create(project);
            point->setSnapshotType(SnapshotType::gitHistory);
            point->capturedAt = daysAgo(7 * week);
            point->cumulativeLinesChanged = 1000 * (weeks - week + 1);
            point->cumulativeEffortMonths = 0.5 * (weeks - week + 1);
            point->cumulativeEstimatedCost = 15000.0 * (weeks - week + 1);
            context->insert(point);
        }
        context->save();
    }

    void refreshCaches() {
        EXPECT_TRUE(refreshes(*state, [this] { state->refreshMetricsCache(); }));
    }

    ProjectDetailView& open(const std::shared_ptr<Project>& project) {
        QCoreApplication::processEvents();
        window->sidebar().setSelection(SidebarSelection::project(project->id));
        auto* page = window->findChild<ProjectDetailView*>();
        EXPECT_NE(page, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return page->isLoaded() && page->project().id == project->id; }, 10'000));
        return *page;
    }

    static bool settles(const ProjectDetailView& page) {
        return QTest::qWaitFor([&] { return page.isLoaded(); }, 10'000);
    }
};

} // namespace norvane::app::testing
