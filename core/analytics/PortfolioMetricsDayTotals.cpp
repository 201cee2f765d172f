#include "core/analytics/PortfolioMetricsDayTotals.h"

#include "platform/LocalCalendar.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>
#include <unordered_map>

namespace norvane {

namespace {

using Moments = std::vector<PortfolioMetricsDayTotals::HistoryMoment>;

/// Each project's highest cumulative effort so far, summed in the order the projects first
/// appeared so that the same history always gives the same total. A project's effort only grows:
/// a lower value (a series summed in another order than its dates) books nothing, and the growth
/// back to the highest books nothing again.
class CarriedEffort {
public:
    std::size_t slotOf(std::size_t project) {
        const auto [found, added] = slots_.try_emplace(project, highest_.size());
        if (added) highest_.push_back(0.0);
        return found->second;
    }
    void raise(std::size_t slot, double effort) { highest_[slot] = std::max(highest_[slot], effort); }
    double total() const { return std::accumulate(highest_.begin(), highest_.end(), 0.0); }

private:
    std::unordered_map<std::size_t, std::size_t> slots_;
    std::vector<double> highest_;
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
    for (std::size_t i = begin; i < end; ++i) {
        const auto& moment = moments[i];
        if (!moment.project) continue;
        dayNames.insert(names[*moment.project]);
        ++day.historyPointCount;
        const std::size_t slot = carried.slotOf(*moment.project);
        // A snapshot without a usable effort says nothing of the project's total: it keeps its value.
        const double effort = moment.cumulativeEffortMonths;
        if (std::isfinite(effort) && effort > 0) carried.raise(slot, effort);
    }
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
