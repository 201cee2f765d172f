#include "core/community/IndexExport.h"

#include "platform/LocalCalendar.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cmath>

namespace norvane {
namespace {

using std::chrono::hours;
using testing::utc;

constexpr const char* goldenJSON = R"({
  "achievements": [
    {
      "category": "Streaks",
      "id": "streak-30",
      "isEarned": false,
      "progress": 0.456,
      "tier": "Silver",
      "title": "Monthly Momentum"
    }
  ],
  "dateRange": {
    "days": 30,
    "end": "2025-03-14T08:30:09Z",
    "start": "2025-02-12T08:30:09Z"
  },
  "exportedAt": "2025-03-14T08:30:09Z",
  "includesProjectNames": false,
  "norvaneIndex": {
    "contributorCount": 412,
    "score": 63,
    "sizeBucket": "Medium",
    "throughputPercentile": 80,
    "velocityRetentionPercentile": 40
  },
  "norvaneVersion": "0.1.0",
  "outputComposition": {
    "codeLines": 700,
    "codePercent": 70.0,
    "configLines": 50,
    "configPercent": 5.0,
    "docsLines": 100,
    "docsPercent": 10.0,
    "phase": "Active Development",
    "testLines": 150,
    "testPercent": 15.0,
    "totalLines": 1000
  },
  "projects": [
    {
      "maturityMultiplier": 1.2,
      "name": "Project 1",
      "sizeBucket": "Medium",
      "totalCodeLines": 42000,
      "velocityRetention": 87.25
    }
  ],
  "streak": {
    "currentMilestone": "1 Week",
    "currentStreak": 12,
    "isActive": true,
    "longestStreak": 30
  },
  "velocityRetention": {
    "baselineVelocity": 40.5,
    "currentVelocity": 35.333,
    "retentionPercent": 87.25,
    "trend": "stable"
  }
})";

constexpr const char* goldenCSV = "# Norvane Index Export\n"
                                  "# Exported: 2025-03-14T08:30:09Z\n"
                                  "# Date Range: 30 days\n"
                                  "\n"
                                  "# Norvane Index\n"
                                  "Metric,Value\n"
                                  "Score,63\n"
                                  "Throughput Percentile,80\n"
                                  "Consistency Percentile,N/A\n"
                                  "Velocity Retention Percentile,40\n"
                                  "Size Bucket,Medium\n"
                                  "\n"
                                  "# Output Composition\n"
                                  "Category,Lines,Percent\n"
                                  "Code,700,70.0\n"
                                  "Docs,100,10.0\n"
                                  "Tests,150,15.0\n"
                                  "Config,50,5.0\n"
                                  "Total,1000,100.0\n"
                                  "Phase,Active Development,\n"
                                  "\n"
                                  "# Velocity Retention\n"
                                  "Metric,Value\n"
                                  "Retention,87.2%\n"
                                  "Baseline Velocity,40.50\n"
                                  "Current Velocity,35.33\n"
                                  "Trend,stable\n"
                                  "\n"
                                  "# Streak\n"
                                  "Metric,Value\n"
                                  "Current Streak,12\n"
                                  "Longest Streak,30\n"
                                  "Active,true\n"
                                  "Milestone,1 Week\n"
                                  "\n"
                                  "# Achievements\n"
                                  "Title,Category,Tier,Earned,Progress\n"
                                  "Monthly Momentum,Streaks,Silver,false,46%\n"
                                  "10K Club,Lines Written,Bronze,true,100%\n"
                                  "\"Top 10%, \"\"Elite\"\"\",Ranking,Gold,false,N/A\n"
                                  "\n"
                                  "# Projects\n"
                                  "Name,Size Bucket,Code Lines,Maturity Multiplier,Velocity Retention\n"
                                  "Project 1,Medium,42000,1.20,87.2%\n"
                                  "\"Line\nbreak\",Small,900,1.00,N/A";

class IndexExportTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::ScopedTimeZone timeZone{"Europe/Berlin"};

    static IndexExport record() {
        const auto exportedAt = utc("2025-03-14T08:30:09Z");
        return {
            .exportedAt = exportedAt,
            .norvaneVersion = "0.1.0",
            .dateRange = IndexExport::DateRange(exportedAt - hours(30 * 24), exportedAt),
            .includesProjectNames = false,
            .norvaneIndex = IndexExport::NorvaneIndexData{.score = 63,
                                                          .throughputPercentile = 80,
                                                          .velocityRetentionPercentile = 40,
                                                          .sizeBucket = "Medium",
                                                          .contributorCount = 412},
            .outputComposition = {.totalLines = 1000,
                                  .codeLines = 700,
                                  .codePercent = 70,
                                  .docsLines = 100,
                                  .docsPercent = 10,
                                  .testLines = 150,
                                  .testPercent = 15,
                                  .configLines = 50,
                                  .configPercent = 5,
                                  .phase = "Active Development"},
            .velocityRetention = IndexExport::VelocityRetentionData{87.25, 40.5, 35.333, "stable"},
            .streak = {.currentStreak = 12, .longestStreak = 30, .isActive = true, .currentMilestone = "1 Week"},
            .achievements = {{"streak-30", "Monthly Momentum", "Streaks", "Silver", false, 0.456}},
            .projects = {{"Project 1", "Medium", 42000, 1.2, 87.25}},
        };
    }

    static IndexExport csvRecord() {
        auto result = record();
        result.achievements.push_back({"lines-10k", "10K Club", "Lines Written", "Bronze", true, 1.0});
        result.achievements.push_back({"rank-top", "Top 10%, \"Elite\"", "Ranking", "Gold", false, std::nullopt});
        result.projects.push_back({"Line\nbreak", "Small", 900, 1.0, std::nullopt});
        return result;
    }

    static IndexExport bareRecord() {
        auto result = record();
        result.norvaneIndex.reset();
        result.velocityRetention.reset();
        result.streak.currentMilestone.reset();
        result.achievements.clear();
        result.projects.clear();
        return result;
    }
};

