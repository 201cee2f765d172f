#include "core/analytics/PortfolioMetricsDayTotals.h"

#include "platform/LocalCalendar.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>
#include <unordered_map>
#include <utility>

namespace norvane {

namespace {

using Moments = std::vector<PortfolioMetricsDayTotals::HistoryMoment>;

/// Each project's latest cumulative effort, summed in the order the projects first appeared so
/// that the same history always gives the same total.
class CarriedEffort {
public:
    std::size_t slotOf(std::size_t project) {
        const auto [found, added] = slots_.try_emplace(project, latest_.size());
        if (added) latest_.push_back(0.0);
        return found->second;
    }
    void set(std::size_t slot, double effort) { latest_[slot] = effort; }
    double total() const { return std::accumulate(latest_.begin(), latest_.end(), 0.0); }

private:
    std::unordered_map<std::size_t, std::size_t> slots_;
    std::vector<double> latest_;
};

std::string joined(const std::set<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        if (!text.empty()) text += ',';
        text += name;
    }
    return text;
}

/// Folds the moments [begin, end) of one day into `carried` and returns the day's counts.
PortfolioMetricsDayTotals foldDay(const Moments& moments, const std::vector<std::string>& names, std::size_t begin,
                                  std::size_t end, CarriedEffort& carried) {
    PortfolioMetricsDayTotals day;
    std::set<std::string> dayNames;
    // (slot, the day's largest cumulative effort of that project)
    std::vector<std::pair<std::size_t, double>> dayEffort;
    for (std::size_t i = begin; i < end; ++i) {
        const auto& moment = moments[i];
        if (!moment.project) continue;
        dayNames.insert(names[*moment.project]);
        ++day.historyPointCount;
        const std::size_t slot = carried.slotOf(*moment.project);
        // A snapshot without a usable effort says nothing of the project's total: it keeps its value.
        const double effort = moment.cumulativeEffortMonths;
        if (!(std::isfinite(effort) && effort > 0)) continue;
        auto entry =
            std::find_if(dayEffort.begin(), dayEffort.end(), [slot](const auto& e) { return e.first == slot; });
        if (entry == dayEffort.end()) {
            dayEffort.emplace_back(slot, effort);
        } else {
            entry->second = std::max(entry->second, effort);
        }
    }
    for (const auto& [slot, effort] : dayEffort) carried.set(slot, effort);
    day.activeProjectCount = static_cast<std::int64_t>(dayNames.size());
    day.activeProjectNames = joined(dayNames);
    return day;
}

} // namespace

std::vector<PortfolioMetricsDayTotals> PortfolioMetricsDayTotals::fromHistory(const Moments& moments,
                                                                              const std::vector<std::string>& names) {
    std::vector<PortfolioMetricsDayTotals> days;
    CarriedEffort carried;
    double previous = 0.0;
    std::size_t begin = 0;
    while (begin < moments.size()) {
        const auto localDay = platform::LocalCalendar::localDay(moments[begin].capturedAt);
        const platform::Date dayStart = platform::LocalCalendar::startOfDay(localDay);
        const platform::Date nextDay = platform::LocalCalendar::startOfDay(localDay + std::chrono::days(1));
        std::size_t end = begin + 1;
        while (end < moments.size() && moments[end].capturedAt < nextDay) ++end;

        auto day = foldDay(moments, names, begin, end, carried);
        day.dayStart = dayStart;
        day.cumulativeEffortMonths = carried.total();
        day.dailyEffortMonths = std::max(0.0, day.cumulativeEffortMonths - previous);
        previous = day.cumulativeEffortMonths;
        days.push_back(std::move(day));
        begin = end;
    }
    return days;
}

} // namespace norvane
