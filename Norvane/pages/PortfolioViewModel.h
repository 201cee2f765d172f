#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <QObject>

#include "Norvane/pages/PortfolioReads.h"
#include "Norvane/pages/PortfolioServices.h"
#include "Norvane/pages/PortfolioState.h"
#include "Norvane/state/Preferences.h"

namespace norvane::app {

/// The portfolio page's state and its loads. What decides the first frame (the projects and the
/// streak) is read when the model is made, so that the page is drawn whole from the start. Every
/// load reads the store on a worker, through a connection of its own to the application's store,
/// and waits for the benchmark client there; the GUI thread only takes in the results. A load that
/// a newer one of its kind has superseded is dropped, before it starts when it can be, and its
/// result otherwise.
class PortfolioViewModel : public QObject {
    Q_OBJECT

public:
    PortfolioViewModel(PortfolioServices services, Preferences& preferences, QObject* parent = nullptr);

    const PortfolioState& state() const { return state_; }
    const PortfolioServices& services() const { return services_; }

    void loadProjects();
    /// The series of the chosen time range, the insights and the work patterns; those of the daily
    /// rows from `rows` where given (the application state's, while the store has not taken them),
    /// and at a later change of the range too.
    void loadMetrics(NorvaneStore::DailyRows rows);
    /// The compositions, the streak and the benchmark step with the achievements.
    void loadIndexMetrics();
    void setTimeRange(TimeRange range);
    void setCompositionDays(int days);
    /// Creates the device id when there is none, turns sharing on and hands both to the client.
    void optInToAnonymousMetrics();
    /// True when the newest load of every kind has ended, the benchmark step included.
    bool hasSettled() const;

signals:
    void projectsChanged();
    void seriesChanged();
    void isLoadingMetricsChanged(bool loading);
    /// The composition, the lines touched, the streak or the retention.
    void indexFiguresChanged();
    /// The percentiles, the median or the achievements.
    void benchmarksChanged();
    /// The newest loads have all ended.
    void settled();

private:
    /// The number of the newest load of one kind, shared with its workers.
    class Generation {
    public:
        std::uint64_t next() { return ++*latest_; }
        bool isCurrent(std::uint64_t generation) const { return *latest_ == generation; }
        std::shared_ptr<const std::atomic<std::uint64_t>> shared() const { return latest_; }
        void markEnded(std::uint64_t generation) { ended_ = generation; }
        bool hasEnded() const { return ended_ == *latest_; }

    private:
        std::shared_ptr<std::atomic<std::uint64_t>> latest_ = std::make_shared<std::atomic<std::uint64_t>>(0);
        std::uint64_t ended_ = 0;
    };

    /// What the benchmark client answered.
    struct BenchmarkAnswer {
        std::optional<UserPercentiles> percentiles;
        std::optional<double> industryRetentionMedian;
        std::optional<std::int64_t> contributorCount;
    };

    /// Reads with `read` on a worker unless superseded first, then hands the result to `apply` if
    /// still current.
    template <typename Result, typename Read, typename Apply>
    void load(Generation& generation, Read read, Apply apply, NorvaneStore::DailyRows rows = nullptr);
    void loadMetrics();
    void readFirstFrame();
    /// Keeps only the user's choices: the file at the store's path cannot be opened as a store, and
    /// a start would show none of what was read before.
    void forgetFigures();
    void takeSeries(PortfolioReads::Series series);
    void takeIndexFigures(std::uint64_t generation, PortfolioReads::IndexFigures figures);
    void askForBenchmarks(std::uint64_t generation, const PortfolioReads::BenchmarkRequest& request);
    /// Waits for the client's answers; runs on a worker.
    static BenchmarkAnswer askClient(IndexClient& client, const PercentileInputs& inputs);
    void takeBenchmarks(const BenchmarkAnswer& answer, std::int64_t totalCodeLines);
    void setLoadingMetrics(bool loading);
    void end(Generation& generation, std::uint64_t current);
    /// The index figures' load has ended, with its benchmark step.
    void endIndexLoad(std::uint64_t current);

    PortfolioServices services_;
    Preferences& preferences_;
    PortfolioState state_;
    Generation projectsGeneration_;
    Generation metricsGeneration_;
    Generation indexGeneration_;
    NorvaneStore::DailyRows dailyRows_;
};

} // namespace norvane::app
