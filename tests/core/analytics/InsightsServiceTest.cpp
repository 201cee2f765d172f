#include "core/analytics/InsightsService.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/LocalCalendar.h"
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

using testing::localDate;

class InsightsServiceTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone zone{"Europe/Berlin"};
    // Wednesday 1 April 2026, three days after the clocks went forward.
    Date now = localDate(2026, 4, 1, 15);
    Date today = localDate(2026, 4, 1);
    std::shared_ptr<platform::ModelContext> context =
        std::make_shared<platform::ModelContext>(NorvaneDatabase::makeInMemoryContainer());
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

    std::shared_ptr<Project> project(const std::string& name, std::optional<int> daysSinceCommit,
                                     ProjectStatus status = ProjectStatus::active) {
        auto created = Project::create(name, "/tmp/" + name, std::nullopt, ProjectType::organic);
        created->status = status;
        if (daysSinceCommit) created->latestCommitAt = LocalCalendar::addingDays(now, -*daysSinceCommit);
        context->insert(created);
        return created;
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
        std::vector<double> values;
        std::vector<std::int64_t> counts;
        std::optional<std::string> message;
    };
    const std::vector<std::int64_t> sevenAndSeven{1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2};
    const Case cases[] = {
        {std::vector<double>(7, 0.1), {}, std::nullopt},
        {{0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2},
         {1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2},
         std::nullopt},
        {{0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2},
         sevenAndSeven,
         "You're most productive with 2 parallel projects (0.2 mo/day avg)."},
        {{10, 10, 10, 10, 10, 10, 10, 11, 11, 11, 11, 11, 11, 11}, sevenAndSeven, std::nullopt},
        {{10, 10, 10, 10, 10, 10, 10, 11.5, 11.5, 11.5, 11.5, 11.5, 11.5, 11.5},
         sevenAndSeven,
         "You're most productive with 2 parallel projects (11.5 mo/day avg)."},
        {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, sevenAndSeven, std::nullopt},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 9, 9, 9}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 3, 3}, std::nullopt},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 9, 9, 9},
         {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 3, 3},
         "You're most productive with 3 parallel projects (9.0 mo/day avg)."},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 9, 9}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 3, 3}, std::nullopt},
    };
    for (const auto& [values, counts, message] : cases) {
        auto series = throughput(values);
        const auto insight = service.optimalParallelismInsight(series, parallelism(counts));
        ASSERT_EQ(insight.has_value(), message.has_value()) << values.size() << " " << values.back();
        if (!insight) continue;
        EXPECT_EQ(insight->message, *message);
        EXPECT_EQ(insight->type, InsightType::optimalParallelism);
    }
}

TEST_F(InsightsServiceTest, OptimalParallelismAgainstAnIdleGroupIsInfinitelyBetter) {
    const auto insight =
        service.optimalParallelismInsight(throughput({0, 0, 0, 0, 0, 0, 0, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5}),
                                          parallelism({1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2}));
    ASSERT_TRUE(insight);
    EXPECT_TRUE(std::isinf(insight->data.at("improvement")));
    EXPECT_EQ(insight->data.at("optimalParallelism"), 2.0);
    EXPECT_EQ(insight->data.at("avgThroughput"), 0.5);
}

TEST_F(InsightsServiceTest, CapacityThresholds) {
    struct Case {
        double capacity;
        double peak;
        std::optional<std::string> title;
        std::optional<std::string> message;
    };
    const Case cases[] = {
        {0, 0, std::nullopt, std::nullopt},
        {49.9, 0, std::nullopt, std::nullopt},
        {49.9, 0.2, "Room for More", "Operating at 49% capacity. You could take on more work."},
        {0.29 * 100, 0.2, "Room for More", "Operating at 29% capacity. You could take on more work."},
        {50, 0.2, std::nullopt, std::nullopt},
        {70, 0.2, std::nullopt, std::nullopt},
        {89.99, 0.2, std::nullopt, std::nullopt},
        {90, 0.2, "At Peak Capacity", "You're operating at 90% of your peak. Great momentum!"},
        {95.7, 0.2, "At Peak Capacity", "You're operating at 95% of your peak. Great momentum!"},
    };
    for (const auto& [capacity, peak, title, message] : cases) {
        const auto insight = service.capacityInsight(metrics(capacity, peak));
        ASSERT_EQ(insight.has_value(), title.has_value()) << capacity << " " << peak;
        if (!insight) continue;
        EXPECT_EQ(insight->title, *title);
        EXPECT_EQ(insight->message, *message);
        EXPECT_EQ(insight->data.at("utilization"), capacity);
    }
    EXPECT_EQ(service.capacityInsight(metrics(10, 0.2))->type, InsightType::lowCapacity);
    EXPECT_EQ(service.capacityInsight(metrics(100, 0.2))->type, InsightType::highCapacity);
}

