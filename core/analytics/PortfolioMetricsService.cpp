#include "core/analytics/PortfolioMetricsService.h"

#include "core/analytics/PortfolioMetricsCalculator.h"
#include "core/analytics/PortfolioMetricsDayTotals.h"
#include "core/models/DailyActivity.h"
#include "core/models/DaysPerMonth.h"
#include "core/models/Snapshot.h"
#include "core/models/StoredSettings.h"
#include "platform/LocalCalendar.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace norvane {

namespace calendar = platform::LocalCalendar;
using platform::Date;
namespace Calculator = PortfolioMetricsCalculator;

namespace {

const std::string gitHistory(platform::rawValue(SnapshotType::gitHistory));

using Calculator::windowStart;

Calculator::EffortPoints effortPointsOf(const std::vector<std::shared_ptr<Snapshot>>& snapshots) {
    Calculator::EffortPoints points;
    points.reserve(snapshots.size());
    for (const auto& snapshot : snapshots) points.push_back({snapshot->capturedAt, snapshot->cumulativeEffortMonths});
    return points;
}

} // namespace

// Daily rows

int PortfolioMetricsService::buildDailySnapshots() {
    const auto snapshots = context_->fetch<Snapshot>({
        .predicate = SnapshotField::snapshotTypeRaw == gitHistory,
        .sortBy = {platform::ascending(SnapshotField::capturedAt)},
    });
    std::vector<PortfolioMetricsDayTotals::HistoryMoment> moments;
    moments.reserve(snapshots.size());
    std::map<const Project*, std::size_t> places;
    std::vector<std::string> names;
    for (const auto& snapshot : snapshots) {
        std::optional<std::size_t> place;
        if (const auto* project = snapshot->project.get()) {
            const auto [entry, added] = places.try_emplace(project, names.size());
            if (added) names.push_back(project->name);
            place = entry->second;
        }
        moments.push_back({snapshot->capturedAt, place, snapshot->cumulativeEffortMonths});
    }
    return buildDailySnapshotsFrom(moments, names);
}

int PortfolioMetricsService::buildDailySnapshotsFrom(
    const std::vector<PortfolioMetricsDayTotals::HistoryMoment>& moments,
    const std::vector<std::string>& projectNames) {
    const auto derived = deriveDailySnapshots(moments, projectNames);
    saveDailySnapshots(derived);
    return static_cast<int>(derived.size());
}

PortfolioMetricsService::Rows
PortfolioMetricsService::deriveDailySnapshots(const std::vector<PortfolioMetricsDayTotals::HistoryMoment>& moments,
                                              const std::vector<std::string>& projectNames) {
    const std::int64_t headcount = fetchAppSettings()->headcount;
    Rows rows;
    for (const auto& day : PortfolioMetricsDayTotals::fromHistory(moments, projectNames)) {
        auto row = DailyPortfolioSnapshot::create(day.dayStart);
        row->activeProjectCount = day.activeProjectCount;
        row->totalCommits = day.historyPointCount;
        row->dailyEffortMonths = day.dailyEffortMonths;
        row->cumulativeEffortMonths = day.cumulativeEffortMonths;
        row->headcount = headcount;
        row->activeProjectNames = day.activeProjectNames;
        rows.push_back(std::move(row));
    }
    return rows;
}

void PortfolioMetricsService::saveDailySnapshots(const Rows& derived) {
    const auto rows = context_->fetch<DailyPortfolioSnapshot>({
        .sortBy = {platform::ascending(DailyPortfolioSnapshotField::date)},
    });
    if (derived.empty() && rows.empty()) return;

    std::map<Date, std::shared_ptr<DailyPortfolioSnapshot>> rowByDay;
    std::vector<std::shared_ptr<DailyPortfolioSnapshot>> stale;
    for (const auto& row : rows) {
        // A second row of one day would count that day twice.
        if (!rowByDay.emplace(row->date, row).second) stale.push_back(row);
    }
    for (const auto& day : derived) {
        auto found = rowByDay.find(day->date);
        std::shared_ptr<DailyPortfolioSnapshot> row;
        if (found == rowByDay.end()) {
            // A record of its own: the derived rows may be read on other threads meanwhile.
            row = DailyPortfolioSnapshot::create(day->date);
            context_->insert(row);
        } else {
            row = found->second;
            rowByDay.erase(found);
        }
        row->activeProjectCount = day->activeProjectCount;
        row->totalCommits = day->totalCommits;
        row->dailyEffortMonths = day->dailyEffortMonths;
        row->cumulativeEffortMonths = day->cumulativeEffortMonths;
        row->headcount = day->headcount;
        row->activeProjectNames = day->activeProjectNames;
    }
    // Days whose history snapshots are gone (a re-import, a deleted project) keep no row.
    for (const auto& [date, row] : rowByDay) stale.push_back(row);
    for (const auto& row : stale) context_->remove(row);
    context_->save();
}

