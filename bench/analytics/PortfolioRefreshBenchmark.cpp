// The application's metrics refresh over a portfolio of three years of history (50 projects with
// weekly history points unless NORVANE_BENCH_PORTFOLIO names another, see PortfolioShape), as the
// application state runs it at start-up and after every collection: the daily rows derived and
// stored, the portfolio figures read from them and every project's figures, all read through the
// store's plain reads. Goal: under 100 ms. Run a Release build: build/release/bin/norvane_portfolio_refresh_benchmark
#include "bench/support/PortfolioSeed.h"
#include "core/facade/NorvaneStore.h"
#include "core/models/DailyPortfolioSnapshot.h"
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
        PortfolioSeed::seedStore(folder_ / "norvane.store", PortfolioShape::chosen());
        container_ = NorvaneDatabase::makeContainer(folder_ / "norvane.store");
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

void projectFigures(const NorvaneStore& store) {
    const auto figures = store.projectFigures();
    for (const auto& listing : store.listProjects()) {
        benchmark::DoNotOptimize(figures.calculateProjectRollingLeverage(listing.project));
        benchmark::DoNotOptimize(figures.getOutputComposition(listing.project, 30));
        benchmark::DoNotOptimize(figures.getVelocityRetention(listing.project));
        benchmark::DoNotOptimize(figures.getVelocityTimeSeries(listing.project, 90));
    }
}

/// What the application runs at start-up and after every collection.
void refresh(const NorvaneStore& store) {
    const auto rows = store.deriveDailySnapshots();
    store.saveDailySnapshots(rows);
    benchmark::DoNotOptimize(store.calculateMetrics(7, rows));
    benchmark::DoNotOptimize(store.getRollingLeverageSeries(14, 730, rows));
    projectFigures(store);
}

// With the daily rows already up to date.
void BM_Refresh(benchmark::State& state) {
    const NorvaneStore store(sampleStore().container());
    refresh(store);
    for (auto _ : state) refresh(store);
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond);

// The first refresh after the history was imported: every daily row is written.
void BM_RefreshWritingEveryRow(benchmark::State& state) {
    const NorvaneStore store(sampleStore().container());
    for (auto _ : state) {
        state.PauseTiming();
        {
            platform::ModelContext cleaner(sampleStore().container());
            for (const auto& row : cleaner.fetch<DailyPortfolioSnapshot>()) cleaner.remove(row);
            cleaner.save();
        }
        state.ResumeTiming();
        refresh(store);
    }
}
BENCHMARK(BM_RefreshWritingEveryRow)->Unit(benchmark::kMillisecond);

// The parts.
void BM_BuildDailySnapshots(benchmark::State& state) {
    const NorvaneStore store(sampleStore().container());
    for (auto _ : state) benchmark::DoNotOptimize(store.buildDailySnapshots());
}
BENCHMARK(BM_BuildDailySnapshots)->Unit(benchmark::kMillisecond);

void BM_CalculateMetrics(benchmark::State& state) {
    const NorvaneStore store(sampleStore().container());
    store.buildDailySnapshots();
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.calculateMetrics(7));
        benchmark::DoNotOptimize(store.getRollingLeverageSeries(14, 730));
    }
}
BENCHMARK(BM_CalculateMetrics)->Unit(benchmark::kMillisecond);

void BM_ProjectFigures(benchmark::State& state) {
    const NorvaneStore store(sampleStore().container());
    for (auto _ : state) projectFigures(store);
}
BENCHMARK(BM_ProjectFigures)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace norvane

BENCHMARK_MAIN();
