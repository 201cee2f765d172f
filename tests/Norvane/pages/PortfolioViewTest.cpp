#include "Norvane/pages/PortfolioView.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <future>
#include <gtest/gtest.h>

#include "Norvane/cards/OptInPromptCard.h"
#include "Norvane/cards/OutputCompositionCard.h"
#include "Norvane/cards/StreakCard.h"
#include "Norvane/cards/VelocityRetentionComparisonCard.h"
#include "Norvane/cards/WorkPatternsCard.h"
#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/components/charts/EmptyChartState.h"
#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/controls/SectionHeaderButton.h"
#include "Norvane/components/controls/TimeRangePicker.h"
#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/tiles/HeroMetricCard.h"
#include "Norvane/components/tiles/HeroZoneView.h"
#include "Norvane/components/tiles/SummaryRowView.h"
#include "Norvane/components/tiles/SummaryStatCard.h"
#include "Norvane/pages/PortfolioOutputSection.h"
#include "Norvane/pages/PortfolioProductivitySection.h"
#include "Norvane/pages/PortfolioTrendsSection.h"
#include "Norvane/pages/ProjectDetailView.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/ProjectTrendsView.h"
#include "Norvane/pages/screenshots/DemoRepository.h"
#include "Norvane/sheets/ExportSheet.h"
#include "Norvane/sheets/ShareSummarySheet.h"
#include "Norvane/state/KitServices.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/community/NorvaneIndexService.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/DailyActivity.h"
#include "core/models/SnapshotLanguage.h"
#include "index-server/IndexServer.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/Norvane/pages/ApplicationHome.h"
#include "tests/Norvane/pages/DrawnFrames.h"
#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app {
namespace {

using norvane::testing::daysAgo;

/// A real store in a temporary folder, the live project list over it and pages over both, with a
/// fake benchmark client unless a test hands in another.
struct PortfolioFixture : testing::StoreFixture {
    ProjectListModel projects{container};

    std::unique_ptr<PortfolioView> open(std::shared_ptr<IndexClient> client = nullptr) {
        // The notices of the saves made so far come before the page, which reads what they saved.
        QCoreApplication::processEvents();
        auto page =
            std::make_unique<PortfolioView>(*state, projects, PortfolioServices{container, client ? client : index});
        page->resize(900, 800);
        page->show();
        settle(*page);
        return page;
    }

    static void settle(PortfolioView& page) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return page.isSettled(); }, 15'000));
    }

    /// A day of `commits` commits, each touching `codeLines` code lines.
    void addActivity(const std::shared_ptr<Project>& project, int daysBack, int commits, int codeLines) {
        auto activity = DailyActivity::create(project, daysAgo(daysBack));
        activity->commitCount = commits;
        activity->codeLinesInserted = codeLines;
        activity->codeLinesDeleted = codeLines / 10;
        context->insert(activity);
        context->save();
    }

    void addCodeCount(const std::shared_ptr<Project>& project, int lines) {
        auto snapshot = Snapshot::create(project);
        snapshot->codeLines = lines;
        context->insert(snapshot);
        auto language = SnapshotLanguage::create("C++", snapshot);
        language->code = lines;
        context->insert(language);
        context->save();
    }
};

/// A repository in the fixture's folder with a module added every four weeks, from `fromWeek` weeks
/// ago to `toWeek`.
DemoRepository moduleEveryFourWeeks(const PortfolioFixture& fixture, int fromWeek, int toWeek) {
    DemoRepository repository(fixture.folder.path() / "atlas");
    for (int week = fromWeek; week >= toWeek; week -= 4) {
        repository.writeFile("src/module" + std::to_string(week) + ".cpp",
                             "int step() { return " + std::to_string(week) + "; }\n");
        repository.commit("Add module", daysAgo(week * 7) + std::chrono::hours(10));
    }
    return repository;
}

bool isExpanded(const PortfolioView& page, PortfolioView::Section section) {
    return page.section(section).isExpanded();
}

TEST(PortfolioView, WelcomesUntilAProjectIsListedAndKeepsEachSectionAsTheUserLeftIt) {
    PortfolioFixture fixture;
    fixture.add("old", ProjectStatus::archived);
    auto page = fixture.open();
    EXPECT_TRUE(page->welcome().isVisible()) << "archived projects are not listed";
    EXPECT_FALSE(page->heroZone().isVisible());

    fixture.add("atlas");
    EXPECT_FALSE(page->welcome().isVisible());
    EXPECT_TRUE(page->heroZone().isVisible());
    EXPECT_TRUE(isExpanded(*page, PortfolioView::trends));
    for (auto section : {PortfolioView::output, PortfolioView::insights, PortfolioView::productivity,
                         PortfolioView::projects, PortfolioView::achievements}) {
        EXPECT_FALSE(isExpanded(*page, section));
    }
    page->section(PortfolioView::trends).toggle();
    page->section(PortfolioView::achievements).toggle();
    page.reset();

    auto restarted = fixture.open();
    EXPECT_FALSE(isExpanded(*restarted, PortfolioView::trends));
    EXPECT_TRUE(isExpanded(*restarted, PortfolioView::achievements));
    EXPECT_NE(restarted->achievementsContent(), nullptr);
}