std::shared_ptr<DailyPortfolioSnapshot> PortfolioMetricsService::dailySnapshot(Date date) {
    const auto day = calendar::localDay(date);
    const Date start = calendar::startOfDay(day);
    const Date end = calendar::startOfDay(day + std::chrono::days(1));
    const auto found = context_->fetch<DailyPortfolioSnapshot>({
        .predicate = DailyPortfolioSnapshotField::date >= start && DailyPortfolioSnapshotField::date < end,
    });
    if (!found.empty()) return found.front();
    auto row = DailyPortfolioSnapshot::create(start);
    context_->insert(row);
    return row;
}

// Portfolio figures

PortfolioMetrics PortfolioMetricsService::calculateMetrics(int windowDays) {
    PortfolioMetrics metrics;
    if (windowDays >= 1) addThroughputFigures(metrics, windowDays);
    addLeverageFigures(metrics);
    if (windowDays >= 1) addChurnAndFocus(metrics, windowDays);
    addRollingAndPeakLeverage(metrics);
    return metrics;
}

void PortfolioMetricsService::addThroughputFigures(PortfolioMetrics& metrics, int windowDays) {
    const Date now = clock_();
    auto windowRows = rowsSince(windowStart(now, windowDays));
    std::reverse(windowRows.begin(), windowRows.end());
    const auto peakRows = rowsSince(windowStart(now, 90));
    metrics.dailyThroughput = Calculator::windowMeanOfEffort(windowRows, windowDays);
    metrics.parallelismFactor = Calculator::windowMeanOfActiveProjects(windowRows, windowDays);
    const auto peak = peakThroughput(peakRows, windowDays);
    metrics.peakThroughput = peak.peak;
    metrics.peakPeriodStart = peak.start;
    metrics.peakPeriodEnd = peak.end;
    const double capacity = peak.peak > 0 ? metrics.dailyThroughput / peak.peak * 100.0 : 0.0;
    metrics.capacityUtilization = std::min(capacity, 100.0);
}

void PortfolioMetricsService::addLeverageFigures(PortfolioMetrics& metrics) {
    const auto [total, ageDays] = effortAndAge();
    metrics.totalEffortMonths = total;
    metrics.portfolioAgeDays = ageDays;
    metrics.portfolioLeverage = ageDays >= 1 ? total / (ageDays / daysPerMonth) : 0.0;
    const auto [prior, growth] = leveragePriorAndGrowth(ageDays, metrics.portfolioLeverage);
    metrics.leveragePrior = prior;
    metrics.leverageGrowthRate = growth;
}

void PortfolioMetricsService::addChurnAndFocus(PortfolioMetrics& metrics, int windowDays) {
    const auto churn = recentChurn(windowDays);
    metrics.recentInsertions = churn.insertions;
    metrics.recentDeletions = churn.deletions;
    metrics.churnRatio = churn.churnRatio;
    metrics.netGrowthRate = churn.netGrowthRate;
    auto focus = projectFocus(windowDays);
    metrics.activeProjectsInWindow = focus.activeProjects;
    metrics.projectShares = std::move(focus.shares);
    metrics.focusIndex = focus.focusIndex;
}

void PortfolioMetricsService::addRollingAndPeakLeverage(PortfolioMetrics& metrics) {
    const auto rolling = rollingLeverage();
    metrics.rollingLeverage7Day = rolling.leverage7Day;
    metrics.rollingLeverage14Day = rolling.leverage14Day;
    metrics.rollingLeveragePrior7Day = rolling.leveragePrior7Day;
    metrics.rollingLeveragePrior14Day = rolling.leveragePrior14Day;
    metrics.rollingThroughput7Day = rolling.throughput7Day;
    metrics.rollingThroughput14Day = rolling.throughput14Day;
    metrics.rollingLeverage30Day = rolling.leverage30Day;
    metrics.rollingLeveragePrior30Day = rolling.leveragePrior30Day;

    const auto peaks = peakLeverage(rolling.leverage7Day, rolling.leverage14Day);
    metrics.peak7DayLeverage = peaks.peak7DayLeverage;
    metrics.peak7DayStart = peaks.peak7DayStart;
    metrics.peak7DayEnd = peaks.peak7DayEnd;
    metrics.peak14DayLeverage = peaks.peak14DayLeverage;
    metrics.peak14DayStart = peaks.peak14DayStart;
    metrics.peak14DayEnd = peaks.peak14DayEnd;
    metrics.current7DayPercentile = peaks.percentile7;
    metrics.current14DayPercentile = peaks.percentile14;
}

