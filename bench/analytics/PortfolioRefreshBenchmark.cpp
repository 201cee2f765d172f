// The application's metrics refresh over 50 projects with three years of weekly history
// snapshots and daily activity. Goal: under 100 ms. Run a Release build:
// build/release/bin/norvane_portfolio_refresh_benchmark
#include "bench/support/PortfolioSeed.h"
#include "core/analytics/PortfolioMetricsService.h"
#include "core/models/NorvaneDatabase.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace norvane {
namespace {

/// A store file in its own temporary folder, filled once and removed when the program ends.
class SampleStore {
public:
    SampleStore()
        : folder_(std::filesystem::temp_directory_path() / ("norvane-portfolio-bench-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(folder_);
        container_ = NorvaneDatabase::makeContainer(folder_ / "norvane.store");
        platform::ModelContext context(container_);
        PortfolioSeed::fill(context);
        context.save();
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
