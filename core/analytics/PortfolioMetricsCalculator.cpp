#include "core/analytics/PortfolioMetricsCalculator.h"

#include "core/models/DaysPerMonth.h"
#include "platform/LocalCalendar.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <unordered_map>

namespace norvane::PortfolioMetricsCalculator {

namespace calendar = platform::LocalCalendar;
using platform::Date;

namespace {

double effortOf(const DailyPortfolioSnapshot& row) { return finiteOrZero(row.dailyEffortMonths); }

/// Daily effort of the rows [first, last).
double effortOfRows(const Rows& rows, std::size_t first, std::size_t last) {
    double sum = 0.0;
    for (std::size_t i = first; i < last; ++i) sum += effortOf(*rows[i]);
    return sum;
}

/// Daily effort of the rows dated in [start, end).
double effortDated(const Rows& rows, Date start, Date end) {
    double sum = 0.0;
    for (const auto& row : rows) {
        if (row->date >= start && row->date < end) sum += effortOf(*row);
    }
    return sum;
}

/// The stretches of `size` consecutive rows that gained effort: (last row's date, leverage).
std::vector<std::pair<Date, double>> leverageStretches(const Rows& rows, std::size_t size) {
    std::vector<std::pair<Date, double>> stretches;
    const double months = static_cast<double>(size) / daysPerMonth;
    for (std::size_t last = size - 1; last < rows.size(); ++last) {
        const double leverage = effortOfRows(rows, last + 1 - size, last + 1) / months;
        if (positiveOrAbsent(leverage)) stretches.emplace_back(rows[last]->date, leverage);
    }
    return stretches;
}

struct PeakStretch {
    std::optional<double> leverage;
    std::optional<Date> start;
    std::optional<Date> end;
    std::optional<double> percentile;
};

/// The best stretch (the earliest of equals) and the share of stretches below `current`.
PeakStretch peakStretch(const std::vector<std::pair<Date, double>>& stretches, std::size_t size,
                        std::optional<double> current) {
    if (stretches.empty()) return {};
    auto best = stretches.begin();
    for (auto candidate = stretches.begin(); candidate != stretches.end(); ++candidate) {
        if (candidate->second > best->second) best = candidate;
    }
    const auto firstDay = calendar::localDay(best->first) - std::chrono::days(size - 1);
    PeakStretch peak{best->second, calendar::startOfDay(firstDay), best->first, {}};
    if (current) {
        const auto below = std::count_if(stretches.begin(), stretches.end(),
                                         [&](const auto& stretch) { return stretch.second < *current; });
        peak.percentile = static_cast<double>(below) / static_cast<double>(stretches.size()) * 100.0;
    }
    return peak;
}

CategoryMetrics category(std::int64_t insertions, std::int64_t deletions, double total) {
    const double changed = static_cast<double>(insertions + deletions);
    return {insertions, deletions, total >= 1 ? changed / total * 100.0 : 0.0};
}

} // namespace

Date windowStart(Date now, int days) {
    const auto reachable = std::chrono::floor<std::chrono::days>(now - platform::distantPast()).count();
    if (days >= reachable) return platform::distantPast();
    return calendar::addingDays(now, -days);
}

double finiteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }

std::optional<double> positiveOrAbsent(double value) {
    return std::isfinite(value) && value > 0 ? std::optional(value) : std::nullopt;
}

double windowMeanOfEffort(const Rows& rows, int days) {
    const std::size_t count = std::min(rows.size(), static_cast<std::size_t>(std::max(days, 0)));
    if (count == 0) return 0.0;
    return effortOfRows(rows, 0, count) / static_cast<double>(count);
}

double windowMeanOfActiveProjects(const Rows& rows, int days) {
    const std::size_t count = std::min(rows.size(), static_cast<std::size_t>(std::max(days, 0)));
    if (count == 0) return 0.0;
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += rows[i]->activeProjectCount;
    return static_cast<double>(sum) / static_cast<double>(count);
}

PortfolioMetricsService::PeakThroughput peakThroughput(const Rows& rows, int days) {
    if (days < 1 || rows.empty()) return {};
    const auto width = static_cast<std::size_t>(days);
    if (width > rows.size()) {
        return {effortOfRows(rows, 0, rows.size()) / static_cast<double>(rows.size()), rows.front()->date,
                rows.back()->date};
    }
    double best = 0.0;
    std::size_t bestStart = 0;
    for (std::size_t start = 0; start + width <= rows.size(); ++start) {
        const double mean = effortOfRows(rows, start, start + width) / static_cast<double>(width);
        if (mean > best) {
            best = mean;
            bestStart = start;
        }
    }
    return {best, rows[bestStart]->date, rows[bestStart + width - 1]->date};
}