TEST(PortfolioView, OptingInHidesTheInvitationForGoodAndTheMenuOpensTheSheets) {
    PortfolioFixture fixture;
    fixture.add("atlas");
    fixture.preferences->setCachedContributorCount(240);
    auto page = fixture.open();
    ASSERT_TRUE(page->optInCard().isVisible());
    EXPECT_TRUE(page->optInCard().statusLabel().text().contains("240"))
        << page->optInCard().statusLabel().text().toStdString();

    page->optInCard().optInButton().click();
    EXPECT_FALSE(page->optInCard().isVisible());
    const QString id = fixture.preferences->anonymousDeviceId();
    EXPECT_EQ(id.size(), 36);
    EXPECT_EQ(id, id.toUpper());
    EXPECT_TRUE(fixture.state->shareAnonymousMetrics());
    ASSERT_FALSE(fixture.index->configurations.empty());
    EXPECT_EQ(fixture.index->configurations.back(), std::pair(true, std::optional(id.toStdString())));
    page.reset();

    auto restarted = fixture.open();
    EXPECT_FALSE(restarted->optInCard().isVisible()) << "after a restart";
    restarted->exportAction().trigger();
    ASSERT_NE(restarted->sheet(), nullptr);
    EXPECT_NE(restarted->sheet()->findChild<ExportSheet*>(), nullptr);
    restarted->shareAction().trigger();
    EXPECT_EQ(restarted->sheet()->findChild<ShareSummarySheet*>(), nullptr) << "one sheet at a time";
    delete restarted->sheet();
    restarted->shareAction().trigger();
    EXPECT_NE(restarted->sheet()->findChild<ShareSummarySheet*>(), nullptr);
    restarted.reset();
    fixture.preferences->setShareAnonymousMetrics(false);
    auto again = fixture.open();
    again->optInCard().optInButton().click();
    EXPECT_EQ(fixture.preferences->anonymousDeviceId(), id) << "a stored id is kept";
}

/// The page's metrics refresh waits until the test opens it, as a slow read does.
class HeldMetrics : public testing::FakeMetrics {
public:
    /// Whether the rolling leverage has days, two weeks of them, that the trends chart draws: none
    /// over a history of a few weeks.
    bool hasTrend = true;

    void release() { released_.set_value(); }
    DailyRows deriveDailySnapshots() override {
        opened_.wait();
        return FakeMetrics::deriveDailySnapshots();
    }
    std::vector<LeveragePoint> getRollingLeverageSeries(int, int, const DailyRows&) override {
        std::vector<LeveragePoint> series;
        for (int day = 13; hasTrend && day >= 0; --day) series.push_back({daysAgo(day), 1.0 + day % 3});
        return series;
    }

private:
    std::promise<void> released_;
    std::shared_future<void> opened_ = released_.get_future().share();
};

using testing::DrawnFrames;
using testing::Fold;

/// What the page shows down to `bottom`: where each row stands (the hero zone, its figures, the
/// summary tiles, the streak card, the sections), every text, and those of them that are cut.
/// Nothing while the rows are not drawn at all.
Fold foldOf(const PortfolioView& page, int bottom) {
    Fold fold;
    const auto& hero = page.heroZone();
    if (!hero.isVisible()) return fold;
    for (const auto* card : {&hero.primaryCard(), &hero.secondaryCard()}) fold.place(page, card->valueText());
    for (const auto* card : page.summaryRow().cards()) fold.place(page, *card);
    const auto* rows = hero.parentWidget();
    for (const QWidget* row : rows->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (row->mapTo(&page, QPoint()).y() < bottom) fold.place(page, *row);
    }
    fold.read(page, *rows, bottom);
    return fold;
}

/// The page over the fixture's store while the application state's first read of the metrics
/// waits for the first frame, as a slow read does.
void expectTheFirstFrameSettled(PortfolioFixture& fixture, const PortfolioMetrics& figures, bool allOpen = false,
                                bool hasTrend = true) {
    SCOPED_TRACE(allOpen ? "every section open" : "the sections as they start");
    SCOPED_TRACE(hasTrend ? "a leverage trend" : "no leverage trend");
    for (int section = PortfolioView::trends; allOpen && section <= PortfolioView::achievements; ++section)
        fixture.settings->setValue(PortfolioView::sectionKey(PortfolioView::Section(section)), true);
    auto metrics = std::make_shared<HeldMetrics>();
    metrics->figures = figures;
    metrics->hasTrend = hasTrend;
    AppState state(
        {fixture.collection, metrics, fixture.index, fixture.preferences, [](const QString&, const QString&) {}, [] {}},
        {std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6)});
    PortfolioView page(state, fixture.projects, PortfolioServices{fixture.container, fixture.index});
    page.resize(900, 800);
    // Above the fold; with every section open, the whole page, whose sections follow each other.
    const auto fold = [&, bottom = allOpen ? QWIDGETSIZE_MAX : 800] { return foldOf(page, bottom); };
    const DrawnFrames drawn(page, fold);
    page.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !drawn.frames.empty(); }));
    metrics->release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.metricsLoaded(); }, 15'000));
    PortfolioFixture::settle(page);
    ASSERT_TRUE(testing::settles(fold));
    ASSERT_TRUE(page.heroZone().primaryCard().deltaRow().isVisible());
    ASSERT_EQ(page.heroZone().sparklineSection().isVisible(), hasTrend);
    ASSERT_NE(page.trendsContent()->comparisons(), nullptr);
    ASSERT_EQ(page.trendsContent()->chart().isShowingChart(), hasTrend);
    const Fold settled = fold();
    EXPECT_EQ(page.heroZone().primaryCard().valueText().text(), formatMultiplier(*figures.rollingLeverage14Day));
    testing::expectEveryFrameSettled(drawn, settled);
    EXPECT_FALSE(drawn.drawnWithoutRows) << "the first frame holds every card's room";
}

