#include "core/community/PercentileCalculator.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using Percentiles = CommunityBenchmarks::Percentiles;

CommunityBenchmarks benchmarks(std::int64_t contributors) {
    CommunityBenchmarks result;
    result.contributorCount = contributors;
    result.global = {.throughput = Percentiles{10, 20, 30, 40, 50},
                     .consistency = Percentiles{1, 2, 3, 4, 5},
                     .velocityRetention = Percentiles{20, 40, 60, 80, 100}};
    return result;
}

TEST(PercentileCalculator, GradesTheDataByContributors) {
    EXPECT_EQ(classifyBenchmarkDataQuality(99), BenchmarkDataQuality::insufficient);
    EXPECT_EQ(classifyBenchmarkDataQuality(100), BenchmarkDataQuality::early);
    EXPECT_EQ(classifyBenchmarkDataQuality(499), BenchmarkDataQuality::early);
    EXPECT_EQ(classifyBenchmarkDataQuality(500), BenchmarkDataQuality::full);
    EXPECT_EQ(PercentileCalculator::calculate(25, 60, 3, ProjectSizeBucket::small, benchmarks(100)).dataQuality(),
              BenchmarkDataQuality::early);
}

TEST(PercentileCalculator, WeighsTheIndexOverThePercentilesPresent) {
    using PercentileCalculator::calculateNorvaneIndex;
    EXPECT_EQ(calculateNorvaneIndex(80, std::nullopt, std::nullopt), 80);
    EXPECT_EQ(calculateNorvaneIndex(80, 40, std::nullopt), 65);
    EXPECT_EQ(calculateNorvaneIndex(80, 40, 60), 63);
    EXPECT_FALSE(calculateNorvaneIndex(std::nullopt, 90, 90));
    // (0.4 * 50 + 0.35 * 75) / 0.75 = 61.666...; 0.4 * 75 + 0.25 * 60 + 0.35 * 50 = 62.5 exactly.
    EXPECT_EQ(calculateNorvaneIndex(50, std::nullopt, 75), 62);
    EXPECT_EQ(calculateNorvaneIndex(75, 60, 50), 63);
    EXPECT_EQ(calculateNorvaneIndex(150, std::nullopt, std::nullopt), 100);
    EXPECT_EQ(calculateNorvaneIndex(-20, std::nullopt, std::nullopt), 0);
}

TEST(PercentileCalculator, UsesTheBucketFirstAndTheOverallFiguresPerMetric) {
    using std::nullopt;
    using Row = std::tuple<std::string, std::int64_t, std::optional<int>, std::optional<int>, std::optional<int>,
                           std::optional<int>>;
    const auto row = [](const UserPercentiles& p) {
        return Row{p.sizeBucket,
                   p.sizeBucketContributors,
                   p.throughputPercentile,
                   p.velocityRetentionPercentile,
                   p.consistencyPercentile,
                   p.norvaneIndex};
    };
    auto withBucket = benchmarks(412);
    withBucket.bySizeBucket["Medium"] = {.sampleSize = 120, .throughput = Percentiles{100, 200, 300, 400, 500}};
    CommunityBenchmarks empty;
    empty.contributorCount = 10;
    // Throughput from the bucket; retention overall, as the bucket has none; consistency always overall.
    EXPECT_EQ(row(PercentileCalculator::calculate(300, 60, 3, ProjectSizeBucket::medium, withBucket)),
              (Row{"Medium", 120, 50, 50, 50, 50}));
    EXPECT_EQ(row(PercentileCalculator::calculate(30, nullopt, nullopt, ProjectSizeBucket::large, withBucket)),
              (Row{"Large*", 412, 50, nullopt, nullopt, 50}));
    const auto noThroughput = PercentileCalculator::calculate(nullopt, 100, 5, ProjectSizeBucket::small, benchmarks(5));
    EXPECT_EQ(row(noThroughput), (Row{"Small*", 5, nullopt, 90, 90, nullopt}));
    EXPECT_FALSE(noThroughput.formattedIndex());
    EXPECT_EQ(row(PercentileCalculator::calculate(30, 60, 3, ProjectSizeBucket::greenfield, empty)),
              (Row{"Greenfield*", 10, nullopt, nullopt, nullopt, nullopt}));
}

TEST(UserPercentiles, WritesOrdinalsAndLabels) {
    const std::vector<std::pair<int, const char*>> ordinals{{1, "1st"},     {2, "2nd"},   {3, "3rd"},   {4, "4th"},
                                                            {11, "11th"},   {13, "13th"}, {22, "22nd"}, {101, "101st"},
                                                            {112, "112th"}, {-1, "-1th"}};
    for (const auto& [value, text] : ordinals) EXPECT_EQ(UserPercentiles::formatPercentile(value), text);
    const std::vector<std::tuple<int, const char*, bool>> labels{
        {90, "Exceptional", true},        {100, "Exceptional", true},   {89, "Above Average", true},
        {75, "Above Average", true},      {74, "Average", true},        {50, "Average", true},
        {49, "Below Average", false},     {25, "Below Average", false}, {24, "Needs Improvement", false},
        {101, "Needs Improvement", false}};
    for (const auto& [percentile, label, atOrAbove] : labels) {
        const auto assessment = UserPercentiles::assessment(percentile);
        EXPECT_EQ(assessment.label, label) << percentile;
        EXPECT_EQ(assessment.atOrAboveMedian, atOrAbove) << percentile;
    }
}

TEST(UserPercentiles, FormatsItsPercentilesAndIndex) {
    UserPercentiles percentiles{.throughputPercentile = 73, .consistencyPercentile = 12, .norvaneIndex = 73};
    EXPECT_EQ(std::tuple(percentiles.formattedIndex(), percentiles.formattedThroughput(),
                         percentiles.formattedConsistency(), percentiles.formattedRetention()),
              std::tuple("73 (73rd percentile)", "73rd", "12th", std::nullopt));
}

} // namespace
} // namespace norvane
