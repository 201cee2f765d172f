// The application's metrics refresh over 50 projects with three years of weekly history
// snapshots and daily activity. Goal: under 100 ms. Run a Release build:
// build/release/bin/norvane_portfolio_refresh_benchmark
#include "core/analytics/PortfolioMetricsService.h"
#include "core/models/DailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/Snapshot.h"
#include "platform/LocalCalendar.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace norvane {
namespace {

namespace calendar = platform::LocalCalendar;

constexpr int projectCount = 50;
constexpr int historyDays = 3 * 365;

/// A store file in its own temporary folder, filled once and removed when the program ends.
class SampleStore {
public:
    SampleStore()
        : folder_(std::filesystem::temp_directory_path() / ("norvane-portfolio-bench-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(folder_);
        container_ = NorvaneDatabase::makeContainer(folder_ / "norvane.store");
        platform::ModelContext context(container_);
        fill(context);
    }
    ~SampleStore() {
        container_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    SampleStore(const SampleStore&) = delete;
    SampleStore& operator=(const SampleStore&) = delete;

    const std::shared_ptr<platform::ModelContainer>& container() const { return container_; }

private:
    static void fill(platform::ModelContext& context) {
        const platform::Date today = calendar::startOfDay(platform::currentDate());
        for (int p = 0; p < projectCount; ++p) {
            auto project = Project::create("project-" + std::to_string(p), "/tmp", std::nullopt, ProjectType::organic);
            project->firstCommitAt = calendar::addingDays(today, -historyDays);
            project->baselineVelocity = 120.0 + p;
            context.insert(project);
            addWeeklyHistory(context, project, today, p);
            addDailyActivity(context, project, today, p);
        }
        context.save();
    }

    // One history point a week, each project on its own weekday and hour.
    static void addWeeklyHistory(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                 platform::Date today, int p) {
        double effort = 0.0;
        std::int64_t insertions = 0;
        for (int day = historyDays - p % 7; day >= 0; day -= 7) {
            auto snapshot = Snapshot::create(project);
            snapshot->setSnapshotType(SnapshotType::gitHistory);
            snapshot->capturedAt = calendar::addingDays(today, -day) + std::chrono::minutes(9 * 60 + 7 * p);
            effort += 0.05 + 0.01 * (p % 5);
            insertions += 400 + 13 * p;
            snapshot->cumulativeEffortMonths = effort;
            snapshot->cumulativeInsertions = insertions;
            snapshot->cumulativeDeletions = insertions / 3;
            context.insert(snapshot);
        }
    }

    static void addDailyActivity(platform::ModelContext& context, const std::shared_ptr<Project>& project,
                                 platform::Date today, int p) {
        for (int day = historyDays; day >= 0; --day) {
            auto activity = DailyActivity::create(project, calendar::addingDays(today, -day));
            activity->codeLinesInserted = 80 + (day * 7 + p) % 90;
            activity->codeLinesDeleted = 20 + (day + p) % 30;
            activity->docsLinesInserted = day % 11;
            activity->testLinesInserted = (day + p) % 17;
            activity->configLinesDeleted = day % 3;
            activity->totalInsertions = activity->codeLinesInserted + activity->docsLinesInserted;
            activity->totalDeletions = activity->codeLinesDeleted;
            context.insert(activity);
        }
    }

    std::filesystem::path folder_;
    std::shared_ptr<platform::ModelContainer> container_;
};

SampleStore& sampleStore() {
    static SampleStore store;
    return store;
}

/// What the application runs at start-up and after every collection.
void refresh(PortfolioMetricsService& service, platform::ModelContext& context) {
    service.buildDailySnapshots();
    benchmark::DoNotOptimize(service.calculateMetrics(7));
    benchmark::DoNotOptimize(service.getRollingLeverageSeries(14, 730));
    for (const auto& project : context.fetch<Project>()) {
        benchmark::DoNotOptimize(service.calculateProjectRollingLeverage(project));
        benchmark::DoNotOptimize(service.getOutputComposition(project, 30));
        benchmark::DoNotOptimize(service.getVelocityRetention(project));
        benchmark::DoNotOptimize(service.getVelocityTimeSeries(project, 90));
    }
}

// The application's long-lived context, with the daily rows already up to date.
void BM_RefreshSteadyState(benchmark::State& state) {
    auto context = std::make_shared<platform::ModelContext>(sampleStore().container());
    PortfolioMetricsService service(context);
    refresh(service, *context);
    for (auto _ : state) refresh(service, *context);
}
BENCHMARK(BM_RefreshSteadyState)->Unit(benchmark::kMillisecond);

// A new context that has read nothing yet.
void BM_RefreshFreshContext(benchmark::State& state) {
    for (auto _ : state) {
        auto context = std::make_shared<platform::ModelContext>(sampleStore().container());
        PortfolioMetricsService service(context);
        refresh(service, *context);
    }
}
BENCHMARK(BM_RefreshFreshContext)->Unit(benchmark::kMillisecond);

// The first refresh after the history was imported: every daily row is written.
void BM_RefreshWritingEveryRow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        {
            platform::ModelContext cleaner(sampleStore().container());
            for (const auto& row : cleaner.fetch<DailyPortfolioSnapshot>()) cleaner.remove(row);
            cleaner.save();
        }
        auto context = std::make_shared<platform::ModelContext>(sampleStore().container());
        PortfolioMetricsService service(context);
        state.ResumeTiming();
        refresh(service, *context);
    }
}
BENCHMARK(BM_RefreshWritingEveryRow)->Unit(benchmark::kMillisecond);

// The parts, each in a fresh context.
template <typename Part>
void measurePart(benchmark::State& state, Part part) {
    PortfolioMetricsService(std::make_shared<platform::ModelContext>(sampleStore().container())).buildDailySnapshots();
    for (auto _ : state) {
        auto context = std::make_shared<platform::ModelContext>(sampleStore().container());
        PortfolioMetricsService service(context);
        part(service, *context);
    }
}

void BM_BuildDailySnapshots(benchmark::State& state) {
    measurePart(state, [](PortfolioMetricsService& service, platform::ModelContext&) {
        benchmark::DoNotOptimize(service.buildDailySnapshots());
    });
}
BENCHMARK(BM_BuildDailySnapshots)->Unit(benchmark::kMillisecond);

void BM_CalculateMetrics(benchmark::State& state) {
    measurePart(state, [](PortfolioMetricsService& service, platform::ModelContext&) {
        benchmark::DoNotOptimize(service.calculateMetrics(7));
        benchmark::DoNotOptimize(service.getRollingLeverageSeries(14, 730));
    });
}
BENCHMARK(BM_CalculateMetrics)->Unit(benchmark::kMillisecond);

void BM_ProjectFigures(benchmark::State& state) {
    measurePart(state, [](PortfolioMetricsService& service, platform::ModelContext& context) {
        for (const auto& project : context.fetch<Project>()) {
            benchmark::DoNotOptimize(service.calculateProjectRollingLeverage(project));
            benchmark::DoNotOptimize(service.getOutputComposition(project, 30));
            benchmark::DoNotOptimize(service.getVelocityRetention(project));
            benchmark::DoNotOptimize(service.getVelocityTimeSeries(project, 90));
        }
    });
}
BENCHMARK(BM_ProjectFigures)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace norvane

BENCHMARK_MAIN();