std::pair<std::int64_t, std::int64_t> historyChurn(const Snapshots& snapshots) {
    std::unordered_map<const Project*, std::pair<const Snapshot*, const Snapshot*>> firstAndLast;
    for (const auto& snapshot : snapshots) {
        if (!snapshot->project) continue;
        const auto [entry, added] = firstAndLast.try_emplace(snapshot->project.get(), snapshot.get(), snapshot.get());
        if (!added) entry->second.second = snapshot.get();
    }
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
    for (const auto& [project, range] : firstAndLast) {
        const auto& [first, last] = range;
        insertions += std::max<std::int64_t>(0, last->cumulativeInsertions - first->cumulativeInsertions);
        deletions += std::max<std::int64_t>(0, last->cumulativeDeletions - first->cumulativeDeletions);
    }
    return {insertions, deletions};
}

PortfolioMetricsService::Churn churn(std::int64_t insertions, std::int64_t deletions) {
    const std::int64_t larger = std::max(insertions, deletions);
    const std::int64_t changed = insertions + deletions;
    return {insertions, deletions, larger >= 1 ? static_cast<double>(changed) / static_cast<double>(larger) : 1.0,
            changed >= 1 ? static_cast<double>(insertions - deletions) / static_cast<double>(changed) * 100.0 : 0.0};
}

PortfolioMetricsService::Focus focus(const Snapshots& snapshots) {
    std::map<std::string, std::int64_t> counts;
    std::int64_t total = 0;
    for (const auto& snapshot : snapshots) {
        if (!snapshot->project) continue;
        ++counts[snapshot->project->name];
        ++total;
    }
    PortfolioMetricsService::Focus result;
    if (total < 1) return result;
    result.focusIndex = 0.0;
    for (const auto& [name, count] : counts) {
        const double fraction = static_cast<double>(count) / static_cast<double>(total);
        result.shares[name] = fraction * 100.0;
        result.focusIndex += fraction * fraction;
    }
    result.activeProjects = static_cast<int>(counts.size());
    return result;
}

PortfolioMetricsService::RollingLeverage rollingLeverage(const Rows& rows, Date now) {
    if (rows.empty()) return {};
    const Date d7 = calendar::addingDays(now, -7);
    const Date d14 = calendar::addingDays(now, -14);
    const Date d28 = calendar::addingDays(now, -28);
    const Date d30 = calendar::addingDays(now, -30);
    const Date d60 = calendar::addingDays(now, -60);
    const double last7 = effortDated(rows, d7, now);
    const double last14 = effortDated(rows, d14, now);
    return {
        {
            positiveOrAbsent(last7 / (7 / daysPerMonth)),
            positiveOrAbsent(last14 / (14 / daysPerMonth)),
            positiveOrAbsent(effortDated(rows, d14, d7) / (7 / daysPerMonth)),
            positiveOrAbsent(effortDated(rows, d28, d14) / (14 / daysPerMonth)),
            positiveOrAbsent(last7 / 7),
            positiveOrAbsent(last14 / 14),
        },
        positiveOrAbsent(effortDated(rows, d30, now)),
        positiveOrAbsent(effortDated(rows, d60, d30)),
    };
}

PortfolioMetricsService::PeakLeverage peakLeverage(const Rows& rows, std::optional<double> current7Day,
                                                   std::optional<double> current14Day) {
    if (rows.size() < 7) return {};
    const auto week = peakStretch(leverageStretches(rows, 7), 7, current7Day);
    const auto fortnight =
        rows.size() > 13 ? peakStretch(leverageStretches(rows, 14), 14, current14Day) : PeakStretch{};
    return {week.leverage,   week.start,    week.end,        fortnight.leverage,
            fortnight.start, fortnight.end, week.percentile, fortnight.percentile};
}

