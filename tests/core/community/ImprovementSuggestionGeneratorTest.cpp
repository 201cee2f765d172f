#include "core/community/ImprovementSuggestionGenerator.h"

#include <gtest/gtest.h>

#include <tuple>

namespace norvane {
namespace {

using Priority = ImprovementSuggestion::Priority;
using Titles = std::vector<std::string>;
using ImprovementSuggestionGenerator::generate;
using ImprovementSuggestionGenerator::generateStrengths;

Titles titles(const std::vector<ImprovementSuggestion>& items) {
    Titles result;
    for (const auto& item : items) result.push_back(item.title);
    return result;
}

UserPercentiles percentiles(std::optional<int> throughput, std::optional<int> consistency,
                            std::optional<int> retention) {
    return {.sizeBucket = "Medium",
            .throughputPercentile = throughput,
            .velocityRetentionPercentile = retention,
            .consistencyPercentile = consistency};
}

TEST(ImprovementSuggestionGenerator, AdvisesBelowTheMedianMostUrgentFirstAndPraisesFromSeventyFive) {
    // Throughput, consistency and retention percentiles; the advice, then the strengths.
    const std::tuple<UserPercentiles, Titles, Titles> cases[] = {
        {percentiles(std::nullopt, std::nullopt, std::nullopt), {}, {}},
        {percentiles(30, 10, 20), {"Build a Coding Habit", "Address Technical Debt", "Room to Grow"}, {}},
        {percentiles(0, 40, 49), {"Boost Your Output", "Increase Active Days", "Maintain Architecture Health"}, {}},
        {percentiles(24, 50, 74), {"Boost Your Output"}, {}},
        {percentiles(25, -1, 75), {"Room to Grow"}, {"Scalable Architecture"}},
        {percentiles(75, 100, 90), {}, {"Strong Output", "Excellent Consistency", "Scalable Architecture"}},
    };
    for (const auto& [given, advice, strengths] : cases) {
        EXPECT_EQ(titles(generate(given)), advice);
        EXPECT_EQ(titles(generateStrengths(given)), strengths);
    }
    const auto urgent = generate(percentiles(30, 10, 20));
    EXPECT_EQ(std::tuple(urgent[0].priority, urgent[0].currentPercentile, urgent[2].priority),
              std::tuple(Priority::high, 10, Priority::medium));
    const auto praise = generateStrengths(percentiles(75, 100, 90))[1];
    EXPECT_EQ(std::tuple(praise.priority, praise.currentPercentile), std::tuple(Priority::low, 100));
}

TEST(ImprovementSuggestionGenerator, InsertsTheSizeBucketLabelUnchanged) {
    const auto advice = ImprovementSuggestionGenerator::throughputSuggestion(5, "Large*");
    EXPECT_NE(advice->description.find("below average for Large* projects."), std::string::npos);
    const auto strengths = generateStrengths(percentiles(80, std::nullopt, std::nullopt));
    ASSERT_EQ(strengths.size(), 1u);
    EXPECT_NE(strengths[0].description.find("top quartile for Medium projects."), std::string::npos);
}

} // namespace
} // namespace norvane
