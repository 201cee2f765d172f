#include "core/analytics/InsightsService.h"

#include "core/analytics/WholePercent.h"
#include "core/analytics/WorkPatterns.h"
#include "platform/LocalCalendar.h"

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <numeric>

namespace norvane {

namespace {

using platform::Date;
namespace LocalCalendar = platform::LocalCalendar;
using Projects = std::vector<std::shared_ptr<Project>>;

std::string oneDecimal(double value) { return fmt::format("{:.1f}", value); }

double mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

std::string firstThreeNames(const Projects& projects) {
    std::string names;
    for (std::size_t i = 0; i < std::min<std::size_t>(3, projects.size()); ++i) {
        names += (i == 0 ? "" : ", ") + projects[i]->name;
    }
    return names;
}

Insight frozenProjectsInsight(const Projects& frozen) {
    const auto n = frozen.size();
    const std::string suffix = n >= 4 ? " and " + std::to_string(n - 3) + " more" : "";
    return Insight(InsightType::tooManyProjects, std::to_string(n) + " Frozen Project" + (n == 1 ? "" : "s"),
                   firstThreeNames(frozen) + suffix + " ha" + (n == 1 ? "s" : "ve") +
                       "n't had commits in 30+ days. Consider archiving.",
                   InsightPriority::high, "snowflake.circle", {{"frozenCount", static_cast<double>(n)}});
}

Insight coolingProjectsInsight(const Projects& cold) {
    const auto n = cold.size();
    return Insight(InsightType::tooManyProjects, std::to_string(n) + " Cooling Off",
                   firstThreeNames(cold) + " " + (n == 1 ? "hasn't" : "haven't") + " had commits in over a week.",
                   InsightPriority::medium, "snowflake", {{"coldCount", static_cast<double>(n)}});
}

Insight allProjectsActiveInsight(std::size_t hotCount) {
    return Insight(InsightType::highCapacity, "All Projects Active!",
                   "All " + std::to_string(hotCount) + " projects have commits in the last 3 days.",
                   InsightPriority::low, "flame.fill", {{"hotCount", static_cast<double>(hotCount)}});
}

/// Each parallel-project count's throughput values; days without projects are left out.
std::map<std::int64_t, std::vector<double>>
throughputByParallelism(const InsightsService::ThroughputSeries& throughput,
                        const InsightsService::ParallelismSeries& parallelism) {
    // Of two entries on one day the later one counts.
    std::map<Date, std::int64_t> countOfDay;
    for (const auto& entry : parallelism) countOfDay[LocalCalendar::startOfDay(entry.date)] = entry.count;
    std::map<std::int64_t, std::vector<double>> groups;
    for (const auto& entry : throughput) {
        const auto count = countOfDay.find(LocalCalendar::startOfDay(entry.date));
        if (count != countOfDay.end() && count->second >= 1) groups[count->second].push_back(entry.throughput);
    }
    return groups;
}

/// How much better `best` is than `second` in percent; none when both are 0.
std::optional<double> improvementOver(double best, double second) {
    if (second == 0.0) {
        if (best > 0.0) return std::numeric_limits<double>::infinity();
        return std::nullopt;
    }
    return (best - second) / second * 100.0;
}

} // namespace

std::vector<Insight> InsightsService::generateInsights() {
    PortfolioMetricsService metricsService(context_, clock_, rows_);
    const PortfolioMetrics metrics = metricsService.calculateMetrics(7);
    const ThroughputSeries throughput = metricsService.getDailyThroughputSeries(90);
    const ParallelismSeries parallelism = metricsService.getParallelismSeries(90);

    std::vector<Insight> insights;
    for (auto insight :
         {optimalParallelismInsight(throughput, parallelism), capacityInsight(metrics), peakDaysInsight(throughput),
          streakInsight(throughput), addProjectInsight(metrics, parallelism)}) {
        if (insight) insights.push_back(std::move(*insight));
    }
    for (auto& insight : projectActivityInsight()) insights.push_back(std::move(insight));
    std::ranges::stable_sort(insights, std::ranges::greater{}, &Insight::priority);
    return insights;
}

std::vector<Insight> InsightsService::projectActivityInsight() {
    const Date now = clock_();
    Projects active;
    Projects frozen;
    Projects cold;
    std::size_t hotCount = 0;
    for (const auto& project : context_->fetch<Project>()) {
        if (project->status != ProjectStatus::active) continue;
        active.push_back(project);
        switch (project->temperature(now)) {
        case ProjectTemperature::frozen: frozen.push_back(project); break;
        case ProjectTemperature::cold: cold.push_back(project); break;
        case ProjectTemperature::hot: ++hotCount; break;
        default: break;
        }
    }
    std::vector<Insight> insights;
    if (!frozen.empty()) {
        insights.push_back(frozenProjectsInsight(frozen));
    } else if (!cold.empty()) {
        insights.push_back(coolingProjectsInsight(cold));
    }
    if (hotCount == active.size() && hotCount >= 2) insights.push_back(allProjectsActiveInsight(hotCount));
    return insights;
}

std::optional<Insight> InsightsService::optimalParallelismInsight(const ThroughputSeries& throughput,
                                                                  const ParallelismSeries& parallelism) {
    if (throughput.size() < 14) return std::nullopt;
    struct ParallelismGroup {
        std::int64_t parallelism;
        double avgThroughput;
        std::size_t sampleSize;
    };
    std::vector<ParallelismGroup> kept;
    for (const auto& [count, values] : throughputByParallelism(throughput, parallelism)) {
        if (values.size() >= 3) kept.push_back({count, mean(values), values.size()});
    }
    if (kept.size() < 2) return std::nullopt;
    std::ranges::stable_sort(kept, std::ranges::greater{}, &ParallelismGroup::avgThroughput);
    const auto& best = kept[0];
    const auto improvement = improvementOver(best.avgThroughput, kept[1].avgThroughput);
    if (!improvement || !(*improvement > 10.0)) return std::nullopt;
    return Insight(InsightType::optimalParallelism, "Optimal Parallelism",
                   "You're most productive with " + std::to_string(best.parallelism) + " parallel projects (" +
                       oneDecimal(best.avgThroughput) + " mo/day avg).",
                   InsightPriority::medium, "square.stack.3d.up",
                   {{"optimalParallelism", static_cast<double>(best.parallelism)},
                    {"avgThroughput", best.avgThroughput},
                    {"improvement", *improvement}});
}

std::optional<Insight> InsightsService::capacityInsight(const PortfolioMetrics& metrics) {
    const double capacity = metrics.capacityUtilization;
    const double peak = metrics.peakThroughput;
    if (capacity < 50.0 && peak > 0.0) {
        return Insight(
            InsightType::lowCapacity, "Room for More",
            "Operating at " + std::to_string(wholePercent(capacity)) + "% capacity. You could take on more work.",
            InsightPriority::medium, "gauge.with.dots.needle.0percent", {{"utilization", capacity}, {"peak", peak}});
    }
    if (capacity >= 90.0) {
        return Insight(InsightType::highCapacity, "At Peak Capacity",
                       "You're operating at " + std::to_string(wholePercent(capacity)) +
                           "% of your peak. Great momentum!",
                       InsightPriority::low, "gauge.with.dots.needle.100percent", {{"utilization", capacity}});
    }
    return std::nullopt;
}

std::optional<Insight> InsightsService::peakDaysInsight(const ThroughputSeries& throughput) {
    if (throughput.size() < 21) return std::nullopt;
    std::map<int, std::vector<double>> valuesOfWeekday;
    for (const auto& entry : throughput) {
        if (entry.throughput > 0)
            valuesOfWeekday[LocalCalendar::components(entry.date).weekday].push_back(entry.throughput);
    }
    struct WeekdayGroup {
        int day;
        double avg;
        std::size_t samples;
    };
    std::vector<WeekdayGroup> qualifying;
    for (const auto& [day, values] : valuesOfWeekday) {
        if (values.size() >= 3) qualifying.push_back({day, mean(values), values.size()});
    }
    if (qualifying.size() < 5) return std::nullopt;
    const auto& best = *std::ranges::max_element(qualifying, {}, &WeekdayGroup::avg);
    const double overall = std::accumulate(qualifying.begin(), qualifying.end(), 0.0,
                                           [](double sum, const WeekdayGroup& group) { return sum + group.avg; }) /
                           static_cast<double>(qualifying.size());
    const double improvement = (best.avg - overall) / overall * 100.0;
    if (!(improvement > 15.0)) return std::nullopt;
    const std::string name = dayName(best.day);
    return Insight(InsightType::productiveDay, "Peak Day: " + name,
                   name + "s are " + std::to_string(wholePercent(improvement)) + "% more productive than average.",
                   InsightPriority::low, "calendar",
                   {{"day", static_cast<double>(best.day)}, {"avgThroughput", best.avg}, {"improvement", improvement}});
}

std::optional<Insight> InsightsService::streakInsight(const ThroughputSeries& throughput) {
    if (throughput.size() < 7) return std::nullopt;
    ThroughputSeries newestFirst = throughput;
    std::ranges::stable_sort(newestFirst, std::ranges::greater{}, &PortfolioMetricsService::ThroughputPoint::date);
    std::vector<double> positives;
    for (const auto& entry : newestFirst) {
        if (entry.throughput > 0) positives.push_back(entry.throughput);
    }
    if (positives.empty()) return std::nullopt;
    std::ranges::sort(positives);
    // With an even count the upper of the two middle values.
    const double median = positives[positives.size() / 2];

    auto expected = LocalCalendar::localDay(clock_());
    int days = 0;
    for (const auto& entry : newestFirst) {
        const auto day = LocalCalendar::localDay(entry.date);
        if (expected - day >= std::chrono::days(2) || entry.throughput < median) break;
        ++days;
        expected = day - std::chrono::days(1);
    }
    if (days < 5) return std::nullopt;
    return Insight(InsightType::streak, std::to_string(days) + "-Day Streak!",
                   "You've been above your median productivity for " + std::to_string(days) + " consecutive days.",
                   InsightPriority::high, "flame.fill",
                   {{"streakDays", static_cast<double>(days)}, {"median", median}});
}

std::optional<Insight> InsightsService::addProjectInsight(const PortfolioMetrics& metrics,
                                                          const ParallelismSeries& parallelism) {
    if (parallelism.empty()) return std::nullopt;
    const std::size_t recentCount = std::min<std::size_t>(7, parallelism.size());
    double total = 0;
    for (auto entry = parallelism.end() - static_cast<std::ptrdiff_t>(recentCount); entry != parallelism.end();
         ++entry) {
        total += static_cast<double>(entry->count);
    }
    const double average = total / static_cast<double>(recentCount);
    const double capacity = metrics.capacityUtilization;
    if (!(average < 2.0 && capacity < 60.0)) return std::nullopt;
    return Insight(InsightType::addProject, "Add a Project?",
                   "With " + oneDecimal(average) + " avg projects and " + std::to_string(wholePercent(capacity)) +
                       "% capacity, you might benefit from adding another project.",
                   InsightPriority::medium, "plus.circle", {{"avgParallelism", average}, {"capacity", capacity}});
}

std::string InsightsService::dayName(int weekday) {
    if (weekday >= 1 && weekday <= 7) return WorkPatterns::formatDayFull(weekday);
    return "Day " + std::to_string(weekday);
}

} // namespace norvane
