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
    auto withBucket = benchmarks(412);
    withBucket.bySizeBucket["Medium"] = {.sampleSize = 120, .throughput = Percentiles{100, 200, 300, 400, 500}};

    const auto medium = PercentileCalculator::calculate(300, 60, 3, ProjectSizeBucket::medium, withBucket);
    EXPECT_EQ(medium.sizeBucket, "Medium");
    EXPECT_EQ(medium.sizeBucketContributors, 120);
    EXPECT_EQ(medium.throughputPercentile, 50);        // from the bucket
    EXPECT_EQ(medium.velocityRetentionPercentile, 50); // the bucket has none: overall
    EXPECT_EQ(medium.consistencyPercentile, 50);       // always overall

    const auto large =
        PercentileCalculator::calculate(30, std::nullopt, std::nullopt, ProjectSizeBucket::large, withBucket);
    EXPECT_EQ(large.sizeBucket, "Large*");
    EXPECT_EQ(large.sizeBucketContributors, 412);
    EXPECT_EQ(large.throughputPercentile, 50);
    EXPECT_FALSE(large.velocityRetentionPercentile);
    EXPECT_FALSE(large.consistencyPercentile);

    const auto noThroughput =
        PercentileCalculator::calculate(std::nullopt, 100, 5, ProjectSizeBucket::small, benchmarks(5));
    EXPECT_EQ(noThroughput.sizeBucket, "Small*");
    EXPECT_FALSE(noThroughput.throughputPercentile);
    EXPECT_EQ(noThroughput.velocityRetentionPercentile, 90);
    EXPECT_FALSE(noThroughput.norvaneIndex);
    EXPECT_FALSE(noThroughput.formattedIndex());
}

TEST(PercentileCalculator, MissingDistributionsLeaveTheirPercentilesOut) {
    CommunityBenchmarks empty;
    empty.contributorCount = 10;
    const auto result = PercentileCalculator::calculate(30, 60, 3, ProjectSizeBucket::greenfield, empty);
    EXPECT_FALSE(result.throughputPercentile);
    EXPECT_FALSE(result.velocityRetentionPercentile);
    EXPECT_FALSE(result.consistencyPercentile);
    EXPECT_FALSE(result.norvaneIndex);
}

TEST(UserPercentiles, WritesOrdinalsAndLabels) {
    const std::vector<std::pair<int, const char*>> ordinals{{1, "1st"},     {2, "2nd"},   {3, "3rd"},   {4, "4th"},
                                                            {11, "11th"},   {13, "13th"}, {22, "22nd"}, {101, "101st"},
                                                            {112, "112th"}, {-1, "-1th"}};
    for (const auto& [value, text] : ordinals) {
        EXPECT_EQ(UserPercentiles::formatPercentile(value), text);
    }
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
    EXPECT_EQ(percentiles.formattedIndex(), "73 (73rd percentile)");
    EXPECT_EQ(percentiles.formattedThroughput(), "73rd");
    EXPECT_EQ(percentiles.formattedConsistency(), "12th");
    EXPECT_FALSE(percentiles.formattedRetention());
}

} // namespace
} // namespace norvane
