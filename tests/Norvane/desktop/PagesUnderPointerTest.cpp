#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "Norvane/cards/VelocityChart.h"
#include "Norvane/cards/VelocityRetentionCard.h"
#include "Norvane/components/charts/DailyThroughputChartView.h"
#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/charts/RollingLeverageChartView.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/pages/PortfolioProductivitySection.h"
#include "Norvane/pages/PortfolioTrendsSection.h"
#include "Norvane/pages/PortfolioView.h"
#include "Norvane/pages/ProjectTrendsView.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/models/DailyActivity.h"
#include "platform/ProcessRunner.h"
#include "tests/Norvane/pages/ProjectPageFixture.h"

#include <qcustomplot.h>

#include <QPointer>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <functional>

namespace norvane::app {
namespace {

using norvane::testing::OnPrivateDisplay;
using norvane::testing::placePointer;
using norvane::testing::runEventsUntil;

/// The main window on the private display over a store with two projects that have history,
/// daily activity and every cached figure, so that every chart of both pages draws.
struct PointerFixture : OnPrivateDisplay, testing::ProjectPageFixture {
    std::shared_ptr<Project> atlas;
    std::shared_ptr<Project> beacon;

    PointerFixture() {
        atlas = addCounted("Atlas", 12'000);
        beacon = addCounted("Beacon", 4'000);
        for (const auto& project : {atlas, beacon}) {
            addHistory(project, 20);
            for (int day = 20; day >= 0; --day) addActivity(project, day);
        }
        PortfolioMetricsService(context).buildDailySnapshots();
        refreshCaches();
        norvane::testing::showOnScreen(*window, QSize(1100, 720));
    }

    void addActivity(const std::shared_ptr<Project>& project, int daysBack) {
        auto activity = DailyActivity::create(project, daysAgo(daysBack));
        activity->commitCount = 2;
        activity->codeLinesInserted = 400;
        context->insert(activity);
        context->save();
    }

    PortfolioView& openPortfolio() {
        window->sidebar().setSelection(SidebarSelection::portfolio());
        auto* page = window->findChild<PortfolioView*>();
        EXPECT_TRUE(runEventsUntil([&] { return page->isSettled(); }));
        return *page;
    }
};

/// Rests the pointer on the middle of the chart's plot (or at `at` in the chart where it has none),
/// scrolled into sight in the page that holds it, and waits until the chart reads out what lies
/// there.
void pointAt(const QWidget& chart, const std::function<bool()>& readingOut, const std::function<QPoint()>& at = {}) {
    auto& target = const_cast<QWidget&>(chart);
    QScrollArea* page = nullptr;
    for (QWidget* holder = target.parentWidget(); holder && !page; holder = holder->parentWidget()) {
        page = qobject_cast<QScrollArea*>(holder);
    }
    ASSERT_NE(page, nullptr);
    QWidget* plot = target.findChild<QCustomPlot*>();
    QWidget& under = plot ? *plot : target;
    placePointer(under, plot ? std::function<QPoint()>() : at, [&] { page->ensureWidgetVisible(&target, 0, 0); });
    ASSERT_TRUE(runEventsUntil(readingOut)) << "the chart reads out where the pointer rests";
}

template <class Chart>
std::function<bool()> hovered(const Chart& chart) {
    return [&chart] { return chart.hovered().has_value(); };
}

// The user picks another entry of the sidebar while the pointer rests on a chart of the page.
TEST(PagesUnderPointer, EachChartOfThePortfolioWhenThePageGoes) {
    PointerFixture fixture;
    for (int chart = 0; chart < 3; ++chart) {
        SCOPED_TRACE(chart);
        auto& page = fixture.openPortfolio();
        page.section(PortfolioView::productivity).setExpanded(true);
        ASSERT_NE(page.trendsContent(), nullptr);
        ASSERT_NE(page.productivityContent(), nullptr);
        if (chart == 0) pointAt(page.trendsContent()->chart(), hovered(page.trendsContent()->chart()));
        if (chart == 1) {
            const auto& throughput = page.productivityContent()->throughputChart();
            pointAt(throughput, hovered(throughput));
        }
        if (chart == 2) {
            const auto& overlap = page.productivityContent()->overlapChart();
            ASSERT_TRUE(runEventsUntil([&] { return overlap.isShowingGrid(); }));
            pointAt(
                overlap, [&] { return overlap.hoveredDate().has_value(); },
                [&] { return overlap.cellRect(0, 5).center().toPoint(); });
        }
        QPointer<PortfolioView> gone = &page;
        fixture.open(fixture.atlas);
        EXPECT_TRUE(gone.isNull());
    }
}

TEST(PagesUnderPointer, EachChartOfAProjectPageWhenThePageGoes) {
    PointerFixture fixture;
    for (int chart = 0; chart < 4; ++chart) {
        SCOPED_TRACE(chart);
        auto& page = fixture.open(fixture.atlas);
        page.section(ProjectSection::velocityRetention).setExpanded(true);
        ASSERT_NE(page.trends(), nullptr);
        ASSERT_NE(page.velocityCard(), nullptr);
        if (chart < 3) {
            const auto& timeline = *page.trends()->charts()[static_cast<std::size_t>(chart)];
            pointAt(timeline, hovered(timeline));
        } else {
            const auto& velocity = *page.velocityCard()->findChild<VelocityChart*>();
            pointAt(velocity, hovered(velocity));
        }
        QPointer<ProjectDetailView> gone = &page;
        fixture.openPortfolio();
        EXPECT_TRUE(gone.isNull());
    }
}

// New figures take new charts and cards while the pointer rests on the old ones.
TEST(PagesUnderPointer, ChartsReplacedByNewFigures) {
    PointerFixture fixture;
    auto& page = fixture.open(fixture.atlas);
    page.section(ProjectSection::velocityRetention).setExpanded(true);
    const auto& velocity = *page.velocityCard()->findChild<VelocityChart*>();
    pointAt(velocity, hovered(velocity));
    QPointer<VelocityRetentionCard> oldCard = page.velocityCard();
    fixture.refreshCaches();
    ASSERT_TRUE(runEventsUntil([&] { return oldCard.isNull(); }));

    const auto& timeline = *page.trends()->charts().front();
    pointAt(timeline, hovered(timeline));
    QPointer<const MetricsTimelineChartView> oldChart = &timeline;
    fixture.addHistory(fixture.atlas, 1);
    ASSERT_TRUE(runEventsUntil([&] { return oldChart.isNull(); }));
    placePointer(*fixture.window);
}

// `norvane remove` in a terminal: the store is shared, so the project's page goes from under the
// pointer.
TEST(PagesUnderPointer, ProjectRemovedByTheToolWhileAChartReadsOut) {
    PointerFixture fixture;
    auto& page = fixture.open(fixture.atlas);
    const auto& timeline = *page.trends()->charts().back();
    pointAt(timeline, hovered(timeline));

    const std::string home = fixture.folder.path().string();
    platform::ProcessRequest remove{norvane::testing::builtProgram("norvane").string(), {"remove", "Atlas", "--yes"}};
    remove.environmentOverrides = {{"HOME", home}, {"XDG_DATA_HOME", home}, {"XDG_CONFIG_HOME", home + "/.config"}};
    const auto removed = platform::PosixProcessRunner().run(remove);
    ASSERT_TRUE(removed.succeeded()) << removed.standardError;

    ASSERT_TRUE(runEventsUntil([&] { return fixture.window->detailPage().kind == DetailPage::Kind::projectNotFound; }));
    placePointer(*fixture.window);
}

} // namespace
} // namespace norvane::app