TEST_F(IndexExportTest, WritesPrettyJSONWithSortedKeys) { EXPECT_EQ(record().toJSON(true), goldenJSON); }

TEST_F(IndexExportTest, WritesTheCsvSectionsQuotingOnlyWhereAFieldNeedsIt) {
    EXPECT_EQ(csvRecord().toCSV(), goldenCSV);
}

TEST_F(IndexExportTest, LeavesAbsentPartsOutOfTheJSON) {
    auto bare = bareRecord();
    bare.projects.push_back({"A, \"quoted\" name", "Small", 1, 1.0, std::nullopt});
    const std::string text = bare.toJSON(false);
    const auto document = nlohmann::json::parse(text);
    EXPECT_FALSE(document.contains("norvaneIndex") || document["streak"].contains("currentMilestone") ||
                 document["projects"][0].contains("velocityRetention"));
    EXPECT_EQ(document["achievements"], nlohmann::json::array());
    EXPECT_EQ(text.find("null"), std::string::npos);
}

TEST_F(IndexExportTest, JSONRoundTripsToTheSameText) {
    auto original = csvRecord();
    original.exportedAt += std::chrono::microseconds(250000);
    const std::string text = original.toJSON(true);
    EXPECT_EQ(IndexExport::fromJSON(nlohmann::json::parse(text)).toJSON(true), text);
    EXPECT_NE(text.find(R"("exportedAt": "2025-03-14T08:30:09Z")"), std::string::npos);
}

TEST_F(IndexExportTest, CsvFallsBackForAbsentParts) {
    const std::string text = bareRecord().toCSV();
    EXPECT_NE(text.find("# Norvane Index\nMetric,Value\nScore,N/A\n\n# Output Composition"), std::string::npos);
    EXPECT_EQ(text.find("\nSize Bucket,"), std::string::npos);
    EXPECT_NE(text.find("# Velocity Retention\nNot enough data\n\n"), std::string::npos);
    EXPECT_NE(text.find("\nMilestone,None\n"), std::string::npos);
    EXPECT_NE(text.find("# Achievements\nTitle,Category,Tier,Earned,Progress\n\n# Projects"), std::string::npos);
    const std::string lastLine = "Name,Size Bucket,Code Lines,Maturity Multiplier,Velocity Retention";
    EXPECT_EQ(text.substr(text.size() - lastLine.size()), lastLine);
    EXPECT_EQ(text.find('\r'), std::string::npos);

    auto noPercentiles = record();
    noPercentiles.norvaneIndex = IndexExport::NorvaneIndexData{.score = 50, .sizeBucket = "Small*"};
    EXPECT_NE(noPercentiles.toCSV().find("Score,50\nThroughput Percentile,N/A\nConsistency Percentile,N/A\n"
                                         "Velocity Retention Percentile,N/A\nSize Bucket,Small*\n"),
              std::string::npos);
}

TEST_F(IndexExportTest, BothWritersRefuseNumbersThatAreNotFiniteAndTextThatIsNotUtf8) {
    using Kind = IndexExport::ExportError::Kind;
    const auto failureOf = [](const std::function<std::string()>& write) -> std::optional<Kind> {
        try {
            write();
        } catch (const IndexExport::ExportError& error) {
            return error.kind();
        }
        return std::nullopt;
    };
    auto broken = record();
    broken.projects[0].velocityRetention = std::nan("");
    EXPECT_EQ(failureOf([&] { return broken.toJSON(true); }), Kind::nonFiniteNumber);
    EXPECT_EQ(failureOf([&] { return broken.toCSV(); }), Kind::nonFiniteNumber);
    broken.projects[0] = {"\xff\xfe", "Small", 1, 1.0, std::nullopt};
    EXPECT_EQ(failureOf([&] { return broken.toJSON(true); }), Kind::encodingFailed);
}

TEST_F(IndexExportTest, DateRangeCountsWholeLocalDays) {
    const auto start = *platform::LocalCalendar::dateFromComponents({2025, 3, 14, 0, 0, 0, 1});
    const auto end = *platform::LocalCalendar::dateFromComponents({2025, 3, 15, 23, 59, 0, 1});
    EXPECT_EQ(IndexExport::DateRange(start, end).days, 1);
    EXPECT_EQ(IndexExport::DateRange(end, start).days, -1);
}

TEST_F(IndexExportTest, SummarisesAProjectFromItsNewestCodeCount) {
    const auto project = addProject("alpha");
    const auto now = utc("2025-03-14T08:30:09Z");
    const auto before = IndexExport::ProjectSummaryData::from(*project, std::nullopt, now);
    EXPECT_EQ(std::tuple(before.totalCodeLines, before.sizeBucket), std::tuple(0, "Greenfield"));

    addSnapshot(project, now, SnapshotType::scc, {{"Rust", 3000}, {"Markdown", 900, OutputCategory::docs}});
    const auto summary = IndexExport::ProjectSummaryData::from(*project, 61.5, now);
    EXPECT_EQ(std::tuple(summary.name, summary.totalCodeLines, summary.velocityRetention),
              std::tuple("alpha", 3000, 61.5));
    EXPECT_DOUBLE_EQ(summary.maturityMultiplier, project->maturityMultiplier(now).value);
}

} // namespace
} // namespace norvane
