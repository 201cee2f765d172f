#include "core/facade/NorvaneStore.h"

#include "core/analytics/InsightsService.h"
#include "core/analytics/MilestoneService.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/analytics/WorkPatternService.h"
#include "core/models/DailyActivity.h"
#include "core/models/NewestSnapshot.h"
#include "core/models/StoredSettings.h"
#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace norvane {
namespace {

using platform::Date;
namespace calendar = platform::LocalCalendar;

/// A saved store with what the pages meet: history with commits and crossed milestones, code counts
/// with language rows of every category (two taken at one moment), a commit without a message,
/// daily rows with and without commits, a paused, an archived and an empty project. The figures
/// read from it are compared with what the record-based services, which the pages used to call,
/// compute from the same store.
class NorvaneStoreTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::ScopedTimeZone timeZone{"Europe/Berlin"};
    Date now = testing::localDate(2026, 6, 10, 15, 30);
    NorvaneStore store{context->container()};

    void SetUp() override {
        atlas = addProject("atlas");
        atlas->firstCommitAt = daysAgo(400);
        atlas->latestCommitAt = daysAgo(1);
        atlas->baselineVelocity = 120.0;
        beacon = addProject("beacon");
        beacon->status = ProjectStatus::paused;
        beacon->baselineVelocity = 80.0;
        old = addProject("old");
        old->status = ProjectStatus::archived;
        empty = addProject("empty");
        addHistory(atlas, 300, 2, 900.0);
        addHistory(beacon, 90, 3, 250.0);
        addCodeCounts();
        addActivity(atlas, 0);
        addActivity(beacon, 5);
        context->save();
    }

    Date daysAgo(int days, int hours = 9) const {
        return calendar::addingDays(calendar::startOfDay(now), -days) + std::chrono::hours(hours);
    }

    /// A history point every `step` days over `days` days, every third with a commit.
    void addHistory(const std::shared_ptr<Project>& project, int days, int step, double costPerPoint) {
        int point = 0;
        for (int day = days; day >= 0; day -= step) {
            ++point;
            auto snapshot = addSnapshot(project, daysAgo(day, 8 + point % 12), SnapshotType::gitHistory);
            snapshot->codeLines = 150 * point;
            snapshot->cumulativeLinesChanged = 160 * point;
            snapshot->cumulativeEffortMonths = 0.05 * point + (point % 7 == 0 ? -0.02 : 0.0);
            snapshot->cumulativeEstimatedCost = costPerPoint * point;
            if (point % 3 == 0) {
                snapshot->latestCommitHash = "c0ffee" + std::to_string(point) + "0123456789";
                snapshot->latestCommitMessage = "Change " + std::to_string(point) + "\n\nWhy it was made.";
                snapshot->latestCommitAuthor = "Ada";
                snapshot->latestCommitDate = snapshot->capturedAt;
            }
        }
        // The newest point carries a commit without a message: no summary can be told of it.
        auto newest = addSnapshot(project, daysAgo(0, 12), SnapshotType::gitHistory);
        newest->latestCommitHash = "feedface";
        newest->cumulativeEstimatedCost = costPerPoint * (point + 1);
    }

