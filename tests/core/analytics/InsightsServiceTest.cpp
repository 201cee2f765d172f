#include "core/analytics/InsightsService.h"
#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norvane {
namespace {

using platform::Date;
namespace LocalCalendar = platform::LocalCalendar;
using ThroughputSeries = InsightsService::ThroughputSeries;
using ParallelismSeries = InsightsService::ParallelismSeries;
using Texts = std::vector<std::string>;

using testing::localDate;

class InsightsServiceTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::ScopedTimeZone zone{"Europe/Berlin"};
    // Wednesday 1 April 2026, three days after the clocks went forward.
    Date now = localDate(2026, 4, 1, 15);
    Date today = localDate(2026, 4, 1);
    InsightsService service{context, [this] { return now; }};

    /// One entry per day, oldest first, the last on `lastDay`.
    ThroughputSeries throughput(const std::vector<double>& values, std::optional<Date> lastDay = std::nullopt) const {
        ThroughputSeries series;
        const auto count = static_cast<int>(values.size());
        for (int i = 0; i < count; ++i) {
            series.push_back({LocalCalendar::addingDays(lastDay.value_or(today), i - count + 1), values[i]});
        }
        return series;
    }

    ParallelismSeries parallelism(const std::vector<std::int64_t>& counts) const {
        ParallelismSeries series;
        const auto count = static_cast<int>(counts.size());
        for (int i = 0; i < count; ++i)
            series.push_back({LocalCalendar::addingDays(today, i - count + 1), counts[i], {}});
        return series;
    }

    void project(const std::string& name, std::optional<int> daysSinceCommit,
                 ProjectStatus status = ProjectStatus::active) {
        auto created = addProject(name);
        created->status = status;
        if (daysSinceCommit) created->latestCommitAt = LocalCalendar::addingDays(now, -*daysSinceCommit);
    }

    static PortfolioMetrics metrics(double capacity, double peak) {
        PortfolioMetrics result;
        result.capacityUtilization = capacity;
        result.peakThroughput = peak;
        return result;
    }
};

TEST_F(InsightsServiceTest, OptimalParallelismNeedsAClearlyBetterGroup) {
    struct Case {
        double firstValue;
        std::int64_t firstCount;
        int firstDays;
        double secondValue;
        std::int64_t secondCount;
        int secondDays;
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {0.1, 1, 7, 0.2, 2, 6, std::nullopt}, // fewer than 14 days
        {0.1, 1, 7, 0.2, 2, 7, "You're most productive with 2 parallel projects (0.2 mo/day avg)."},
        {10, 1, 7, 11, 2, 7, std::nullopt}, // exactly 10% better
        {10, 1, 7, 11.5, 2, 7, "You're most productive with 2 parallel projects (11.5 mo/day avg)."},
        {0, 1, 7, 0, 2, 7, std::nullopt},
        {0, 1, 7, 0.5, 2, 7, "You're most productive with 2 parallel projects (0.5 mo/day avg)."},
        {1, 0, 11, 9, 3, 3, std::nullopt}, // days without projects are left out
        {1, 1, 11, 9, 3, 3, "You're most productive with 3 parallel projects (9.0 mo/day avg)."},
        {1, 1, 12, 9, 3, 2, std::nullopt}, // a group needs three days
    };
    for (const auto& c : cases) {
        std::vector<double> values(static_cast<std::size_t>(c.firstDays), c.firstValue);
        values.insert(values.end(), static_cast<std::size_t>(c.secondDays), c.secondValue);
        std::vector<std::int64_t> counts(static_cast<std::size_t>(c.firstDays), c.firstCount);
        counts.insert(counts.end(), static_cast<std::size_t>(c.secondDays), c.secondCount);
        const auto insight = service.optimalParallelismInsight(throughput(values), parallelism(counts));
        EXPECT_EQ(insight ? std::optional(insight->message) : std::nullopt, c.message) << c.firstValue;
        if (c.firstValue == 0 && c.secondValue > 0) {
            EXPECT_TRUE(std::isinf(insight->data.at("improvement"))); // against an idle group
        }
    }
}