PortfolioMetricsService::PeakThroughput PortfolioMetricsService::peakThroughput(const Rows& rows, int days) {
    return Calculator::peakThroughput(rows, days);
}

std::pair<std::optional<double>, std::optional<double>>
PortfolioMetricsService::leveragePriorAndGrowth(int ageDays, double leverage) {
    const int priorAge = ageDays - 30;
    if (priorAge < 1) return {};
    const auto newest = newestRow(calendar::addingDays(clock_(), -30));
    if (!newest) return {};
    const double prior = Calculator::finiteOrZero(newest->cumulativeEffortMonths) / (priorAge / daysPerMonth);
    if (!(prior > 0) || !std::isfinite(prior)) return {};
    const double growth = (leverage / prior - 1.0) * 100.0;
    return {prior, std::isfinite(growth) ? std::optional(growth) : std::nullopt};
}

PortfolioMetricsService::Churn PortfolioMetricsService::recentChurn(int days) {
    if (days < 1) return {};
    const Date start = windowStart(clock_(), days);
    const auto snapshots = context_->fetch<Snapshot>({
        .predicate = SnapshotField::snapshotTypeRaw == gitHistory && SnapshotField::capturedAt >= start,
        .sortBy = {platform::ascending(SnapshotField::capturedAt)},
    });
    auto [insertions, deletions] = Calculator::historyChurn(snapshots);
    if (insertions == 0 && deletions == 0) {
        for (const auto& activity : context_->fetch<DailyActivity>({.predicate = DailyActivityField::date >= start})) {
            insertions += activity->totalInsertions;
            deletions += activity->totalDeletions;
        }
    }
    return Calculator::churn(insertions, deletions);
}

PortfolioMetricsService::Focus PortfolioMetricsService::projectFocus(int days) {
    if (days < 1) return {};
    const Date start = windowStart(clock_(), days);
    const auto snapshots = context_->fetch<Snapshot>({
        .predicate = SnapshotField::snapshotTypeRaw == gitHistory && SnapshotField::capturedAt >= start,
    });
    return Calculator::focus(snapshots);
}

PortfolioMetricsService::RollingLeverage PortfolioMetricsService::rollingLeverage() {
    const Date now = clock_();
    return Calculator::rollingLeverage(rowsSince(calendar::addingDays(now, -60)), now);
}

PortfolioMetricsService::PeakLeverage PortfolioMetricsService::peakLeverage(std::optional<double> current7Day,
                                                                            std::optional<double> current14Day) {
    return Calculator::peakLeverage(rowsSince(std::nullopt), current7Day, current14Day);
}

// Project leverage and portfolio age

ProjectRollingLeverage
PortfolioMetricsService::calculateProjectRollingLeverage(const std::shared_ptr<Project>& project) {
    if (!project) return {};
    const Date now = clock_();
    const auto snapshots = context_->fetch<Snapshot>({
        .predicate = SnapshotField::project == project && SnapshotField::snapshotTypeRaw == gitHistory &&
                     SnapshotField::capturedAt >= calendar::addingDays(now, -28),
        .sortBy = {platform::ascending(SnapshotField::capturedAt)},
    });
    return Calculator::projectRollingLeverage(effortPointsOf(snapshots), now);
}

PortfolioMetricsService::EffortAndAge PortfolioMetricsService::effortAndAge() {
    const Date now = clock_();
    const auto newest = newestRow(std::nullopt);
    const double total = newest ? Calculator::finiteOrZero(newest->cumulativeEffortMonths) : 0.0;
    std::optional<Date> earliest;
    for (const auto& project : context_->fetch<Project>()) {
        if (project->firstCommitAt && (!earliest || *project->firstCommitAt < *earliest))
            earliest = project->firstCommitAt;
    }
    return {total, calendar::wholeDaysBetween(earliest.value_or(now), now)};
}

// Daily series

std::vector<PortfolioMetricsService::ThroughputPoint> PortfolioMetricsService::getDailyThroughputSeries(int days) {
    std::vector<ThroughputPoint> series;
    if (days < 1) return series;
    for (const auto& row : rowsSince(windowStart(clock_(), days))) {
        series.push_back({row->date, Calculator::finiteOrZero(row->dailyEffortMonths)});
    }
    return series;
}

std::vector<PortfolioMetricsService::ParallelismPoint> PortfolioMetricsService::getParallelismSeries(int days) {
    std::vector<ParallelismPoint> series;
    if (days < 1) return series;
    for (const auto& row : rowsSince(windowStart(clock_(), days))) {
        series.push_back({row->date, row->activeProjectCount, row->activeProjects()});
    }
    return series;
}