// Found at start-up: the first frame drew the hero's figure cut ("3.0:" for "8.0x") without the
// summary tiles, and when the figures came everything under them moved down. Later, with a streak
// going on: the first frame had no streak card, "0" lines of "0 projects", and "504,912" cut to
// "5"; the card came and moved all below the tiles down. Later still: the first frame showed the
// size estimate "8.0x" that "2.1x" replaced, a change cut to "+'", and the sections moved down
// when the period comparisons came below the fold. Then, when the streak was read again: a frame
// of the streak card with its header alone, and one with "Tw  weeks of momentum!". Then, over a
// history with a trend: the trends chart's panel said "No activity in this period" until the trend
// was read, and the open sections under it moved down when the chart came.
TEST(PortfolioView, TheFirstFrameHoldsTheRoomOfTheFiguresThatComeLater) {
    PortfolioMetrics rising;
    rising.rollingLeverage14Day = 2.1;
    rising.rollingLeveragePrior14Day = 0.2;
    rising.rollingLeverage7Day = 2.4;
    rising.dailyThroughput = 0.42;
    {
        SCOPED_TRACE("a streak going on");
        PortfolioFixture fixture;
        const auto firstCommitted = [](Project& project) {
            project.baselineVelocity = 100;
            project.firstCommitAt = daysAgo(60);
        };
        auto atlas = fixture.add("atlas", ProjectStatus::active, firstCommitted);
        fixture.addCodeCount(atlas, 504'912);
        fixture.addCodeCount(fixture.add("beacon", ProjectStatus::active, firstCommitted), 1'000);
        // The last 21 days: a streak of three weeks goes on, after a best of 25 days that ended a
        // month ago.
        for (int day = 0; day < 21; ++day) fixture.addActivity(atlas, day, 1, 200);
        for (int day = 30; day < 55; ++day) fixture.addActivity(atlas, day, 1, 200);
        expectTheFirstFrameSettled(fixture, rising);
        expectTheFirstFrameSettled(fixture, rising, true);
        expectTheFirstFrameSettled(fixture, rising, false, false);
        expectTheFirstFrameSettled(fixture, rising, true, false);
    }
    PortfolioMetrics falling = rising;
    falling.rollingLeverage14Day = 1.8;
    falling.rollingLeveragePrior14Day = 2.0;
    {
        SCOPED_TRACE("100 projects");
        PortfolioFixture fixture;
        for (int number = 0; number < 100; ++number) {
            auto project = fixture.add("project-" + std::to_string(number), ProjectStatus::active,
                                       [number](Project& record) { record.firstCommitAt = daysAgo(30 + number); });
            fixture.addCodeCount(project, 1'000 * (number + 1));
            fixture.addActivity(project, number % 20, 1, 100);
        }
        expectTheFirstFrameSettled(fixture, falling);
        expectTheFirstFrameSettled(fixture, falling, true);
    }
}

// Found scrolled to the foot of the page: a collection that started a streak put the streak's
// card above the view, and the text being read moved down by the card's height.
TEST(PortfolioView, ACardShownAboveTheViewKeepsWhatTheReaderLooksAtInPlace) {
    PortfolioFixture fixture;
    auto atlas = fixture.add("atlas", ProjectStatus::active, [](Project& project) { project.baselineVelocity = 100; });
    fixture.addCodeCount(atlas, 12'000);
    for (int day = 3; day < 40; day += 2) fixture.addActivity(atlas, day, 1, 200);
    auto page = fixture.open();
    page->resize(900, 600);
    for (const auto section : {PortfolioView::output, PortfolioView::insights, PortfolioView::productivity,
                               PortfolioView::projects, PortfolioView::achievements}) {
        page->section(section).setExpanded(true);
    }
    PortfolioFixture::settle(*page);
    ASSERT_FALSE(page->streakCard().isVisible());
    auto* scroll = page->findChild<QScrollArea*>();
    QScrollBar& bar = *scroll->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.maximum() > 1000; }));
    bar.setValue(bar.maximum());
    const QWidget& read = page->section(PortfolioView::achievements);
    const auto inView = [&] { return read.mapTo(scroll->viewport(), QPoint()).y(); };
    const int before = inView();

    fixture.addActivity(atlas, 1, 2, 300);
    fixture.addActivity(atlas, 0, 1, 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->streakCard().isVisible(); }, 15'000));
    PortfolioFixture::settle(*page);
    EXPECT_LT(page->streakCard().mapTo(scroll->widget(), QPoint()).y() + page->streakCard().height(), bar.value())
        << "the card came above the view";
    EXPECT_TRUE(QTest::qWaitFor([&] { return inView() == before; })) << inView() << " instead of " << before;
}

// With the keyboard alone: every section opens with Space, Tab then reaches every control of the
// page in the order of the sections, with the ring around each, and the pickers change with the
// arrows.
TEST(PortfolioView, TabReachesEveryControlInTheOrderOfTheSectionsAndKeysSetThePickers) {
    using norvane::testing::pressKey;
    using norvane::testing::tabTo;
    norvane::testing::themedApplication();
    PortfolioFixture fixture;
    auto atlas = fixture.add("atlas", ProjectStatus::active, [](Project& project) { project.baselineVelocity = 100; });
    fixture.addCodeCount(atlas, 12'000);
    for (int day = 0; day < 12; ++day) fixture.addActivity(atlas, day * 2, 1, 200);
    fixture.metrics->figures.dailyThroughput = 0.4;
    ASSERT_TRUE(testing::refreshes(*fixture.state, [&] { fixture.state->refreshMetricsCache(); }));
    auto page = fixture.open();
    page->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    const std::array sections{PortfolioView::trends,       PortfolioView::output,   PortfolioView::insights,
                              PortfolioView::productivity, PortfolioView::projects, PortfolioView::achievements};
    // The page alone in its window: nothing holds the focus yet.
    const_cast<SectionHeaderButton&>(page->section(PortfolioView::trends).header()).setFocus();
    for (const auto section : sections) {
        auto& header = const_cast<SectionHeaderButton&>(page->section(section).header());
        ASSERT_TRUE(tabTo(header));

        if (!page->section(section).isExpanded()) pressKey(Qt::Key_Space);
        EXPECT_TRUE(page->section(section).isExpanded());
    }
    PortfolioFixture::settle(*page);
    EXPECT_EQ(norvane::testing::keyboardGaps(*page).join(" | ").toStdString(), "");

    // From the first section's header round to it.
    ASSERT_TRUE(tabTo(page->section(PortfolioView::trends).header()));
    std::vector<const QWidget*> stops{&page->section(PortfolioView::trends).header()};
    for (const auto& stop : norvane::testing::tabAround()) stops.push_back(stop.widget);
    const auto at = [&](const QWidget& widget) {
        return std::find(stops.begin(), stops.end(), &widget) - stops.begin();
    };
    for (std::size_t index = 1; index < sections.size(); ++index) {
        EXPECT_LT(at(page->section(sections[index - 1]).header()), at(page->section(sections[index]).header()))
            << "section " << index;
    }
    const auto& rangePicker = page->trendsContent()->picker().picker();
    const auto& daysPicker = page->outputContent()->composition()->picker().picker();
    EXPECT_LT(at(page->section(PortfolioView::trends).header()), at(rangePicker));
    EXPECT_LT(at(rangePicker), at(page->section(PortfolioView::output).header()));
    EXPECT_LT(at(page->section(PortfolioView::output).header()), at(daysPicker));
    EXPECT_LT(at(daysPicker), at(page->section(PortfolioView::insights).header()));

    ASSERT_TRUE(tabTo(rangePicker));
    pressKey(Qt::Key_Right);
    PortfolioFixture::settle(*page);
    EXPECT_EQ(page->model().state().selectedTimeRange, TimeRange::oneYear);
    ASSERT_TRUE(tabTo(daysPicker));
    pressKey(Qt::Key_End);
    PortfolioFixture::settle(*page);
    EXPECT_EQ(page->model().state().compositionDays, 365);
    ASSERT_TRUE(tabTo(page->section(PortfolioView::trends).header()));
    pressKey(Qt::Key_Space);
    EXPECT_FALSE(page->section(PortfolioView::trends).isExpanded());
}

// The throughput is the 30-day figure whatever window the composition shows; the consistency is
// the real active days per week.
TEST(PortfolioView, AsksForPercentilesWithThe30DayThroughputAndTheActiveDaysPerWeek) {
    PortfolioFixture fixture;
    auto atlas = fixture.add("atlas", ProjectStatus::active, [](Project& project) { project.baselineVelocity = 100; });
    fixture.addCodeCount(atlas, 12'000);
    for (int day = 0; day < 12; ++day) fixture.addActivity(atlas, day * 2, 1, 200);
    fixture.addActivity(atlas, 200, 3, 50'000);
    CachedBenchmarks cached;
    cached.benchmarks.contributorCount = 345;
    cached.benchmarks.bySizeBucket["Small"].velocityRetention = CommunityBenchmarks::Percentiles{10, 40, 65, 80, 95};
    fixture.index->benchmarks = cached;
    auto page = fixture.open();
    page->section(PortfolioView::output).setExpanded(true);
    norvane::testing::clickSegment(page->outputContent()->composition()->picker().picker(), 2);
    PortfolioFixture::settle(*page);

    const auto requests = fixture.index->percentileRequests();
    ASSERT_EQ(requests.size(), 2U);
    for (const auto& request : requests) {
        EXPECT_DOUBLE_EQ(*request.throughput, 12 * 220 / 21.0) << "the 30 days, never the 365";
        EXPECT_DOUBLE_EQ(*request.activeDaysPerWeek, 3.0) << "12 active days of the last 28";
        EXPECT_EQ(request.sizeBucket, ProjectSizeBucket::small);
        EXPECT_TRUE(request.velocityRetention.has_value());
    }
    EXPECT_EQ(page->model().state().compositionDays, 365);
    EXPECT_EQ(page->model().state().outputComposition->code.insertions, 12 * 200 + 50'000);
    EXPECT_EQ(fixture.preferences->cachedContributorCount(), 345) << "stored when the benchmarks come";
    EXPECT_EQ(page->model().state().industryRetentionMedian, 65.0);
}

TEST(PortfolioView, WithoutDailyRowsTheConsistencyIsAbsent) {
    PortfolioFixture fixture;
    fixture.addCodeCount(fixture.add("atlas"), 800);
    auto history = Snapshot::create(fixture.add("notes"));
    history->setSnapshotType(SnapshotType::gitHistory);
    history->codeLines = 5'000;
    fixture.context->insert(history);
    fixture.context->save();
    auto page = fixture.open();
    const auto& projects = page->model().state().projects;
    ASSERT_EQ(projects.size(), 2U);
    EXPECT_EQ(projects[0].codeLines, 800);
    EXPECT_FALSE(projects[1].codeLines) << "a history sample is no code count";
    const auto requests = fixture.index->percentileRequests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_FALSE(requests.front().activeDaysPerWeek.has_value());
    EXPECT_EQ(requests.front().throughput, 0.0);
    EXPECT_EQ(requests.front().sizeBucket, ProjectSizeBucket::greenfield);
}

TEST(PortfolioView, ANewerLoadDropsTheResultOfTheOneItSupersedes) {
    PortfolioFixture fixture;
    fixture.addActivity(fixture.add("atlas"), 1, 1, 10);
    auto page = fixture.open();
    QSignalSpy series(&page->model(), &PortfolioViewModel::seriesChanged);
    QSignalSpy figures(&page->model(), &PortfolioViewModel::indexFiguresChanged);
    page->model().setTimeRange(TimeRange::oneYear);
    page->model().setTimeRange(TimeRange::allTime);
    page->model().setCompositionDays(90);
    page->model().setCompositionDays(365);
    PortfolioFixture::settle(*page);
    EXPECT_EQ(series.count(), 1);
    EXPECT_EQ(figures.count(), 1);
    EXPECT_EQ(fixture.index->percentileRequests().size(), 2U) << "the first show's and the newest";
}

// The page follows the store: a save in this process or another reloads what it shows.
TEST(PortfolioView, ReloadsWhenTheApplicationBecomesActiveAndWhenTheStoreChanges) {
    PortfolioFixture fixture;
    auto atlas = fixture.add("atlas");
    auto page = fixture.open();
    QSignalSpy series(&page->model(), &PortfolioViewModel::seriesChanged);
    // The platform says the application became active again (offscreen has no other application
    // to switch to).
    emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_EQ(series.count(), 0);
    emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
    ASSERT_TRUE(QTest::qWaitFor([&] { return series.count() == 1; }));

    fixture.addCodeCount(atlas, 4'000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->model().state().projects.front().codeLines == 4'000; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return series.count() >= 2; }));
}

// Found by choosing "1 Year" on a repository with two years of history: the charts kept 90 days.
TEST(PortfolioView, OneYearOnARepositoryWithYearsOfHistoryPlotsMoreThan90Days) {
    norvane::testing::applicationHome();
    PortfolioFixture fixture;
    const DemoRepository repository = moduleEveryFourWeeks(fixture, 104, 0);
    NorvaneKit kit(fixture.container);
    const auto project = kit.addProject("atlas", repository.folder().string(), std::nullopt, ProjectType::organic);
    ASSERT_FALSE(kit.collector().collectInitialData(project).error);
    PortfolioMetricsService(fixture.context).buildDailySnapshots();
    auto page = fixture.open();
    ASSERT_EQ(page->model().state().selectedTimeRange, TimeRange::ninetyDays);

    norvane::testing::clickSegment(page->trendsContent()->picker().picker(), 2);
    PortfolioFixture::settle(*page);
    const auto& throughput = page->model().state().throughputData;
    ASSERT_FALSE(throughput.empty());
    EXPECT_EQ(page->model().state().selectedTimeRange, TimeRange::oneYear);
    EXPECT_LT(throughput.front().date, daysAgo(90));
    EXPECT_GE(throughput.front().date, daysAgo(366));
}

// Found over histories from 2009 to today: at All Time the overlap started ten years back, in 2016,
// and a hundred columns sampled from the active days ended in 2025, leaving the rows of the projects
// active in the last 15 days empty. Commits at least a week apart: each is a day of the history.
TEST(PortfolioView, AllTimeOverlapDrawsEveryActiveDayOfHistoriesYearsApart) {
    norvane::testing::applicationHome();
    PortfolioFixture fixture;
    NorvaneKit kit(fixture.container);
    struct History {
        const char* name;
        std::vector<int> daysBack;
    };
    const auto every = [](int from, int to, int step) {
        std::vector<int> days;
        for (int day = from; day >= to; day -= step) days.push_back(day);
        return days;
    };
    // In name order, as the rows stand; more active days than a hundred columns.
    const std::vector<History> histories{{"ancient", every(6470, 4900, 60)},
                                         {"middle", every(4300, 2500, 60)},
                                         {"recent1", {200, 100, 14, 3}},
                                         {"recent2", {60, 12}},
                                         {"recent3", {9, 1}},
                                         {"steady", every(2900, 100, 45)}};
    for (const auto& [name, daysBack] : histories) {
        DemoRepository repository(fixture.folder.path() / name);
        for (const int day : daysBack) {
            repository.writeFile("src/day" + std::to_string(day) + ".cpp", "int day() { return 0; }\n");
            repository.commit("Work", daysAgo(day) + std::chrono::hours(10));
        }
        const auto project = kit.addProject(name, repository.folder().string(), std::nullopt, ProjectType::organic);
        ASSERT_FALSE(kit.collector().collectInitialData(project).error);
    }
    PortfolioMetricsService(fixture.context).buildDailySnapshots();
    auto page = fixture.open();
    page->section(PortfolioView::productivity).setExpanded(true);
    norvane::testing::clickSegment(page->trendsContent()->picker().picker(), 3);
    PortfolioFixture::settle(*page);
    const auto& overlap = page->productivityContent()->overlapChart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return overlap.isVisible() && overlap.rows().size() == histories.size(); }));

    const auto& columns = overlap.shownColumns();
    ASSERT_FALSE(columns.empty());
    EXPECT_LE(columns.front().start, daysAgo(6470)) << "from the first active day";
    EXPECT_LE(columns.back().start, daysAgo(1));
    const QImage drawn = const_cast<ProjectActivityOverlapView&>(overlap).grab().toImage();
    for (std::size_t row = 0; row < histories.size(); ++row) {
        const auto& [name, daysBack] = histories[row];
        ASSERT_EQ(overlap.rows()[row], QString::fromLatin1(name));
        for (const int day : daysBack) {
            // The column whose span holds the day: the last that starts on it or before.
            const auto after = std::find_if(columns.begin(), columns.end(),
                                            [&](const OverlapColumn& column) { return column.start > daysAgo(day); });
            ASSERT_NE(after, columns.begin()) << name << " " << day;
            const auto column = static_cast<std::size_t>(after - columns.begin() - 1);
            const QPoint cell = overlap.cellRect(row, column).center().toPoint();
            EXPECT_EQ(drawn.pixel(cell), ProjectActivityOverlapView::colorForProject(name).rgb())
                << name << ", " << day << " days ago";
        }
    }
}