TEST_F(InsightsServiceTest, CapacityThresholds) {
    const std::tuple<double, double, std::optional<std::string>> cases[] = {
        {49.9, 0, std::nullopt},
        {0.29 * 100, 0.2, "Operating at 29% capacity. You could take on more work."},
        {50, 0.2, std::nullopt},
        {89.99, 0.2, std::nullopt},
        {90, 0.2, "You're operating at 90% of your peak. Great momentum!"},
    };
    for (const auto& [capacity, peak, message] : cases) {
        const auto insight = service.capacityInsight(metrics(capacity, peak));
        EXPECT_EQ(insight ? std::optional(insight->message) : std::nullopt, message) << capacity << " " << peak;
    }
}

TEST_F(InsightsServiceTest, PeakDayComparesWithTheMeanOfWeekdayMeans) {
    // 24 days up to Wednesday: Monday to Wednesday have four entries, the other days three.
    const auto days = [this](int count, const std::map<int, double>& valueOfWeekday, double otherwise) {
        std::vector<double> values;
        for (int i = 0; i < count; ++i) {
            const int weekday = LocalCalendar::components(LocalCalendar::addingDays(today, i - count + 1)).weekday;
            values.push_back(valueOfWeekday.contains(weekday) ? valueOfWeekday.at(weekday) : otherwise);
        }
        return throughput(values);
    };
    // Weekday means 10, 10, 25 and four of 20: their mean is 125 / 7, and Wednesday is 40% above it
    // (the mean of all 24 entries, 17.5, would make it 42%).
    const auto insight = service.peakDaysInsight(days(24, {{2, 10.0}, {3, 10.0}, {4, 25.0}}, 20.0));
    ASSERT_TRUE(insight);
    EXPECT_EQ(std::tuple(insight->title, insight->message, insight->data.at("day")),
              std::tuple("Peak Day: Wednesday", "Wednesdays are 40% more productive than average.", 4.0));

    EXPECT_FALSE(service.peakDaysInsight(days(21, {{3, 23.0}}, 19.5))) << "exactly 15% better";
    EXPECT_FALSE(service.peakDaysInsight(days(20, {{3, 40.0}}, 19.5))) << "20 entries";
    // Zero days are left out: with only four weekdays at work, nothing qualifies.
    EXPECT_FALSE(service.peakDaysInsight(days(28, {{2, 1.0}, {3, 1.0}, {4, 1.0}, {5, 5.0}}, 0.0)));
}

TEST_F(InsightsServiceTest, StreakOfDaysAtOrAboveTheMedian) {
    struct Case {
        std::vector<double> values;
        Date lastDay;
        std::optional<int> days;
    };
    const Case cases[] = {
        {{1, 1, 1, 1, 1, 1}, localDate(2026, 4, 1), std::nullopt},
        {{1, 1, 1, 1, 1, 1, 1}, localDate(2026, 4, 1), 7},
        {{0, 0, 0, 0, 0, 0, 0}, localDate(2026, 4, 1), std::nullopt},
        {{1, 1, 1, 0, 5, 5, 5, 5}, localDate(2026, 4, 1), std::nullopt},
        {{1, 1, 1, 0, 5, 5, 5, 5, 5}, localDate(2026, 3, 31), 5},
        {{1, 1, 1, 0, 5, 5, 5, 5, 5}, localDate(2026, 3, 30), std::nullopt},
    };
    for (const auto& [values, lastDay, days] : cases) {
        const auto insight = service.streakInsight(throughput(values, lastDay));
        const auto expected = days ? std::optional("You've been above your median productivity for " +
                                                   std::to_string(*days) + " consecutive days.")
                                   : std::nullopt;
        EXPECT_EQ(insight ? std::optional(insight->message) : std::nullopt, expected) << values.size();
    }
    // Seven days up to today, and before them a run that ends two or three days earlier; the
    // short day of the clock change (29 March) lies inside.
    ThroughputSeries recent = throughput(std::vector<double>(7, 2.0));
    ThroughputSeries oneMissing = throughput(std::vector<double>(11, 2.0), localDate(2026, 3, 24));
    ThroughputSeries twoMissing = throughput(std::vector<double>(10, 2.0), localDate(2026, 3, 23));
    oneMissing.insert(oneMissing.begin(), recent.rbegin(), recent.rend()); // out of order on purpose
    twoMissing.insert(twoMissing.end(), recent.begin(), recent.end());
    EXPECT_EQ(service.streakInsight(oneMissing)->data.at("streakDays"), 18.0);
    EXPECT_EQ(service.streakInsight(twoMissing)->data.at("streakDays"), 7.0);
}

