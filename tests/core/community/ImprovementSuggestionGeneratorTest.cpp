#include "core/community/ImprovementSuggestionGenerator.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using Priority = ImprovementSuggestion::Priority;

std::vector<std::string> titles(const std::vector<ImprovementSuggestion>& items) {
    std::vector<std::string> result;
    for (const auto& item : items) {
        result.push_back(item.title);
    }
    return result;
}

UserPercentiles percentiles(std::optional<int> throughput, std::optional<int> consistency,
                            std::optional<int> retention) {
    return {.sizeBucket = "Medium",
            .throughputPercentile = throughput,
            .velocityRetentionPercentile = retention,
            .consistencyPercentile = consistency};
}

TEST(ImprovementSuggestionGenerator, NothingToSayWithoutPercentiles) {
    const auto none = percentiles(std::nullopt, std::nullopt, std::nullopt);
    EXPECT_TRUE(ImprovementSuggestionGenerator::generate(none).empty());
    EXPECT_TRUE(ImprovementSuggestionGenerator::generateStrengths(none).empty());
}

TEST(ImprovementSuggestionGenerator, SortsHighPriorityFirstAndKeepsTheMetricOrder) {
    const auto items = ImprovementSuggestionGenerator::generate(percentiles(30, 10, 20));
    EXPECT_EQ(titles(items),
              (std::vector<std::string>{"Build a Coding Habit", "Address Technical Debt", "Room to Grow"}));
    EXPECT_EQ(items[0].priority, Priority::high);
    EXPECT_EQ(items[0].currentPercentile, 10);
    EXPECT_EQ(items[2].priority, Priority::medium);
}

TEST(ImprovementSuggestionGenerator, BandsAreInclusive) {
    using ImprovementSuggestionGenerator::throughputSuggestion;
    EXPECT_EQ(throughputSuggestion(0, "Medium")->title, "Boost Your Output");
    EXPECT_EQ(throughputSuggestion(24, "Medium")->title, "Boost Your Output");
    EXPECT_EQ(throughputSuggestion(25, "Medium")->title, "Room to Grow");
    EXPECT_EQ(throughputSuggestion(49, "Medium")->title, "Room to Grow");
    EXPECT_FALSE(throughputSuggestion(50, "Medium"));
    EXPECT_FALSE(throughputSuggestion(-1, "Medium"));
    EXPECT_EQ(ImprovementSuggestionGenerator::consistencySuggestion(40)->title, "Increase Active Days");
    EXPECT_EQ(ImprovementSuggestionGenerator::retentionSuggestion(40)->title, "Maintain Architecture Health");
}

TEST(ImprovementSuggestionGenerator, InsertsTheSizeBucketLabelUnchanged) {
    const auto advice = ImprovementSuggestionGenerator::throughputSuggestion(5, "Large*");
    EXPECT_NE(advice->description.find("below average for Large* projects."), std::string::npos);
    const auto strengths =
        ImprovementSuggestionGenerator::generateStrengths(percentiles(80, std::nullopt, std::nullopt));
    ASSERT_EQ(strengths.size(), 1u);
    EXPECT_NE(strengths[0].description.find("top quartile for Medium projects."), std::string::npos);
}

TEST(ImprovementSuggestionGenerator, PraisesPercentilesFromSeventyFive) {
    EXPECT_TRUE(ImprovementSuggestionGenerator::generateStrengths(percentiles(74, 60, 50)).empty());
    const auto strengths = ImprovementSuggestionGenerator::generateStrengths(percentiles(75, 100, 90));
    EXPECT_EQ(titles(strengths),
              (std::vector<std::string>{"Strong Output", "Excellent Consistency", "Scalable Architecture"}));
    for (const auto& item : strengths) {
        EXPECT_EQ(item.priority, Priority::low);
    }
    EXPECT_EQ(strengths[1].currentPercentile, 100);

    const auto mixed = percentiles(10, 80, 60);
    EXPECT_EQ(titles(ImprovementSuggestionGenerator::generate(mixed)), std::vector<std::string>{"Boost Your Output"});
    EXPECT_EQ(titles(ImprovementSuggestionGenerator::generateStrengths(mixed)),
              std::vector<std::string>{"Excellent Consistency"});
}

} // namespace
} // namespace norvane