std::vector<PortfolioMetricsService::EffortPoint> PortfolioMetricsService::getCumulativeEffortSeries(int days) {
    std::vector<EffortPoint> series;
    if (days < 1) return series;
    for (const auto& row : rowsSince(windowStart(clock_(), days))) {
        series.push_back({row->date, Calculator::finiteOrZero(row->cumulativeEffortMonths)});
    }
    return series;
}

std::vector<PortfolioMetricsService::LeveragePoint> PortfolioMetricsService::getRollingLeverageSeries(int windowDays,
                                                                                                      int spanDays) {
    if (windowDays < 1 || spanDays < 1) return {};
    const Date now = clock_();
    const int reach =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{windowDays} + spanDays, std::numeric_limits<int>::max()));
    return Calculator::rollingLeverageSeries(rowsSince(windowStart(now, reach)), windowDays,
                                             windowStart(now, spanDays));
}

// Output composition

OutputComposition PortfolioMetricsService::getOutputComposition(const std::shared_ptr<Project>& project, int days) {
    if (!project || days < 1) return {};
    return Calculator::composition(Calculator::categorySums(context_->fetch<DailyActivity>({
        .predicate = DailyActivityField::project == project && DailyActivityField::date >= windowStart(clock_(), days),
    })));
}

OutputComposition PortfolioMetricsService::getPortfolioOutputComposition(int days) {
    if (days < 1) return {};
    return Calculator::composition(Calculator::categorySums(context_->fetch<DailyActivity>({
        .predicate = DailyActivityField::date >= windowStart(clock_(), days),
    })));
}

// Velocity

VelocityRetention PortfolioMetricsService::getVelocityRetention(const std::shared_ptr<Project>& project) {
    if (!project || !project->baselineVelocity || !std::isfinite(*project->baselineVelocity)) {
        return VelocityRetention::tooEarly();
    }
    const auto activities = context_->fetch<DailyActivity>({
        .predicate =
            DailyActivityField::project == project && DailyActivityField::date >= calendar::addingDays(clock_(), -30),
    });
    std::int64_t changed = 0;
    for (const auto& activity : activities) changed += activity->codeLinesChanged();
    return Calculator::velocityRetention(*project->baselineVelocity, changed, activities.size());
}

std::vector<PortfolioMetricsService::VelocityPoint>
PortfolioMetricsService::getVelocityTimeSeries(const std::shared_ptr<Project>& project, int days) {
    if (!project || days < 1) return {};
    const Date now = clock_();
    const Date start = windowStart(now, days);
    const auto activities = context_->fetch<DailyActivity>({
        .predicate = DailyActivityField::project == project && DailyActivityField::date >= start,
        .sortBy = {platform::ascending(DailyActivityField::date)},
    });
    Calculator::ChangedOnDay changedOnDay;
    // A later record of a day replaces an earlier one.
    for (const auto& activity : activities)
        changedOnDay[calendar::localDay(activity->date)] = activity->codeLinesChanged();
    return Calculator::velocitySeries(changedOnDay, start, calendar::startOfDay(now));
}

// Store access

std::shared_ptr<AppSettings> PortfolioMetricsService::fetchAppSettings() {
    return StoredSettings::orDefaults(*context_);
}

PortfolioMetricsService::Rows PortfolioMetricsService::rowsSince(std::optional<Date> start) {
    if (derivedRows_) {
        const auto first = start ? std::ranges::lower_bound(*derivedRows_, *start, {}, &DailyPortfolioSnapshot::date)
                                 : derivedRows_->begin();
        return Rows(first, derivedRows_->end());
    }
    return context_->fetch<DailyPortfolioSnapshot>({
        .predicate = start ? std::optional(DailyPortfolioSnapshotField::date >= *start) : std::nullopt,
        .sortBy = {platform::ascending(DailyPortfolioSnapshotField::date)},
    });
}

std::shared_ptr<DailyPortfolioSnapshot> PortfolioMetricsService::newestRow(std::optional<Date> latest) {
    if (derivedRows_) {
        const auto after = latest ? std::ranges::upper_bound(*derivedRows_, *latest, {}, &DailyPortfolioSnapshot::date)
                                  : derivedRows_->end();
        return after == derivedRows_->begin() ? nullptr : *std::prev(after);
    }
    const auto newest = context_->fetch<DailyPortfolioSnapshot>({
        .predicate = latest ? std::optional(DailyPortfolioSnapshotField::date <= *latest) : std::nullopt,
        .sortBy = {platform::descending(DailyPortfolioSnapshotField::date)},
        .limit = 1,
    });
    return newest.empty() ? nullptr : newest.front();
}

} // namespace norvane
