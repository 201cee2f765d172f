#include "Norvane/pages/ProjectDetailView.h"

#include <future>

#include <QComboBox>
#include <QDesktopServices>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "Norvane/cards/CompositionBar.h"
#include "Norvane/cards/OutputCompositionCard.h"
#include "Norvane/cards/VelocityChart.h"
#include "Norvane/cards/VelocityRetentionCard.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/controls/SectionHeaderButton.h"
#include "Norvane/components/controls/TimeRangePicker.h"
#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/tiles/HeroMetricCard.h"
#include "Norvane/components/tiles/HeroZoneView.h"
#include "Norvane/components/tiles/SummaryRowView.h"
#include "Norvane/components/tiles/SummaryStatCard.h"
#include "Norvane/pages/CollectionProgressStrip.h"
#include "Norvane/pages/CostEstimatesView.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/ProjectHeader.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/ProjectTrendsView.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/settings/CocomoTab.h"
#include "core/models/DailyActivity.h"
#include "core/models/SnapshotLanguage.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/Norvane/pages/DrawnFrames.h"
#include "tests/Norvane/pages/ProjectPageFixture.h"

namespace norvane::app {
namespace {

using testing::ProjectPageFixture;

using norvane::testing::momentDaysAgo;

/// Whatever a URL handler of the desktop services is asked to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST(ProjectDetailView, CollectMetricsShowsItsProgressAndAnyCollectionDisablesTheMenu) {
    ProjectPageFixture fixture;
    auto atlas = fixture.addCounted("Atlas", 1200);
    auto beacon = fixture.addCounted("Beacon", 800);
    fixture.collection->projectResults["Atlas"] = testing::succeeded(atlas, false);
    fixture.collection->projectResults["Beacon"] = testing::succeeded(beacon, false);
    auto& page = fixture.open(atlas);
    auto& header = page.header();
    EXPECT_TRUE(header.collectMenu().isEnabled());
    EXPECT_FALSE(page.progressStrip().isVisible());

    QStringList shown;
    QObject::connect(fixture.state.get(), &AppState::collectionProgressChanged, &page, [&] {
        shown << (page.progressStrip().isVisible() ? page.progressStrip().statusText() : QStringLiteral("(none)"));
    });
    header.collectMetricsAction().trigger();
    EXPECT_FALSE(header.collectMenu().isEnabled());
    EXPECT_FALSE(header.fullCollectionAction().isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.state->isCollecting(); }, 10'000));
    EXPECT_EQ(shown, QStringList({"Collecting metrics for Atlas...", "Atlas updated", "(none)"}));
    EXPECT_TRUE(header.collectMenu().isEnabled());