/// The portfolio's rolling leverage as the application computes it, from the test's store.
class StoreLeverage : public testing::FakeMetrics {
public:
    explicit StoreLeverage(std::shared_ptr<platform::ModelContext> store) : store_(std::move(store)) {}
    std::vector<LeveragePoint> getRollingLeverageSeries(int windowDays, int spanDays, const DailyRows&) override {
        return PortfolioMetricsService(store_).getRollingLeverageSeries(windowDays, spanDays);
    }

private:
    std::shared_ptr<platform::ModelContext> store_;
};

/// What a chart shows: its empty state's caption and offer, or "" for its plot.
struct Shown {
    QString caption;
    bool offersAllTime = false;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Shown& shown) {
        return out << '"' << shown.caption.toStdString() << '"' << (shown.offersAllTime ? " with All Time" : "");
    }
};

template <class Chart>
Shown shown(const Chart& chart, bool plotted) {
    if (plotted) return {};
    return {chart.emptyState().text().caption, chart.emptyState().text().offersAllTime};
}

/// The project page of `name` over the fixture's store, open on its trends of 30 days.
std::unique_ptr<ProjectDetailView> openProjectPage(PortfolioFixture& fixture, AppState& state,
                                                   const std::string& name) {
    for (const auto& listing : NorvaneStore(fixture.container).listProjects()) {
        if (listing.project.name != name) continue;
        auto page = std::make_unique<ProjectDetailView>(state, NorvaneStore(fixture.container), listing);
        page->resize(900, 800);
        page->show();
        EXPECT_TRUE(QTest::qWaitFor([&] { return page->isLoaded(); }, 15'000));
        if (page->trends()) norvane::testing::clickSegment(page->trends()->picker().picker(), 0);
        return page;
    }
    return nullptr;
}

// Found at the foot of the page: opening "Projects" scrolled the page under the pointer, so the
// next click landed on another row. The header clicked stays where it was, on both pages.
TEST(PortfolioView, OpeningASectionLeavesItsHeaderUnderThePointer) {
    PortfolioFixture fixture;
    for (int number = 0; number < 12; ++number) {
        fixture.addCodeCount(fixture.add("project-" + std::to_string(number)), 1'000 * (number + 1));
    }
    const auto first = fixture.context->fetch<Project>({.predicate = ProjectField::name == std::string("project-0")});
    for (int week = 20; week >= 0; --week) {
        auto point = Snapshot::create(first.front());
        point->setSnapshotType(SnapshotType::gitHistory);
        point->capturedAt = daysAgo(7 * week);
        point->cumulativeEffortMonths = 0.5 * (21 - week);
        fixture.context->insert(point);
    }
    fixture.context->save();
    auto page = fixture.open();
    page->resize(900, 600);
    for (const auto section : {PortfolioView::output, PortfolioView::insights, PortfolioView::productivity}) {
        page->section(section).setExpanded(true);
    }
    PortfolioFixture::settle(*page);
    auto* scroll = page->findChild<QScrollArea*>();
    const auto opened = [&](CollapsibleSection& section) {
        QScrollBar& bar = *scroll->verticalScrollBar();
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar.maximum() > 0; }));
        bar.setValue(bar.maximum());
        auto& header = const_cast<SectionHeaderButton&>(section.header());
        const auto inView = [&] { return header.mapTo(scroll->viewport(), QPoint()).y(); };
        const int before = inView();
        const int longest = bar.maximum();
        EXPECT_TRUE(scroll->viewport()->rect().contains(QRect(QPoint(0, before), header.size())));
        QTest::mouseClick(&header, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return bar.maximum() > longest; })) << "the section opened below";
        QCoreApplication::processEvents();
        return inView() - before;
    };
    EXPECT_EQ(opened(page->section(PortfolioView::projects)), 0);

    page.reset();
    auto detail = openProjectPage(fixture, *fixture.state, "project-0");
    detail->resize(900, 600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return detail->isLoaded(); }));
    scroll = detail.get();
    EXPECT_EQ(opened(detail->section(ProjectSection::milestones)), 0) << "on the project page";
}