TEST_F(InsightsServiceTest, PeakDayNeedsFiveWeekdaysAndMoreThanFifteenPercent) {
    // Weekday means: six of 19.5 and one of `best`, so the mean of means is (117 + best) / 7.
    const auto weeks = [this](double best, int days) {
        std::vector<double> values;
        for (int i = 0; i < days; ++i) {
            const Date day = LocalCalendar::addingDays(today, i - days + 1);
            values.push_back(LocalCalendar::components(day).weekday == 3 ? best : 19.5);
        }
        return throughput(values);
    };
    EXPECT_FALSE(service.peakDaysInsight(weeks(23, 21))) << "exactly 15% better";
    EXPECT_FALSE(service.peakDaysInsight(weeks(40, 20))) << "20 entries";
    const auto insight = service.peakDaysInsight(weeks(30, 21));
    ASSERT_TRUE(insight);
    EXPECT_EQ(insight->title, "Peak Day: Tuesday");
    // Mean of means 147 / 7 = 21; (30 - 21) / 21 = 42.86%.
    EXPECT_EQ(insight->message, "Tuesdays are 42% more productive than average.");
    EXPECT_EQ(insight->type, InsightType::productiveDay);
    EXPECT_EQ(insight->data.at("day"), 3.0);

    // Zero days are left out: with only four weekdays at work, nothing qualifies.
    std::vector<double> fourWeekdays;
    for (int i = 0; i < 28; ++i) {
        const int weekday = LocalCalendar::components(LocalCalendar::addingDays(today, i - 27)).weekday;
        fourWeekdays.push_back(weekday >= 2 && weekday <= 4 ? 1.0 : weekday == 5 ? 5.0 : 0.0);
    }
    EXPECT_FALSE(service.peakDaysInsight(throughput(fourWeekdays)));
}

TEST_F(InsightsServiceTest, StreakOfDaysAtOrAboveTheMedian) {
    struct Case {
        std::vector<double> values;
        Date lastDay;
        std::optional<int> days;
    };
    const Date yesterday = localDate(2026, 3, 31);
    const Case cases[] = {
        {{1, 1, 1, 1, 1, 1}, localDate(2026, 4, 1), std::nullopt},
        {{1, 1, 1, 1, 1, 1, 1}, localDate(2026, 4, 1), 7},
        {{0, 0, 0, 0, 0, 0, 0}, localDate(2026, 4, 1), std::nullopt},
        {{1, 1, 1, 0, 5, 5, 5, 5}, localDate(2026, 4, 1), std::nullopt},
        {{1, 1, 1, 0, 5, 5, 5, 5, 5}, localDate(2026, 4, 1), 5},
        {{1, 1, 1, 0, 5, 5, 5, 5, 5}, yesterday, 5},
        {{1, 1, 1, 0, 5, 5, 5, 5, 5}, localDate(2026, 3, 30), std::nullopt},
    };
    for (const auto& [values, lastDay, days] : cases) {
        const auto insight = service.streakInsight(throughput(values, lastDay));
        ASSERT_EQ(insight.has_value(), days.has_value()) << values.size() << " " << values.front();
        if (!insight) continue;
        EXPECT_EQ(insight->title, std::to_string(*days) + "-Day Streak!");
        EXPECT_EQ(insight->message,
                  "You've been above your median productivity for " + std::to_string(*days) + " consecutive days.");
        EXPECT_EQ(insight->priority, InsightPriority::high);
        EXPECT_EQ(insight->data.at("streakDays"), *days);
    }
}

TEST_F(InsightsServiceTest, StreakBridgesOneMissingDayButNotTwo) {
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
    const auto insight = service.addProjectInsight(metrics(10, 1), parallelism({1}));
    ASSERT_TRUE(insight);
    EXPECT_EQ(insight->title, "Add a Project?");
    EXPECT_EQ(insight->message,
              "With 1.0 avg projects and 10% capacity, you might benefit from adding another project.");
    EXPECT_FALSE(service.addProjectInsight(metrics(10, 1), parallelism({2, 2})));
    EXPECT_FALSE(service.addProjectInsight(metrics(60, 1), parallelism({1})));
    EXPECT_TRUE(service.addProjectInsight(metrics(59.9, 1), parallelism({1, 2})));
    // Only the newest seven entries count.
    const auto recent = service.addProjectInsight(metrics(0, 0), parallelism({9, 9, 9, 1, 1, 1, 2, 2, 2, 2}));
    ASSERT_TRUE(recent);
    EXPECT_NEAR(recent->data.at("avgParallelism"), 11.0 / 7.0, 1e-12);
    EXPECT_EQ(recent->message, "With 1.6 avg projects and 0% capacity, you might benefit from adding another project.");
}

