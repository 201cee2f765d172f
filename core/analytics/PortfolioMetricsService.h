#pragma once

#include "core/analytics/OutputComposition.h"
#include "core/analytics/PortfolioMetrics.h"
#include "core/analytics/PortfolioMetricsDayTotals.h"
#include "core/analytics/ProjectRollingLeverage.h"
#include "core/analytics/VelocityRetention.h"
#include "core/models/AppSettings.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/Project.h"
#include "platform/persistence/ModelContext.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace norvane {

/// The portfolio figures: keeps one row per day of the portfolio's history up to date and derives
/// throughput, leverage, churn, focus, daily series, output composition and velocity from the
/// store. Reads only, except for the daily rows that `buildDailySnapshots` writes; store errors
/// pass through unchanged. The figures that the daily rows give are read from the stored rows, or
/// from rows derived in memory when it is given them: those the history gives while another
/// program keeps the store from being written.
class PortfolioMetricsService {
public:
    using ProjectRollingLeverage = norvane::ProjectRollingLeverage;
    using Rows = std::vector<std::shared_ptr<DailyPortfolioSnapshot>>;
    /// Daily rows made in memory, oldest first, which threads share and nobody changes; none stands
    /// for the stored rows.
    using DerivedRows = std::shared_ptr<const Rows>;

    struct ThroughputPoint {
        platform::Date date;
        double throughput = 0.0;
    };
    struct ParallelismPoint {
        platform::Date date;
        std::int64_t count = 0;
        std::vector<std::string> projects;
    };
    struct EffortPoint {
        platform::Date date;
        double effort = 0.0;
    };
    struct LeveragePoint {
        platform::Date date;
        double leverage = 0.0;
    };
    struct VelocityPoint {
        platform::Date date;
        double velocity = 0.0;
    };

    struct PeakThroughput {
        double peak = 0.0;
        std::optional<platform::Date> start;
        std::optional<platform::Date> end;
    };
    struct Churn {
        std::int64_t insertions = 0;
        std::int64_t deletions = 0;
        double churnRatio = 1.0;
        double netGrowthRate = 0.0;
    };
    struct Focus {
        int activeProjects = 0;
        std::map<std::string, double> shares;
        double focusIndex = 1.0;
    };
    /// A project's windows taken over the whole portfolio, and the last 30 days against the 30 before.
    struct RollingLeverage : ProjectRollingLeverage {
        std::optional<double> leverage30Day;
        std::optional<double> leveragePrior30Day;
    };
    struct PeakLeverage {
        std::optional<double> peak7DayLeverage;
        std::optional<platform::Date> peak7DayStart;
        std::optional<platform::Date> peak7DayEnd;
        std::optional<double> peak14DayLeverage;
        std::optional<platform::Date> peak14DayStart;
        std::optional<platform::Date> peak14DayEnd;
        std::optional<double> percentile7;
        std::optional<double> percentile14;
    };
    struct EffortAndAge {
        double totalEffortMonths = 0.0;
        int ageDays = 0;
    };

    explicit PortfolioMetricsService(std::shared_ptr<platform::ModelContext> context,
                                     platform::Clock clock = platform::systemClock(), DerivedRows rows = nullptr)
        : context_(std::move(context)), clock_(std::move(clock)), derivedRows_(std::move(rows)) {}
    virtual ~PortfolioMetricsService() = default;

    /// Rewrites the row of every day that has a history snapshot, carrying each project's highest
    /// cumulative effort forward, removes the rows of other days, saves once and returns the
    /// number of days.
    virtual int buildDailySnapshots();
    /// The same from history moments read elsewhere, sorted by capture time; a moment's project is
    /// a place in `projectNames`.
    int buildDailySnapshotsFrom(const std::vector<PortfolioMetricsDayTotals::HistoryMoment>& moments,
                                const std::vector<std::string>& projectNames);
    /// The rows that `buildDailySnapshotsFrom` stores, made in memory only, with the stored headcount.
    Rows deriveDailySnapshots(const std::vector<PortfolioMetricsDayTotals::HistoryMoment>& moments,
                              const std::vector<std::string>& projectNames);
    /// Rewrites the stored rows as `derived` says, which stays as it is: the row of each of its
    /// days, no row of another day; saves once.
    void saveDailySnapshots(const Rows& derived);
    /// The row of the local day that contains `date`, created and inserted (not saved) if missing.
    virtual std::shared_ptr<DailyPortfolioSnapshot> dailySnapshot(platform::Date date);

    /// The figures of the last `windowDays` days; a window below 1 day leaves the window figures
    /// empty.
    virtual PortfolioMetrics calculateMetrics(int windowDays);
    /// Best mean daily effort of `days` consecutive rows (ascending); the earliest wins a tie.
    virtual PeakThroughput peakThroughput(const Rows& rows, int days);
    virtual Churn recentChurn(int days);
    virtual Focus projectFocus(int days);
    virtual RollingLeverage rollingLeverage();
    virtual PeakLeverage peakLeverage(std::optional<double> current7Day, std::optional<double> current14Day);

    virtual ProjectRollingLeverage calculateProjectRollingLeverage(const std::shared_ptr<Project>& project);
    /// The newest row's cumulative effort and the whole days since the earliest first commit.
    virtual EffortAndAge effortAndAge();

    virtual std::vector<ThroughputPoint> getDailyThroughputSeries(int days);
    virtual std::vector<ParallelismPoint> getParallelismSeries(int days);
    virtual std::vector<EffortPoint> getCumulativeEffortSeries(int days);
    /// For each row of the last `spanDays` days, the leverage of the `windowDays` rows before it.
    virtual std::vector<LeveragePoint> getRollingLeverageSeries(int windowDays, int spanDays);

    virtual OutputComposition getOutputComposition(const std::shared_ptr<Project>& project, int days);
    virtual OutputComposition getPortfolioOutputComposition(int days);

    virtual VelocityRetention getVelocityRetention(const std::shared_ptr<Project>& project);
    /// Mean code lines changed per active day of the 7 days ending at each day of the window.
    virtual std::vector<VelocityPoint> getVelocityTimeSeries(const std::shared_ptr<Project>& project, int days);

    /// The stored settings, or unsaved defaults when there are none or they cannot be read.
    virtual std::shared_ptr<AppSettings> fetchAppSettings();

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }

private:
    // The steps of `calculateMetrics`, in the order they read the store.
    void addThroughputFigures(PortfolioMetrics& metrics, int windowDays);
    void addLeverageFigures(PortfolioMetrics& metrics);
    void addChurnAndFocus(PortfolioMetrics& metrics, int windowDays);
    void addRollingAndPeakLeverage(PortfolioMetrics& metrics);
    /// The rows dated at or after `start` (every row, without one), oldest first.
    Rows rowsSince(std::optional<platform::Date> start);
    /// The newest row dated at or before `latest` (of all, without one); none without such a row.
    std::shared_ptr<DailyPortfolioSnapshot> newestRow(std::optional<platform::Date> latest);
    /// The leverage as it stood 30 days ago, and the percent change since.
    std::pair<std::optional<double>, std::optional<double>> leveragePriorAndGrowth(int ageDays, double leverage);

    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
    DerivedRows derivedRows_;
};

} // namespace norvane