TEST_F(InsightsServiceTest, AddAProjectWhenFewProjectsAndSpareCapacity) {
    EXPECT_FALSE(service.addProjectInsight(metrics(10, 1), {}));
    EXPECT_EQ(service.addProjectInsight(metrics(10, 1), parallelism({1}))->message,
              "With 1.0 avg projects and 10% capacity, you might benefit from adding another project.");
    EXPECT_FALSE(service.addProjectInsight(metrics(10, 1), parallelism({2, 2})));
    EXPECT_FALSE(service.addProjectInsight(metrics(60, 1), parallelism({1})));
    // Only the newest seven entries count.
    const auto recent = service.addProjectInsight(metrics(0, 0), parallelism({9, 9, 9, 1, 1, 1, 2, 2, 2, 2}));
    ASSERT_TRUE(recent);
    EXPECT_NEAR(recent->data.at("avgParallelism"), 11.0 / 7.0, 1e-12);
}

TEST_F(InsightsServiceTest, ProjectActivityTexts) {
    struct Case {
        std::vector<std::pair<std::string, std::optional<int>>> projects;
        Texts texts;
    };
    const Case cases[] = {
        {{{"A", 40}, {"B", 40}, {"C", 40}, {"D", 40}, {"E", 40}, {"F", 10}},
         {"5 Frozen Projects", "A, B, C and 2 more haven't had commits in 30+ days. Consider archiving."}},
        {{{"A", 31}}, {"1 Frozen Project", "A hasn't had commits in 30+ days. Consider archiving."}},
        {{{"A", 10}, {"B", 8}}, {"2 Cooling Off", "A, B haven't had commits in over a week."}},
        {{{"A", 0}, {"B", 3}}, {"All Projects Active!", "All 2 projects have commits in the last 3 days."}},
        {{{"A", 0}, {"B", std::nullopt}}, {}},
        {{{"A", 0}, {"B", 4}}, {}},
    };
    for (const auto& [projects, texts] : cases) {
        for (const auto& stored : context->fetch<Project>()) context->remove(stored);
        for (const auto& [name, days] : projects) project(name, days);
        Texts got;
        for (const auto& insight : service.projectActivityInsight()) {
            got.insert(got.end(), {insight.title, insight.message});
        }
        EXPECT_EQ(got, texts);
    }
    // Paused and archived projects take no part.
    project("Old", 90, ProjectStatus::archived);
    project("Resting", 12, ProjectStatus::paused);
    EXPECT_TRUE(service.projectActivityInsight().empty());
}

TEST_F(InsightsServiceTest, GeneratedListIsSortedByPriorityKeepingRuleOrder) {
    EXPECT_TRUE(service.generateInsights().empty());
    // Ten stored portfolio days: five quiet ones, then five busy ones up to today.
    for (int i = 0; i < 10; ++i) {
        auto row = DailyPortfolioSnapshot::create(LocalCalendar::addingDays(today, i - 9));
        row->dailyEffortMonths = i < 5 ? 0.1 : 0.5;
        row->activeProjectCount = 1;
        row->setActiveProjects({"A"});
        context->insert(row);
    }
    project("A", 0);
    project("Dormant", 45);
    context->save();

    const auto insights = service.generateInsights();
    ASSERT_GE(insights.size(), 2U);
    EXPECT_EQ(insights[0].title, "5-Day Streak!");
    EXPECT_EQ(insights[1].title, "1 Frozen Project");
    for (std::size_t i = 1; i < insights.size(); ++i) EXPECT_GE(insights[i - 1].priority, insights[i].priority);
}

} // namespace
} // namespace norvane