    // Another project's collection shows no strip here, but the menu waits for it all the same.
    shown.clear();
    fixture.state->collectProject("Beacon");
    EXPECT_FALSE(header.collectMenu().isEnabled());
    EXPECT_FALSE(page.progressStrip().isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fixture.state->isCollecting(); }, 10'000));
    EXPECT_EQ(shown, QStringList({"(none)", "(none)", "(none)"}));
}

TEST(ProjectDetailView, ThePathOpensTheFolderInTheFileManager) {
    ProjectPageFixture fixture;
    auto atlas = fixture.addCounted("Atlas", 1200);
    auto& page = fixture.open(atlas);
    OpenedUrls opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    page.header().pathButton().click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(page.header().pathButton().text(), "/tmp/Atlas") << "outside the home folder the path stays whole";
    EXPECT_EQ(opened.urls, QList<QUrl>({QUrl::fromLocalFile(QStringLiteral("/tmp/Atlas"))}));
    EXPECT_EQ(page.header().commitLineText(), QStringLiteral("a1b2c3d \u00B7 Ship the Atlas release"));
}

TEST(ProjectDetailView, NewRatesInTheSettingsRepriceTheOpenPage) {
    ProjectPageFixture fixture;
    auto& page = fixture.open(fixture.addCounted("Atlas", 10'000));
    page.section(ProjectSection::costEstimates).setExpanded(true);
    auto* costs = page.costEstimates();
    ASSERT_NE(costs, nullptr);
    // 10000 lines of complexity 500 in C++ (1.4): 200 x 1.5 x 1.4 = 420 hours.
    EXPECT_EQ(costs->marketTexts(), QStringList({"$63,000", "Market Rate (2024)", "C++ @ $150/hr"}));

    CocomoTab settings(fixture.state->preferences());
    settings.show();
    settings.hourlyRatePicker().setFocus();
    QTest::keyClick(&settings.hourlyRatePicker(), Qt::Key_Down);
    QTest::keyClick(&settings.hourlyRatePicker(), Qt::Key_Down);
    EXPECT_EQ(fixture.state->preferences().marketHourlyRate(), 200.0);
    EXPECT_EQ(costs->marketTexts(), QStringList({"$84,000", "Market Rate (2024)", "C++ @ $200/hr"}));
    EXPECT_TRUE(costs->marketCard().toolTip().contains("($200/hour)"));
    EXPECT_EQ(costs->comparisonText(), "COCOMO estimates 9.6x higher than market rate");

    // The COCOMO figures follow the user's wage and overhead, not the defaults.
    settings.overheadField().selectAll();
    QTest::keyClicks(&settings.overheadField(), "4.8");
    QTest::keyClick(&settings.overheadField(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return costs->comparisonText().contains("19.2x"); }, 5'000))
        << costs->comparisonText().toStdString();
}

TEST(ProjectDetailView, OnePageServesEveryProjectAndCarriesTheChoicesMadeOnIt) {
    ProjectPageFixture fixture;
    auto atlas = fixture.addCounted("Atlas", 12'000);
    fixture.addHistory(atlas, 20);
    auto beacon = fixture.addCounted("Beacon", 3'000);
    fixture.addHistory(beacon, 20);
    auto& page = fixture.open(atlas);
    norvane::testing::clickSegment(page.leverageModePicker(), 1);
    EXPECT_EQ(fixture.state->preferences().projectLeverageMode(), "Cumulative");
    ASSERT_NE(page.trends(), nullptr);
    norvane::testing::clickSegment(page.trends()->picker().picker(), 2);
    EXPECT_EQ(page.selectedTimeRange(), TimeRange::oneYear);
    const QPointer<MetricsTimelineChartView> atlasChart = page.trends()->charts().front();

    auto& next = fixture.open(beacon);
    EXPECT_EQ(&next, &page) << "the page is kept, not rebuilt";
    EXPECT_EQ(next.header().nameLabel().text(), "Beacon");
    EXPECT_EQ(next.leverageModePicker().selection(), "Cumulative");
    // 21 weeks of half a month each over 400 days: 10.5 / (400 / 30).
    EXPECT_EQ(next.heroZone().primaryCard().valueText().text(), "0.8x");
    EXPECT_FALSE(next.heroZone().primaryCard().deltaRow().isVisible());
    EXPECT_EQ(next.trends()->picker().selection(), TimeRange::oneYear);
    EXPECT_TRUE(atlasChart.isNull()) << "another history of the same length is drawn anew";

    // Through the portfolio the page starts afresh; the leverage mode is kept.
    fixture.window->sidebar().setSelection(SidebarSelection::portfolio());
    auto& fresh = fixture.open(atlas);
    EXPECT_EQ(fresh.selectedTimeRange(), TimeRange::ninetyDays);
    EXPECT_EQ(fresh.leverageModePicker().selection(), "Cumulative");
}

TEST(ProjectDetailView, TheDayPickersReadTheChosenWindow) {
    ProjectPageFixture fixture;
    auto atlas = fixture.addCounted("Atlas", 5'000);
    fixture.addHistory(atlas, 52);
    auto beacon = fixture.addCounted("Beacon", 2'000);
    fixture.addHistory(beacon, 52);
    for (const auto& [project, age, code, docs] :
         {std::tuple{atlas, 200, 9'000, 0}, {atlas, 120, 3'000, 0}, {atlas, 10, 0, 400}, {beacon, 100, 700, 0}}) {
        auto day = DailyActivity::create(project, momentDaysAgo(age));
        day->codeLinesInserted = code;
        day->docsLinesInserted = docs;
        day->linesTouched = code + docs;
        day->commitCount = 1;
        fixture.context->insert(day);
    }
    fixture.context->save();
    fixture.refreshCaches();
    auto& page = fixture.open(atlas);
    page.section(ProjectSection::outputComposition).setExpanded(true);
    page.section(ProjectSection::velocityRetention).setExpanded(true);
    auto* composition = page.compositionCard();
    ASSERT_NE(composition, nullptr);
    const auto segments = [&] { return composition->findChild<CompositionBar*>()->segments().size(); };
    EXPECT_EQ(segments(), 1u) << "docs alone in the last 30 days";
    const auto velocityPoints = [&] {
        return page.velocityCard()->chart() ? page.velocityCard()->chart()->plot().graph(0)->dataCount() : 0;
    };
    const int ninetyDays = velocityPoints();

    norvane::testing::clickSegment(composition->picker().picker(), 2);
    EXPECT_EQ(page.compositionDays(), 365);
    EXPECT_EQ(composition->picker().selection(), 30) << "the picker names the window of the figures shown";
    ASSERT_TRUE(ProjectPageFixture::settles(page));
    EXPECT_EQ(composition->picker().selection(), 365);
    EXPECT_EQ(segments(), 2u) << "a year holds the code of the older days as well";

    norvane::testing::clickSegment(page.velocityCard()->picker().picker(), 2);
    ASSERT_TRUE(ProjectPageFixture::settles(page));
    EXPECT_EQ(page.velocityCard()->picker().selection(), 365);
    EXPECT_GT(velocityPoints(), ninetyDays);
    EXPECT_EQ(page.compositionDays(), 365) << "each picker keeps its own window";

    // The next project shows its own figures of the window that stays chosen.
    auto& next = fixture.open(beacon);
    ASSERT_TRUE(ProjectPageFixture::settles(next));
    ASSERT_NE(next.compositionCard(), nullptr);
    EXPECT_EQ(next.compositionCard()->picker().selection(), 365);
    EXPECT_EQ(next.compositionCard()->findChild<CompositionBar*>()->segments().size(), 1u)
        << "Beacon's code of 100 days ago, none of Atlas's docs";
    EXPECT_EQ(next.velocityCard()->picker().selection(), 365);
}

// With the keyboard alone: every section opens with Space, Tab reaches every control of the
// window in the order of the page, with the ring around each, and the pickers change with the
// arrows.
TEST(ProjectDetailView, TabReachesEveryControlInPageOrderAndKeysSetThePickers) {
    using norvane::testing::pressKey;
    using norvane::testing::tabTo;
    norvane::testing::themedApplication();
    ProjectPageFixture fixture;
    auto atlas = fixture.addCounted("Atlas", 5'000);
    fixture.addHistory(atlas, 52);
    fixture.refreshCaches();
    auto& page = fixture.open(atlas);
    fixture.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fixture.window.get()));
    const auto sections = page.shownSections();
    ASSERT_EQ(sections.size(), 5U) << "the latest commit waits for a collection";
    for (const auto section : sections) {
        ASSERT_TRUE(tabTo(page.section(section).header()));
        if (!page.section(section).isExpanded()) pressKey(Qt::Key_Space);
        EXPECT_TRUE(page.section(section).isExpanded());
    }
    ASSERT_TRUE(ProjectPageFixture::settles(page));
    EXPECT_EQ(norvane::testing::keyboardGaps(*fixture.window).join(" | ").toStdString(), "");

    ASSERT_TRUE(tabTo(page.leverageModePicker()));
    std::vector<const QWidget*> stops{&page.leverageModePicker()};
    for (const auto& stop : norvane::testing::tabAround()) stops.push_back(stop.widget);
    const auto at = [&](const QWidget& widget) {
        return std::find(stops.begin(), stops.end(), &widget) - stops.begin();
    };
    const std::vector<const QWidget*> inPageOrder{&page.section(ProjectSection::trends).header(),
                                                  &page.trends()->picker().picker(),
                                                  &page.section(ProjectSection::outputComposition).header(),
                                                  &page.compositionCard()->picker().picker(),
                                                  &page.section(ProjectSection::velocityRetention).header(),
                                                  &page.velocityCard()->picker().picker(),
                                                  &page.section(ProjectSection::milestones).header(),
                                                  &page.section(ProjectSection::costEstimates).header()};
    for (std::size_t index = 1; index < inPageOrder.size(); ++index) {
        EXPECT_LT(at(*inPageOrder[index - 1]), at(*inPageOrder[index])) << index;
    }

    ASSERT_TRUE(tabTo(page.leverageModePicker()));
    pressKey(Qt::Key_Right);
    EXPECT_EQ(fixture.state->preferences().projectLeverageMode(), "Cumulative");
    ASSERT_TRUE(tabTo(page.trends()->picker().picker()));
    pressKey(Qt::Key_Right);
    EXPECT_EQ(page.selectedTimeRange(), TimeRange::oneYear);
    ASSERT_TRUE(tabTo(page.compositionCard()->picker().picker()));
    pressKey(Qt::Key_End);
    EXPECT_EQ(page.compositionDays(), 365);
    ASSERT_TRUE(ProjectPageFixture::settles(page));
    ASSERT_TRUE(tabTo(page.velocityCard()->picker().picker()));
    pressKey(Qt::Key_End);
    EXPECT_EQ(page.velocityDays(), 365);
    ASSERT_TRUE(ProjectPageFixture::settles(page));
}

// Found reading the foot of a short page: a history import put Trends and Milestones above the
// text being read, which moved down out of sight. It stays, as under the portfolio's streak card.
TEST(ProjectDetailView, SectionsShownAboveTheViewKeepWhatTheReaderLooksAtInPlace) {
    ProjectPageFixture fixture;
    auto atlas = fixture.addCounted("Atlas", 12'000);
    fixture.window->resize(1100, 600);
    auto& page = fixture.open(atlas);
    page.section(ProjectSection::costEstimates).setExpanded(true);
    page.section(ProjectSection::latestCommit).setExpanded(true);
    QScrollBar& bar = *page.verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.maximum() > 0; }));
    bar.setValue(bar.maximum());
    const QWidget& read = page.section(ProjectSection::latestCommit);
    const auto inView = [&] { return read.mapTo(page.viewport(), QPoint()).y(); };
    const int before = inView();

    fixture.addHistory(atlas, 12);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.section(ProjectSection::trends).isVisible(); }));
    ASSERT_TRUE(ProjectPageFixture::settles(page));
    EXPECT_TRUE(QTest::qWaitFor([&] { return inView() == before; })) << inView() << " instead of " << before;
}

/// What the project page shows: where the header, the leverage, its mode picker, the summary
/// tiles and each row under them stand, and every text on the page.
testing::Fold foldOf(const ProjectDetailView& page) {
    testing::Fold fold;
    fold.place(page, page.header());
    fold.place(page, page.heroZone().primaryCard().valueText());
    fold.place(page, page.leverageModePicker());
    for (const auto* card : page.summaryRow().cards()) fold.place(page, *card);
    const QWidget& body = *page.heroZone().parentWidget();
    for (const QWidget* row : body.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        fold.place(page, *row);
    }
    fold.read(page, *page.widget(), QWIDGETSIZE_MAX);
    return fold;
}

/// Every frame the window drew of its project page from `start` on until the page has loaded and
/// `done` holds, held to the settled frame: each text is the settled one or "--", nothing drawn
/// moves, nothing is cut.
template <typename Start, typename Done>
void expectEveryFrameSettled(const ProjectPageFixture& fixture, Start start, Done done) {
    const auto fold = [&] {
        const auto* page = fixture.window->findChild<ProjectDetailView*>();
        return page ? foldOf(*page) : testing::Fold{};
    };
    const testing::DrawnFrames drawn(*fixture.window, fold);
    start();
    const auto* page = fixture.window->findChild<ProjectDetailView*>();
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return page->isLoaded() && done(*page); }, 15'000));
    ASSERT_TRUE(testing::settles(fold));
    const testing::Fold settled = fold();
    testing::expectEveryFrameSettled(drawn, settled);
}

// Found opening a project at start-up: "14-Day" showed the size estimate that the cached figure
// replaced, whose change then pushed the mode picker down; the composition and velocity sections
// came with the cache and moved every section under them; the commit line came with the page's
// reads and moved the description.
TEST(ProjectDetailView, EveryFrameShowsTheSettledFiguresOrTheirPlaceholdersAtStartAndAfterASwitch) {
    std::promise<void> firstRead;
    ProjectPageFixture fixture(firstRead.get_future().share());
    fixture.storeMetrics->leverage.leverage14Day = 2.5;
    fixture.storeMetrics->leverage.leveragePrior14Day = 2.0;
    for (const char* section : {"trends", "output", "velocity", "milestones", "costs", "git"}) {
        fixture.settings->setValue(QStringLiteral("project.%1.expanded").arg(section), true);
    }
    const auto project = [&](const std::string& name, std::optional<double> baseline) {
        auto counted = fixture.addCounted(name, 12'000);
        counted->projectDescription = "The " + name + " service";
        counted->baselineVelocity = baseline;
        for (int day = 20; day >= 0; day -= 2) {
            auto activity = DailyActivity::create(counted, momentDaysAgo(day));
            activity->codeLinesInserted = 100 + day;
            fixture.context->insert(activity);
        }
        fixture.context->save();
        fixture.addHistory(counted, 30);
        return counted;
    };
    const auto atlas = project("Atlas", 120.0);
    const auto beacon = project("Beacon", std::nullopt);
    QCoreApplication::processEvents();
    const auto select = [&](const std::shared_ptr<Project>& chosen) {
        fixture.window->sidebar().setSelection(SidebarSelection::project(chosen->id));
    };
    {
        SCOPED_TRACE("opened before the cache is first read");
        bool released = false;
        expectEveryFrameSettled(
            fixture, [&] { select(atlas); },
            [&](const ProjectDetailView& page) {
                if (!released) {
                    EXPECT_EQ(page.heroZone().primaryCard().valueText().text(), "--");
                    firstRead.set_value();
                    released = true;
                }
                return fixture.state->metricsLoaded();
            });
        const auto& page = *fixture.window->findChild<ProjectDetailView*>();
        EXPECT_EQ(page.heroZone().primaryCard().valueText().text(), "2.5x");
        EXPECT_TRUE(page.heroZone().primaryCard().deltaRow().isVisible());
        ASSERT_NE(page.velocityCard(), nullptr);
        EXPECT_TRUE(page.velocityCard()->isVisible());
    }
    SCOPED_TRACE("after a switch");
    expectEveryFrameSettled(
        fixture, [&] { select(beacon); },
        [&](const ProjectDetailView& page) { return page.project().id == beacon->id; });
    EXPECT_EQ(fixture.window->findChild<ProjectDetailView*>()->header().descriptionText(), "The Beacon service");
}

} // namespace
} // namespace norvane::app

#include "ProjectDetailViewTest.moc"
