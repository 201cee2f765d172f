#include "core/community/PercentileCalculator.h"
#include "core/community/JsonCoding.h"
#include "tests/support/LocalDate.h"

#include <gtest/gtest.h>

namespace norvane {
namespace {

using Percentiles = CommunityBenchmarks::Percentiles;
using testing::utc;

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

TEST(UserPercentiles, EncodesItsFieldsAndLeavesOutAbsentPercentiles) {
    const UserPercentiles full{utc("2025-03-14T08:30:00Z"), "Medium*", 73, 40, 12, 55, true, 412, 412};
    const auto fullJson = full.toJSON();
    EXPECT_EQ(fullJson, nlohmann::json::parse(R"({"calculated_at": "2025-03-14T08:30:00Z", "size_bucket": "Medium*",
        "throughput_percentile": 73, "velocity_retention_percentile": 40, "consistency_percentile": 12,
        "norvane_index": 55, "has_sufficient_data": true, "contributor_count": 412,
        "size_bucket_contributors": 412})"));
    const auto read = UserPercentiles::fromJSON(fullJson);
    EXPECT_EQ(std::tuple(read.calculatedAt, read.sizeBucket, read.throughputPercentile,
                         read.velocityRetentionPercentile, read.consistencyPercentile, read.norvaneIndex,
                         read.hasSufficientData, read.contributorCount, read.sizeBucketContributors),
              std::tuple(full.calculatedAt, "Medium*", 73, 40, 12, 55, true, 412, 412));

    const UserPercentiles bare{utc("2025-03-14T08:30:00Z"), "Small", {}, {}, {}, {}, false, 7, 3};
    EXPECT_EQ(bare.toJSON(), nlohmann::json::parse(R"({"calculated_at": "2025-03-14T08:30:00Z", "size_bucket": "Small",
        "has_sufficient_data": false, "contributor_count": 7, "size_bucket_contributors": 3})"));
    // The field names themselves read too, and a null optional is an absent one.
    const auto camel = UserPercentiles::fromJSON(nlohmann::json::parse(
        R"({"calculatedAt": "2025-03-14T08:30:00.5Z", "sizeBucket": "Small", "norvaneIndex": null,
            "consistencyPercentile": 90, "hasSufficientData": false, "contributorCount": 7, "sizeBucketContributors": 3})"));
    EXPECT_EQ(std::tuple(camel.norvaneIndex, camel.throughputPercentile, camel.consistencyPercentile),
              std::tuple(std::nullopt, std::nullopt, 90));
}

TEST(UserPercentiles, DecodingNeedsTheRequiredFields) {
    const auto complete =
        UserPercentiles{utc("2025-03-14T08:30:00Z"), "Small", 50, {}, {}, 50, true, 100, 100}.toJSON();
    for (const auto* key :
         {"calculated_at", "size_bucket", "has_sufficient_data", "contributor_count", "size_bucket_contributors"}) {
        auto missing = complete;
        missing.erase(key);
        EXPECT_THROW(UserPercentiles::fromJSON(missing), JsonDecodingError) << key;
    }
    auto tooLarge = complete;
    tooLarge["throughput_percentile"] = 4'294'967'346;
    EXPECT_THROW(UserPercentiles::fromJSON(tooLarge), JsonDecodingError);
    auto notANumber = complete;
    notANumber["norvane_index"] = "50";
    EXPECT_THROW(UserPercentiles::fromJSON(notANumber), JsonDecodingError);
}

} // namespace
} // namespace norvane