std::vector<PortfolioMetricsService::LeveragePoint> rollingLeverageSeries(const Rows& rows, int window,
                                                                          Date seriesStart) {
    std::vector<PortfolioMetricsService::LeveragePoint> series;
    if (window < 1) return series;
    const auto width = static_cast<std::size_t>(window);
    const double months = window / daysPerMonth;
    for (std::size_t i = width; i < rows.size(); ++i) {
        if (rows[i]->date < seriesStart) continue;
        series.push_back({rows[i]->date, effortOfRows(rows, i - width, i) / months});
    }
    return series;
}

double effortBetween(Date start, Date end, const EffortPoints& points) {
    double gained = 0.0;
    const PortfolioMetricsService::EffortPoint* previous = nullptr;
    for (const auto& point : points) {
        if (point.date < start || point.date >= end) continue;
        if (previous) {
            const double step = point.effort - previous->effort;
            if (step >= 0 && std::isfinite(step)) gained += step;
        }
        previous = &point;
    }
    return gained;
}

ProjectRollingLeverage projectRollingLeverage(const EffortPoints& points, Date now) {
    if (points.size() < 2) return {};
    const Date d7 = calendar::addingDays(now, -7);
    const Date d14 = calendar::addingDays(now, -14);
    const Date d28 = calendar::addingDays(now, -28);
    const double e7 = effortBetween(d7, now, points);
    const double e14 = effortBetween(d14, now, points);
    const double p7 = effortBetween(d14, d7, points);
    const double p14 = effortBetween(d28, d14, points);
    return {
        positiveOrAbsent(e7 / (7 / daysPerMonth)),
        positiveOrAbsent(e14 / (14 / daysPerMonth)),
        positiveOrAbsent(p7 / (7 / daysPerMonth)),
        positiveOrAbsent(p14 / (14 / daysPerMonth)),
        positiveOrAbsent(e7 / 7),
        positiveOrAbsent(e14 / 14),
    };
}

CategorySums categorySums(const Activities& activities) {
    CategorySums sums{};
    for (const auto& activity : activities) {
        sums[0] += activity->codeLinesInserted;
        sums[1] += activity->codeLinesDeleted;
        sums[2] += activity->docsLinesInserted;
        sums[3] += activity->docsLinesDeleted;
        sums[4] += activity->testLinesInserted;
        sums[5] += activity->testLinesDeleted;
        sums[6] += activity->configLinesInserted;
        sums[7] += activity->configLinesDeleted;
    }
    return sums;
}

OutputComposition composition(const CategorySums& sums) {
    const std::int64_t total = (sums[0] + sums[1]) + (sums[2] + sums[3]) + (sums[4] + sums[5]) + (sums[6] + sums[7]);
    const double divisor = static_cast<double>(total);
    return {category(sums[0], sums[1], divisor), category(sums[2], sums[3], divisor),
            category(sums[4], sums[5], divisor), category(sums[6], sums[7], divisor)};
}

VelocityRetention velocityRetention(double baseline, std::int64_t codeLinesChanged, std::size_t days) {
    if (days == 0) return {baseline, std::nullopt, std::nullopt, RetentionAssessment::belowAverage};
    const double current = static_cast<double>(codeLinesChanged) / static_cast<double>(days);
    const double retention = baseline > 0 ? current / baseline * 100.0 : 0.0;
    // A baseline so small that the ratio overflows says nothing: leave the percentage out.
    if (!std::isfinite(retention)) return {baseline, current, std::nullopt, RetentionAssessment::belowAverage};
    return {baseline, current, retention, VelocityRetention::classify(retention)};
}

std::vector<PortfolioMetricsService::VelocityPoint> velocitySeries(const ChangedOnDay& changedOnDay, Date start,
                                                                   Date todayStart) {
    std::vector<PortfolioMetricsService::VelocityPoint> series;
    if (changedOnDay.empty()) return series;
    for (Date cursor = calendar::addingDays(start, 7); cursor <= todayStart; cursor = calendar::addingDays(cursor, 1)) {
        const auto lastDay = calendar::localDay(cursor);
        std::int64_t sum = 0;
        int activeDays = 0;
        for (auto day = changedOnDay.lower_bound(lastDay - std::chrono::days(6));
             day != changedOnDay.end() && day->first <= lastDay; ++day) {
            sum += day->second;
            ++activeDays;
        }
        if (activeDays > 0) series.push_back({cursor, static_cast<double>(sum) / activeDays});
    }
    return series;
}

} // namespace norvane::PortfolioMetricsCalculator
