#include "Norvane/pages/PortfolioViewModel.h"

#include "Norvane/LogCategories.h"
#include "Norvane/state/BackgroundWork.h"
#include "platform/Uuid.h"

#include <exception>

namespace norvane::app {

PortfolioViewModel::PortfolioViewModel(PortfolioServices services, Preferences& preferences, QObject* parent)
    : QObject(parent), services_(std::move(services)), preferences_(preferences) {
    readFirstFrame();
}

void PortfolioViewModel::readFirstFrame() {
    // A few indexed reads, so that the first frame is drawn whole: the rows, the true total and the
    // streak's card from the start. The loads read it all again.
    try {
        auto frame = PortfolioReads(services_.store.portfolioPage(services_.clock), services_.clock).firstFrame();
        state_.projects = std::move(frame.projects);
        state_.projectsRead = true;
        state_.productivityStreak = frame.streak;
        state_.streakRead = true;
        state_.hasHistory = frame.hasHistory;
    } catch (const NorvaneStore::BusyError&) {
        // Another program holds the store, which the window's thread does not wait for: the page's
        // loads, on workers, bring the figures.
    } catch (const std::exception& failure) {
        qCWarning(pagesLog, "Failed to load the portfolio: %s", failure.what());
    }
}

template <typename Result, typename Read, typename Apply>
void PortfolioViewModel::load(Generation& generation, Read read, Apply apply, NorvaneStore::DailyRows rows) {
    const auto current = generation.next();
    auto work = [latest = generation.shared(), current, store = services_.store, clock = services_.clock,
                 read = std::move(read), rows = std::move(rows)]() -> std::optional<Result> {
        if (*latest != current) return std::nullopt;
        // Each load reads over a connection of its own: the loads then run side by side, and none
        // makes the window wait for the one connection that the window's own reads go through.
        PortfolioReads reads(store.separateConnection().portfolioPage(clock, rows), clock);
        return read(reads);
    };
    auto then = [this, &generation, current, apply = std::move(apply)](std::optional<std::optional<Result>> result,
                                                                       const QString& error) {
        if (!generation.isCurrent(current)) return;
        if (!error.isEmpty()) qCWarning(pagesLog, "Failed to load the portfolio: %s", qUtf8Printable(error));
        if (!result && services_.store.openingFailure()) forgetFigures();
        apply(current, result ? std::move(*result) : std::nullopt);
    };
    runInBackground<std::optional<Result>>(this, std::move(work), std::move(then));
}

void PortfolioViewModel::end(Generation& generation, std::uint64_t current) {
    generation.markEnded(current);
    if (hasSettled()) emit settled();
}

void PortfolioViewModel::endIndexLoad(std::uint64_t current) {
    state_.indexRead = true;
    end(indexGeneration_, current);
}

bool PortfolioViewModel::hasSettled() const {
    return projectsGeneration_.hasEnded() && metricsGeneration_.hasEnded() && indexGeneration_.hasEnded();
}

void PortfolioViewModel::loadProjects() {
    load<std::vector<PortfolioProject>>(
        projectsGeneration_, [](PortfolioReads& reads) { return reads.listedProjects(); },
        [this](std::uint64_t generation, std::optional<std::vector<PortfolioProject>> projects) {
            if (projects) state_.projects = std::move(*projects);
            state_.projectsRead = true;
            emit projectsChanged();
            end(projectsGeneration_, generation);
        });
}

void PortfolioViewModel::loadMetrics(NorvaneStore::DailyRows rows) {
    dailyRows_ = std::move(rows);
    loadMetrics();
}

void PortfolioViewModel::loadMetrics() {
    setLoadingMetrics(true);
    const TimeRange range = state_.selectedTimeRange;
    load<PortfolioReads::Series>(
        metricsGeneration_, [range](PortfolioReads& reads) { return reads.series(range); },
        [this](std::uint64_t generation, std::optional<PortfolioReads::Series> series) {
            state_.seriesRead = true;
            if (series) takeSeries(std::move(*series));
            setLoadingMetrics(false);
            end(metricsGeneration_, generation);
        },
        dailyRows_);
}

void PortfolioViewModel::forgetFigures() {
    PortfolioState empty;
    empty.selectedTimeRange = state_.selectedTimeRange;
    empty.compositionDays = state_.compositionDays;
    empty.isLoadingMetrics = state_.isLoadingMetrics;
    state_ = std::move(empty);
}

void PortfolioViewModel::takeSeries(PortfolioReads::Series series) {
    if (series.throughput) state_.throughputData = std::move(*series.throughput);
    if (series.parallelism) state_.parallelismData = std::move(*series.parallelism);
    if (series.insights) state_.insights = std::move(*series.insights);
    if (series.workPatterns) state_.workPatterns = std::move(series.workPatterns);
    if (series.hasHistory) state_.hasHistory = *series.hasHistory;
    emit seriesChanged();
}

void PortfolioViewModel::loadIndexMetrics() {
    const int days = state_.compositionDays;
    load<PortfolioReads::IndexFigures>(
        indexGeneration_, [days](PortfolioReads& reads) { return reads.indexFigures(days); },
        [this](std::uint64_t generation, std::optional<PortfolioReads::IndexFigures> figures) {
            if (figures) {
                takeIndexFigures(generation, std::move(*figures));
            } else {
                state_.streakRead = true;
                emit indexFiguresChanged();
                endIndexLoad(generation);
            }
        });
}

void PortfolioViewModel::takeIndexFigures(std::uint64_t generation, PortfolioReads::IndexFigures figures) {
    if (figures.composition) state_.outputComposition = figures.composition;
    if (figures.linesTouched) state_.linesTouched = *figures.linesTouched;
    state_.productivityStreak = figures.streak;
    state_.streakRead = true;
    state_.portfolioRetention =
        figures.benchmark ? figures.benchmark->inputs.velocityRetention : std::optional<double>();
    emit indexFiguresChanged();
    if (figures.benchmark) {
        askForBenchmarks(generation, *figures.benchmark);
        return;
    }
    // No project is left to compare: nothing of the last one's benchmarks stays, as at a start.
    state_.userPercentiles.reset();
    state_.industryRetentionMedian.reset();
    state_.achievements.clear();
    emit benchmarksChanged();
    endIndexLoad(generation);
}

void PortfolioViewModel::askForBenchmarks(std::uint64_t generation, const PortfolioReads::BenchmarkRequest& request) {
    runInBackground<BenchmarkAnswer>(
        this, [client = services_.indexClient, inputs = request.inputs] { return askClient(*client, inputs); },
        [this, generation, totalCodeLines = request.totalCodeLines](std::optional<BenchmarkAnswer> answer,
                                                                    const QString& error) {
            if (!indexGeneration_.isCurrent(generation)) return;
            if (answer) {
                takeBenchmarks(*answer, totalCodeLines);
            } else {
                qCWarning(pagesLog, "Failed to ask for the benchmarks: %s", qUtf8Printable(error));
            }
            endIndexLoad(generation);
        });
}

PortfolioViewModel::BenchmarkAnswer PortfolioViewModel::askClient(IndexClient& client, const PercentileInputs& inputs) {
    BenchmarkAnswer answer;
    answer.percentiles = client
                             .calculatePercentiles(inputs.throughput, inputs.velocityRetention,
                                                   inputs.activeDaysPerWeek, inputs.sizeBucket)
                             .get();
    const auto cached = client.cachedBenchmarks().get();
    answer.industryRetentionMedian = PortfolioFigures::industryRetentionMedian(cached, inputs.sizeBucket);
    if (cached) answer.contributorCount = cached->benchmarks.contributorCount;
    return answer;
}

void PortfolioViewModel::takeBenchmarks(const BenchmarkAnswer& answer, std::int64_t totalCodeLines) {
    state_.userPercentiles = answer.percentiles;
    state_.industryRetentionMedian = answer.industryRetentionMedian;
    if (answer.contributorCount) preferences_.setCachedContributorCount(static_cast<int>(*answer.contributorCount));
    state_.achievements = PortfolioFigures::achievements(totalCodeLines, state_);
    emit benchmarksChanged();
}

void PortfolioViewModel::setTimeRange(TimeRange range) {
    if (range == state_.selectedTimeRange) return;
    state_.selectedTimeRange = range;
    loadMetrics();
}

void PortfolioViewModel::setCompositionDays(int days) {
    state_.compositionDays = days;
    loadIndexMetrics();
}

void PortfolioViewModel::optInToAnonymousMetrics() {
    if (preferences_.anonymousDeviceId().isEmpty()) {
        preferences_.setAnonymousDeviceId(QString::fromStdString(platform::Uuid::random().toString()));
    }
    preferences_.setShareAnonymousMetrics(true);
    services_.indexClient->configure(true, preferences_.anonymousDeviceId().toStdString());
}

void PortfolioViewModel::setLoadingMetrics(bool loading) {
    if (state_.isLoadingMetrics == loading) return;
    state_.isLoadingMetrics = loading;
    emit isLoadingMetricsChanged(loading);
}

} // namespace norvane::app