// Found with years of history imported: the cards asked to collect git history when the chosen
// range only had no commits; then the trend said "No activity in this period" of a range with one
// active day, the retention said "No commits in the last 30 days" beside a month of another
// project's work, and the project page asked for more data points of a history of thousands. Over
// 30 days, both pages tell a missing history, a quiet range, one active day and the projects that
// a quiet month holds for; where All Time may show more, they offer it.
TEST(PortfolioView, EmptyStatesTellWhatTheRangeHoldsOnBothPages) {
    norvane::testing::applicationHome();
    const Shown quiet{"No activity in this period", true};
    const Shown plotted{};
    const struct {
        const char* name;
        bool importsHistory;
        bool commitsTenDaysAgo;
        bool youngProject;
        Shown leverage;
        Shown throughput;
        QString patterns;
        QString retention;
        std::optional<Shown> projectTrend;
    } cases[] = {
        {"no history",
         false,
         false,
         false,
         {"No leverage trend data yet"},
         {"No throughput data yet"},
         "Collect git history to analyze work patterns",
         "Projects need 60+ days of history to calculate velocity retention",
         std::nullopt},
        {"history, a quiet range", true, false, false, quiet, quiet, "No commits in the last 30 days",
         "Velocity retention compares them with each project's first 60 days", quiet},
        {"history, one active day",
         true,
         true,
         false,
         {"One active day in this period", true},
         {"One active day in this period", true},
         "",
         "Your Retention",
         Shown{"One commit in this period", true}},
        {"a quiet project with its early pace and a young one", true, false, true, plotted, plotted, "",
         "atlas had no commits in the last 30 days, and beacon has less than 60 days of history", quiet},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        PortfolioFixture fixture;
        // A commit a week, from 40 weeks ago to 6: enough days for the leverage's 14-day windows.
        DemoRepository atlas(fixture.folder.path() / "atlas");
        for (int week = 40; week >= 6; --week) {
            atlas.writeFile("src/week" + std::to_string(week) + ".cpp", "int week() { return 0; }\n");
            atlas.commit("Add a week", daysAgo(week * 7) + std::chrono::hours(10));
        }
        if (row.commitsTenDaysAgo) {
            atlas.writeFile("src/fix.cpp", "int fix() { return 1; }\n");
            atlas.commit("Fix", daysAgo(10) + std::chrono::hours(10));
        }
        NorvaneKit kit(fixture.container);
        const auto project = kit.addProject("atlas", atlas.folder().string(), std::nullopt, ProjectType::organic);
        if (row.youngProject) {
            const DemoRepository beacon(fixture.folder.path() / "beacon");
            for (int day : {20, 12, 5}) {
                beacon.writeFile("src/day" + std::to_string(day) + ".cpp", "int day() { return 0; }\n");
                beacon.commit("Add a day", daysAgo(day) + std::chrono::hours(10));
            }
            const auto young = kit.addProject("beacon", beacon.folder().string(), std::nullopt, ProjectType::organic);
            ASSERT_FALSE(kit.collector().collectInitialData(young).error);
        }
        if (row.importsHistory) {
            ASSERT_FALSE(kit.collector().collectInitialData(project).error);
            PortfolioMetricsService(fixture.context).buildDailySnapshots();
        } else {
            fixture.addCodeCount(project, 4'000);
        }
        AppState state({fixture.collection, std::make_shared<StoreLeverage>(fixture.context), fixture.index,
                        fixture.preferences, [](const QString&, const QString&) {}, [] {}},
                       {std::chrono::milliseconds(0), std::chrono::hours(1), std::chrono::hours(6)});
        ASSERT_TRUE(QTest::qWaitFor([&] { return state.metricsLoaded(); }, 15'000));
        PortfolioView page(state, fixture.projects, PortfolioServices{fixture.container, fixture.index});
        page.resize(900, 800);
        page.show();
        PortfolioFixture::settle(page);
        for (auto section : {PortfolioView::output, PortfolioView::productivity})
            page.section(section).setExpanded(true);
        norvane::testing::clickSegment(page.trendsContent()->picker().picker(), 0);
        PortfolioFixture::settle(page);
        QCoreApplication::processEvents();

        const auto& leverage = page.trendsContent()->chart();
        EXPECT_EQ(shown(leverage, leverage.isShowingChart()), row.leverage);
        const auto& throughput = page.productivityContent()->throughputChart();
        EXPECT_EQ(shown(throughput, throughput.isShowingChart()), row.throughput);
        const auto* patterns = page.productivityContent()->patternsCard();
        ASSERT_NE(patterns, nullptr);
        if (row.patterns.isEmpty()) {
            EXPECT_NE(patterns->heatmap(), nullptr);
        } else {
            EXPECT_TRUE(norvane::testing::showsText(*patterns, row.patterns));
        }
        EXPECT_TRUE(norvane::testing::showsText(page.outputContent()->comparison(), row.retention));

        auto projectPage = openProjectPage(fixture, state, "atlas");
        ASSERT_NE(projectPage, nullptr);
        ASSERT_EQ(projectPage->trends() != nullptr && projectPage->section(ProjectSection::trends).isVisible(),
                  row.projectTrend.has_value());
        if (!row.projectTrend) continue;
        const auto& cost = *projectPage->trends()->charts().front();
        EXPECT_EQ(shown(cost, cost.state() == MetricsTimelineChartView::State::chart), *row.projectTrend);

        // All Time holds the old commits: taking the offer draws them on either page.
        if (row.projectTrend->offersAllTime) {
            cost.emptyState().allTimeButton().click();
            EXPECT_EQ(projectPage->selectedTimeRange(), TimeRange::allTime);
            EXPECT_TRUE(QTest::qWaitFor([&] {
                return projectPage->trends()->charts().front()->state() == MetricsTimelineChartView::State::chart;
            }));
        }
        if (row.leverage.offersAllTime) {
            leverage.emptyState().allTimeButton().click();
            PortfolioFixture::settle(page);
            EXPECT_EQ(page.trendsContent()->picker().selection(), TimeRange::allTime);
            EXPECT_TRUE(page.trendsContent()->chart().isShowingChart());
        }
    }
}

// The work patterns offer All Time where the range was quiet; it shows the old commits. The card
// taken up stays where it was in the view, though the charts above it grow (it moved 79 pixels).
TEST(PortfolioView, TheWorkPatternsOfferAllTimeOfAQuietRange) {
    norvane::testing::applicationHome();
    PortfolioFixture fixture;
    NorvaneKit kit(fixture.container);
    // Three projects: at All Time the overlap's grid grows a row for each, above the card.
    for (const char* name : {"atlas", "beacon", "cairo"}) {
        DemoRepository repository(fixture.folder.path() / name);
        for (int week = 120; week >= 60; week -= 4) {
            repository.writeFile("src/module" + std::to_string(week) + ".cpp", "int step() { return 0; }\n");
            repository.commit("Add module", daysAgo(week * 7) + std::chrono::hours(10));
        }
        const auto project = kit.addProject(name, repository.folder().string(), std::nullopt, ProjectType::organic);
        ASSERT_FALSE(kit.collector().collectInitialData(project).error);
    }
    PortfolioMetricsService(fixture.context).buildDailySnapshots();
    auto page = fixture.open();
    page->resize(900, 600);
    page->section(PortfolioView::productivity).setExpanded(true);
    norvane::testing::clickSegment(page->trendsContent()->picker().picker(), 0);
    PortfolioFixture::settle(*page);
    const auto card = [&] { return const_cast<WorkPatternsCard*>(page->productivityContent()->patternsCard()); };
    ASSERT_NE(card(), nullptr);
    ASSERT_NE(card()->allTimeButton(), nullptr);
    auto* scroll = page->findChild<QScrollArea*>(QString(), Qt::FindDirectChildrenOnly);
    const auto inView = [&](const QWidget& shown) { return shown.mapTo(scroll->viewport(), QPoint()).y(); };
    // In sight, once the section has laid it out under the charts.
    int laidOut = -1;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        scroll->ensureWidgetVisible(card(), 0, 0);
        const int top = inView(*card());
        const bool settled = std::exchange(laidOut, top) == top;
        return settled && top > 0 && top + card()->height() <= scroll->viewport()->height();
    }));
    const int before = inView(*card());

    card()->allTimeButton()->click();
    PortfolioFixture::settle(*page);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->trendsContent()->picker().selection(), TimeRange::allTime);
    ASSERT_NE(card(), nullptr);
    EXPECT_NE(card()->heatmap(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return inView(*card()) == before; }))
        << inView(*card()) << " instead of " << before;
}