    void addCodeCounts() {
        addSnapshot(atlas, daysAgo(30), SnapshotType::scc, {{"C++", 90'000, OutputCategory::code, 7000}})->codeLines =
            90'000;
        const std::vector<testing::LanguageRow> rows{{"C++", 12'000, OutputCategory::code, 900},
                                                     {"Markdown", 3000, OutputCategory::docs, 0},
                                                     {"Python", 12'000, std::nullopt, 300},
                                                     {"YAML", 400, OutputCategory::config, 0},
                                                     {"Go", 800, OutputCategory::tests, 40}};
        auto first = addSnapshot(atlas, daysAgo(0, 13), SnapshotType::scc, rows);
        first->codeLines = 28'200;
        first->totalFiles = 310;
        first->totalComplexity = 1240;
        first->latestCommitHash = "abcdef0123456";
        first->latestCommitMessage = "Ship it\nwith notes";
        first->latestCommitAuthor = "Grace";
        // Taken at the same moment but stored after: the first one stored counts.
        addSnapshot(atlas, daysAgo(0, 13), SnapshotType::scc, {{"Rust", 99, OutputCategory::code, 9}})->codeLines = 99;
        addSnapshot(old, daysAgo(3), SnapshotType::scc, {{"C", 5000, OutputCategory::code, 100}})->codeLines = 5000;
    }

    void addActivity(const std::shared_ptr<Project>& project, int offset) {
        for (int day = 120; day >= 0; --day) {
            if ((day + offset) % 5 == 4) continue;
            auto row = DailyActivity::create(project, daysAgo(day, 0));
            row->codeLinesInserted = 40 + (day * 7 + offset) % 90;
            row->codeLinesDeleted = 10 + (day + offset) % 30;
            row->docsLinesInserted = day % 11;
            row->docsLinesDeleted = day % 4;
            row->testLinesInserted = (day + offset) % 17;
            row->testLinesDeleted = day % 6;
            row->configLinesInserted = day % 3;
            row->configLinesDeleted = day % 2;
            row->commitCount = (day + offset) % 4;
            context->insert(row);
        }
    }

    std::shared_ptr<Project> atlas, beacon, old, empty;
};

/// What the project page computed from the project's records before it read plain figures: kept
/// here only as the oracle.
ProjectPageData recordPage(const std::shared_ptr<platform::ModelContext>& context,
                           const std::shared_ptr<Project>& project, const ProjectPageRequest& request, Date now) {
    ProjectPageData data;
    data.request = request;
    data.project = project->info();
    auto snapshots = project->snapshots();
    std::stable_sort(snapshots.begin(), snapshots.end(),
                     [](const auto& a, const auto& b) { return a->capturedAt > b->capturedAt; });
    if (!snapshots.empty()) {
        const auto& newest = *snapshots.front();
        data.newestCommit = RecordedCommit{newest.latestCommitHash, newest.latestCommitMessage,
                                           newest.latestCommitAuthor, newest.latestCommitDate};
    }
    for (const auto& snapshot : snapshots) {
        if (snapshot->snapshotType() != SnapshotType::gitHistory) continue;
        if (!data.newestHistory)
            data.newestHistory = HistoryTotals{snapshot->cumulativeEffortMonths, snapshot->cumulativeLinesChanged};
        data.history.push_back({snapshot->capturedAt, snapshot->codeLines, snapshot->cumulativeEffortMonths,
                                snapshot->cumulativeEstimatedCost, snapshot->cumulativeLinesChanged});
    }
    std::reverse(data.history.begin(), data.history.end());
    if (const auto count = newestCodeSnapshot(*project)) {
        auto languages = count->languages();
        std::optional<std::string> main;
        std::int64_t mainCode = 0;
        for (const auto& row : languages) {
            if (!main || row->code > mainCode || (row->code == mainCode && row->language < *main)) {
                main = row->language;
                mainCode = row->code;
            }
        }
        data.latestMeasurement = CodeCount{count->codeLines,
                                           count->totalFiles,
                                           count->totalComplexity,
                                           count->codeCategoryCode(),
                                           count->codeCategoryComplexity(),
                                           main};
    }
    data.sizeBucket = project->sizeBucket();
    data.maturityMultiplier = project->maturityMultiplier(now).value;
    const MilestoneService milestones(context);
    data.milestones = milestones.getMilestones(project);
    if (data.milestones.nextMilestone)
        data.averageDaysToNext = milestones.getAverageTimeToMilestone(*data.milestones.nextMilestone);
    PortfolioMetricsService metrics(context, [now] { return now; });
    data.composition = metrics.getOutputComposition(project, request.compositionDays);
    data.velocity = metrics.getVelocityTimeSeries(project, request.velocityDays);
    return data;
}

void expectSameMilestones(const MilestoneProgress& read, const MilestoneProgress& expected) {
    ASSERT_EQ(read.reached.size(), expected.reached.size());
    for (std::size_t i = 0; i < read.reached.size(); ++i) {
        EXPECT_EQ(read.reached[i].type, expected.reached[i].type);
        EXPECT_EQ(read.reached[i].reachedAt, expected.reached[i].reachedAt);
        EXPECT_EQ(read.reached[i].daysFromStart, expected.reached[i].daysFromStart);
        EXPECT_EQ(read.reached[i].value, expected.reached[i].value);
    }
    EXPECT_EQ(read.nextMilestone, expected.nextMilestone);
    EXPECT_EQ(read.progressToNext, expected.progressToNext);
    EXPECT_EQ(read.currentValue, expected.currentValue);
    EXPECT_EQ(read.currentSloc, expected.currentSloc);
}

void expectSameComposition(const OutputComposition& read, const OutputComposition& expected) {
    for (const auto& [got, want] : {std::pair{read.code, expected.code}, std::pair{read.docs, expected.docs},
                                    std::pair{read.tests, expected.tests}, std::pair{read.config, expected.config}}) {
        EXPECT_EQ(got.insertions, want.insertions);
        EXPECT_EQ(got.deletions, want.deletions);
        EXPECT_DOUBLE_EQ(got.percent, want.percent);
    }
}

void expectSameVelocity(const std::vector<PortfolioMetricsService::VelocityPoint>& read,
                        const std::vector<PortfolioMetricsService::VelocityPoint>& expected) {
    ASSERT_EQ(read.size(), expected.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].date, expected[i].date);
        EXPECT_EQ(read[i].velocity, expected[i].velocity);
    }
}

TEST_F(NorvaneStoreTest, ListingsTellEachProjectsNewestSnapshotAndCommitAsItsRecordsDo) {
    const auto listings = store.listProjects();
    std::vector<std::string> names;
    for (const auto& listing : listings) names.push_back(listing.project.name);
    EXPECT_EQ(names, (std::vector<std::string>{"atlas", "beacon", "empty", "old"}));
    for (const auto& listing : listings) {
        const auto record = context->fetch<Project>({.predicate = ProjectField::id == listing.project.id}).front();
        const auto newest = newestSnapshot(*record);
        ASSERT_EQ(listing.newestSnapshot.has_value(), newest != nullptr) << listing.project.name;
        if (newest) {
            EXPECT_EQ(listing.newestSnapshot->capturedAt, newest->capturedAt);
            EXPECT_EQ(listing.newestSnapshot->codeLines, newest->codeLines);
        }
        EXPECT_EQ(listing.commitSummary, record->latestCommitSummary()) << listing.project.name;
        EXPECT_EQ(listing.project.status, record->status);
        EXPECT_EQ(listing.project.firstCommitAt, record->firstCommitAt);
    }
    EXPECT_EQ(listings[0].commitSummary, CommitSummary("abcdef0", "Ship it"));
    EXPECT_EQ(listings[1].commitSummary, std::nullopt) << "its newest commit has no message";
}

TEST_F(NorvaneStoreTest, TheProjectPageReadsWhatItsRecordsGave) {
    for (const auto& project : {atlas, beacon, empty}) {
        for (const auto& request : {ProjectPageRequest{project->id, 30, 90}, ProjectPageRequest{project->id, 7, 30}}) {
            const auto read = store.projectPage(request, {}, now);
            ASSERT_TRUE(read) << project->name;
            const auto expected = recordPage(context, project, request, now);
            EXPECT_EQ(read->history, expected.history) << project->name;
            EXPECT_EQ(read->newestHistory, expected.newestHistory);
            EXPECT_EQ(read->latestMeasurement, expected.latestMeasurement);
            EXPECT_EQ(read->newestCommit, expected.newestCommit);
            EXPECT_EQ(read->sizeBucket, expected.sizeBucket);
            EXPECT_EQ(read->maturityMultiplier, expected.maturityMultiplier);
            expectSameMilestones(read->milestones, expected.milestones);
            EXPECT_EQ(read->averageDaysToNext, expected.averageDaysToNext);
            expectSameComposition(read->composition, expected.composition);
            expectSameVelocity(read->velocity, expected.velocity);
        }
    }
    EXPECT_EQ(store.projectPage({atlas->id, 30, 90}, {}, now)->latestMeasurement->mainLanguage, "C++")
        << "of equal code lines, the first name";
    const MilestoneAverages known{{MilestoneType::value500k, 42}};
    EXPECT_EQ(store.projectPage({atlas->id, 30, 90}, known, now)->averageDaysToNext, 42)
        << "a known average is taken as it is";
    EXPECT_FALSE(store.projectPage({Project::create("gone", "/tmp", std::nullopt, ProjectType::organic)->id}, {}, now));
}

TEST_F(NorvaneStoreTest, ProjectFiguresAreThoseOfTheMetricsService) {
    const auto figures = store.projectFigures([this] { return now; });
    PortfolioMetricsService service(context, [this] { return now; });
    for (const auto& project : {atlas, beacon, old, empty}) {
        const auto leverage = figures.calculateProjectRollingLeverage(*project);
        const auto expected = service.calculateProjectRollingLeverage(project);
        EXPECT_EQ(leverage.leverage7Day, expected.leverage7Day) << project->name;
        EXPECT_EQ(leverage.leverage14Day, expected.leverage14Day);
        EXPECT_EQ(leverage.leveragePrior7Day, expected.leveragePrior7Day);
        EXPECT_EQ(leverage.leveragePrior14Day, expected.leveragePrior14Day);
        EXPECT_EQ(leverage.throughput7Day, expected.throughput7Day);
        EXPECT_EQ(leverage.throughput14Day, expected.throughput14Day);
        for (const int days : {0, 1, 7, 30, 3650}) {
            expectSameComposition(figures.getOutputComposition(*project, days),
                                  service.getOutputComposition(project, days));
            expectSameVelocity(figures.getVelocityTimeSeries(*project, days),
                               service.getVelocityTimeSeries(project, days));
        }
        const auto retention = figures.getVelocityRetention(*project);
        const auto expectedRetention = service.getVelocityRetention(project);
        EXPECT_EQ(retention.baselineVelocity, expectedRetention.baselineVelocity);
        EXPECT_EQ(retention.currentVelocity, expectedRetention.currentVelocity);
        EXPECT_EQ(retention.retentionPercent, expectedRetention.retentionPercent);
        EXPECT_EQ(retention.assessment, expectedRetention.assessment);
    }
}

TEST_F(NorvaneStoreTest, ThePortfolioPageReadsWhatTheServicesAndRecordsGave) {
    auto reads = store.portfolioPage([this] { return now; });
    const auto listed = reads.listedProjects();
    ASSERT_EQ(listed.size(), 3u) << "the archived project is not listed";
    for (const auto& entry : listed) {
        const auto record = context->fetch<Project>({.predicate = ProjectField::id == entry.project.id}).front();
        const auto count = newestCodeSnapshot(*record);
        ASSERT_EQ(entry.codeCount.has_value(), count != nullptr);
        if (count) {
            EXPECT_EQ(entry.codeCount->codeLines, count->codeLines);
            EXPECT_EQ(entry.codeCount->codeCategoryCode, count->codeCategoryCode());
            EXPECT_EQ(entry.codeCount->codeCategoryComplexity, count->codeCategoryComplexity());
        }
        EXPECT_EQ(entry.sizeBucket, record->sizeBucket());
        EXPECT_EQ(entry.maturityMultiplier, record->maturityMultiplier(now).value);
    }
    PortfolioMetricsService service(context, [this] { return now; });
    const WorkPatternService patterns(context, [this] { return now; });
    for (const int days : {7, 30, 90, 3650}) {
        expectSameComposition(reads.composition(days), service.getPortfolioOutputComposition(days));
        const auto read = reads.workPatterns(days);
        const auto expected = patterns.analyzePatterns(days);
        EXPECT_EQ(read.heatmap, expected.heatmap) << days;
        EXPECT_EQ(read.totalCommits, expected.totalCommits);
        EXPECT_EQ(read.peakHour, expected.peakHour);
        EXPECT_EQ(read.peakDay, expected.peakDay);
        EXPECT_EQ(read.weekendPercentage, expected.weekendPercentage);
    }
    std::set<Date> active;
    for (const auto& row : context->fetch<DailyActivity>({.predicate = DailyActivityField::commitCount >= 1}))
        active.insert(calendar::startOfDay(row->date));
    EXPECT_EQ(reads.activeDays(), active);
    EXPECT_TRUE(reads.hasActivity());
    EXPECT_EQ(reads.retentionPercent(*atlas), service.getVelocityRetention(atlas).retentionPercent);
}

TEST_F(NorvaneStoreTest, DailyRowsRebuiltFromThePlainHistoryEqualThoseFromTheRecords) {
    PortfolioMetricsService service(context);
    const int fromRecords = service.buildDailySnapshots();
    const auto rowsOf = [this] {
        std::vector<std::tuple<Date, std::int64_t, std::int64_t, double, double, std::string, std::int64_t>> rows;
        for (const auto& row :
             platform::ModelContext(context->container())
                 .fetch<DailyPortfolioSnapshot>({.sortBy = {platform::ascending(DailyPortfolioSnapshotField::date)}})) {
            rows.emplace_back(row->date, row->activeProjectCount, row->totalCommits, row->dailyEffortMonths,
                              row->cumulativeEffortMonths, row->activeProjectNames, row->headcount);
        }
        return rows;
    };
    const auto expected = rowsOf();
    ASSERT_FALSE(expected.empty());
    context->removeAll(DailyPortfolioSnapshotField::activeProjectCount >= std::int64_t{0});
    context->save();
    EXPECT_EQ(store.buildDailySnapshots(), fromRecords);
    EXPECT_EQ(rowsOf(), expected);
}

/// What a portfolio's figures take from the daily rows.
auto figuresOfTheRows(const PortfolioMetrics& metrics) {
    return std::tuple(
        metrics.dailyThroughput, metrics.parallelismFactor, metrics.capacityUtilization, metrics.peakThroughput,
        metrics.peakPeriodStart, metrics.peakPeriodEnd, metrics.totalEffortMonths, metrics.portfolioAgeDays,
        metrics.portfolioLeverage, metrics.leveragePrior, metrics.leverageGrowthRate, metrics.rollingLeverage7Day,
        metrics.rollingLeverage14Day, metrics.rollingLeveragePrior7Day, metrics.rollingLeveragePrior14Day,
        metrics.rollingThroughput7Day, metrics.rollingThroughput14Day, metrics.rollingLeverage30Day,
        metrics.rollingLeveragePrior30Day, metrics.peak7DayLeverage, metrics.peak7DayStart, metrics.peak14DayLeverage,
        metrics.peak14DayEnd, metrics.current7DayPercentile, metrics.current14DayPercentile);
}

// While another program holds the store, the figures are read from the daily rows made in memory
// rather than from the stored ones, which the store does not take yet: every window, at moments
// within and beyond the history, reads what it reads once they are stored.
TEST_F(NorvaneStoreTest, TheDailyRowsMadeInMemoryGiveTheFiguresOfTheStoredOnes) {
    ASSERT_TRUE(context->fetch<DailyPortfolioSnapshot>().empty());
    const auto derived = store.deriveDailySnapshots();
    ASSERT_GT(derived->size(), 100u);
    EXPECT_TRUE(context->fetch<DailyPortfolioSnapshot>().empty()) << "made in memory only";
    store.saveDailySnapshots(derived);
    ASSERT_EQ(context->fetch<DailyPortfolioSnapshot>().size(), derived->size());
    std::vector<Date> moments;
    for (const int daysBefore : {0, 1, 20, 45, 89, 200, 299, 300, 301, 700}) {
        // A window from the start of a day begins with that day's row.
        for (const Date day : {now, calendar::startOfDay(now)})
            moments.push_back(calendar::addingDays(day, -daysBefore));
    }
    for (const Date moment : moments) {
        SCOPED_TRACE(calendar::wholeDaysBetween(moment, now));
        const platform::Clock clock = [moment] { return moment; };
        PortfolioMetricsService fromMemory(context, clock, derived);
        PortfolioMetricsService stored(context, clock);
        for (const int days : {7, 30}) {
            EXPECT_EQ(figuresOfTheRows(fromMemory.calculateMetrics(days)),
                      figuresOfTheRows(stored.calculateMetrics(days)));
        }
        const auto leverage = [](std::vector<PortfolioMetricsService::LeveragePoint> series) {
            std::vector<std::pair<Date, double>> points;
            for (const auto& point : series) points.emplace_back(point.date, point.leverage);
            return points;
        };
        EXPECT_EQ(leverage(fromMemory.getRollingLeverageSeries(14, 730)),
                  leverage(stored.getRollingLeverageSeries(14, 730)));
        std::vector<std::pair<Date, double>> throughput;
        for (const auto& point : fromMemory.getDailyThroughputSeries(90))
            throughput.emplace_back(point.date, point.throughput);
        std::vector<std::pair<Date, double>> storedThroughput;
        for (const auto& point : stored.getDailyThroughputSeries(90))
            storedThroughput.emplace_back(point.date, point.throughput);
        EXPECT_EQ(throughput, storedThroughput);
        std::vector<std::string> insights;
        for (const auto& insight : InsightsService(context, clock, derived).generateInsights())
            insights.push_back(insight.title);
        std::vector<std::string> storedInsights;
        for (const auto& insight : InsightsService(context, clock).generateInsights())
            storedInsights.push_back(insight.title);
        EXPECT_EQ(insights, storedInsights);
    }
}

// Found as the window started on a store without cost settings: it wrote the defaults it already
// costed with, and the change it announced read every figure again.
TEST(NorvaneStoreCostSettings, AreWrittenOnlyWhereTheFiguresWouldChange) {
    const auto store = NorvaneStore::inMemory();
    int changes = 0;
    const auto observation = store.observe([&] { ++changes; });
    const auto defaults = AppSettings::defaults();
    store.updateCostSettings(defaults->averageWage, defaults->overhead, defaults->headcount);
    EXPECT_EQ(changes, 0);
    store.updateCostSettings(187000, defaults->overhead, defaults->headcount);
    EXPECT_GT(changes, 0);
    const int written = changes;
    store.updateCostSettings(187000, defaults->overhead, defaults->headcount);
    EXPECT_EQ(changes, written);
    platform::ModelContext context(store.container());
    EXPECT_EQ(StoredSettings::find(context)->averageWage, 187000);
}

} // namespace
} // namespace norvane