TEST_F(InsightsServiceTest, FrozenProjectsComeBeforeCoolingOnes) {
    for (const auto& name : {"A", "B", "C", "D", "E"}) project(name, 40);
    project("F", 10);
    auto insights = service.projectActivityInsight();
    ASSERT_EQ(insights.size(), 1U);
    EXPECT_EQ(insights[0].title, "5 Frozen Projects");
    EXPECT_EQ(insights[0].message, "A, B, C and 2 more haven't had commits in 30+ days. Consider archiving.");
    EXPECT_EQ(insights[0].type, InsightType::tooManyProjects);
    EXPECT_EQ(insights[0].priority, InsightPriority::high);
    EXPECT_EQ(insights[0].data.at("frozenCount"), 5.0);
}

TEST_F(InsightsServiceTest, ProjectActivityTexts) {
    struct Case {
        std::vector<std::pair<std::string, std::optional<int>>> projects;
        std::vector<std::string> titles;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {{{"A", 31}}, {"1 Frozen Project"}, {"A hasn't had commits in 30+ days. Consider archiving."}},
        {{{"A", 40}, {"B", 40}, {"C", 40}, {"D", 40}},
         {"4 Frozen Projects"},
         {"A, B, C and 1 more haven't had commits in 30+ days. Consider archiving."}},
        {{{"A", 10}, {"B", 8}}, {"2 Cooling Off"}, {"A, B haven't had commits in over a week."}},
        {{{"A", 30}}, {"1 Cooling Off"}, {"A hasn't had commits in over a week."}},
        {{{"A", 9}, {"B", 9}, {"C", 9}, {"D", 9}}, {"4 Cooling Off"}, {"A, B, C haven't had commits in over a week."}},
        {{{"A", 0}, {"B", 3}}, {"All Projects Active!"}, {"All 2 projects have commits in the last 3 days."}},
        {{{"A", 0}}, {}, {}},
        {{{"A", 0}, {"B", std::nullopt}}, {}, {}},
        {{{"A", 0}, {"B", 4}}, {}, {}},
    };
    for (const auto& [projects, titles, messages] : cases) {
        for (const auto& stored : context->fetch<Project>()) context->remove(stored);
        for (const auto& [name, days] : projects) project(name, days);
        std::vector<std::string> gotTitles;
        std::vector<std::string> gotMessages;
        for (const auto& insight : service.projectActivityInsight()) {
            gotTitles.push_back(insight.title);
            gotMessages.push_back(insight.message);
        }
        EXPECT_EQ(gotTitles, titles);
        EXPECT_EQ(gotMessages, messages);
    }
}

TEST_F(InsightsServiceTest, PausedAndArchivedProjectsTakeNoPart) {
    project("A", 1);
    project("B", 2);
    project("Old", 90, ProjectStatus::archived);
    project("Resting", 12, ProjectStatus::paused);
    const auto insights = service.projectActivityInsight();
    ASSERT_EQ(insights.size(), 1U);
    EXPECT_EQ(insights[0].type, InsightType::highCapacity);
    EXPECT_EQ(insights[0].data.at("hotCount"), 2.0);
}

TEST_F(InsightsServiceTest, EmptyStoreGivesNoInsights) { EXPECT_TRUE(service.generateInsights().empty()); }

TEST_F(InsightsServiceTest, GeneratedListIsSortedByPriorityKeepingRuleOrder) {
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
    EXPECT_EQ(insights[0].type, InsightType::streak);
    EXPECT_EQ(insights[0].title, "5-Day Streak!");
    EXPECT_EQ(insights[1].type, InsightType::tooManyProjects);
    EXPECT_EQ(insights[1].title, "1 Frozen Project");
    for (std::size_t i = 1; i < insights.size(); ++i) EXPECT_GE(insights[i - 1].priority, insights[i].priority);
}

TEST(InsightsService, DayNamesRunFromSundayAndNameStrayNumbers) {
    EXPECT_EQ(InsightsService::dayName(1), "Sunday");
    EXPECT_EQ(InsightsService::dayName(7), "Saturday");
    EXPECT_EQ(InsightsService::dayName(9), "Day 9");
}

} // namespace
} // namespace norvane