// The real client against our own service on 127.0.0.1.
TEST(PortfolioView, WithTheBenchmarkServiceShowsTheIndexTheMedianAndTheContributors) {
    PortfolioFixture fixture;
    indexserver::IndexServer server(":memory:");
    server.start();
    norvane::testing::TemporaryFolder storage;
    NorvaneIndexService service(server.baseURL(), storage.path());
    for (int device = 0; device < 5; ++device) {
        AnonymousActivityReport report{.deviceId = "device-" + std::to_string(device),
                                       .reportedAt = platform::currentDate(),
                                       .activityDate = daysAgo(1),
                                       .codeLinesChanged = 40 + 60 * device,
                                       .commitCount = 2,
                                       .sizeBucket = "Greenfield",
                                       .projectType = "organic",
                                       .velocityRetention = 50.0 + 20 * device};
        service.send(report).get();
    }
    server.awaitBenchmarks();
    auto atlas = fixture.add("atlas", ProjectStatus::active, [](Project& project) { project.baselineVelocity = 100; });
    fixture.addCodeCount(atlas, 3'000);
    for (int day = 0; day < 10; ++day) fixture.addActivity(atlas, day, 1, 90);
    auto page = fixture.open(std::make_shared<SharedIndexClient>(service));

    const auto& index = page->heroZone().secondaryCard();
    const QString value = index.valueText().text();
    const QString sublabel = index.sublabel().text();
    EXPECT_GT(value.toInt(), 0) << value.toStdString();
    EXPECT_TRUE(sublabel.startsWith(value) && sublabel.endsWith(" percentile")) << sublabel.toStdString();
    EXPECT_TRUE(index.sublabel().isVisible());
    page->section(PortfolioView::output).setExpanded(true);
    EXPECT_NE(page->outputContent()->comparison().bar(), nullptr) << "the retention beside the median";
    EXPECT_EQ(fixture.preferences->cachedContributorCount(), 5);
    EXPECT_TRUE(page->optInCard().statusLabel().text().contains("5"))
        << page->optInCard().statusLabel().text().toStdString();
}

} // namespace
} // namespace norvane::app
