#include "core/community/AnonymousActivityReport.h"

#include "core/models/DailyActivity.h"
#include "core/models/NewestSnapshot.h"
#include "tests/core/models/InMemoryStore.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <array>

namespace norvane {
namespace {

using std::chrono::hours;
using testing::localDate;
using testing::utc;

constexpr const char* goldenReport =
    R"({"device_id":"3F2504E0-4F89-11D3-9A0C-0305E82C3301","reported_at":"2025-03-14T08:30:00Z",)"
    R"("norvane_version":"0.1.0","activity_date":"2025-03-13T23:00:00Z","period_days":1,)"
    R"("code_lines_changed":14,"docs_lines_changed":5,"test_lines_changed":3,"config_lines_changed":2,)"
    R"("commit_count":4,"files_changed":6,"size_bucket":"Small","project_code_lines":4200,)"
    R"("project_complexity":310,"project_age_months":1.5,"maturity_multiplier":1.25,)"
    R"("primary_language":"Swift","project_type":"semiDetached","velocity_retention":72.5,)"
    R"("velocity_history_days":90})";

class AnonymousActivityReportTest : public ::testing::Test, protected testing::InMemoryStore {
protected:
    testing::ScopedTimeZone timeZone{"Europe/Berlin"};
    std::shared_ptr<Project> project = addProject("secret-name", ProjectType::embedded);
    platform::Date now = localDate(2025, 3, 14, 9);

    AnonymousActivityReport fullReport() const {
        return {.deviceId = "3F2504E0-4F89-11D3-9A0C-0305E82C3301",
                .reportedAt = utc("2025-03-14T08:30:00Z"),
                .activityDate = localDate(2025, 3, 14),
                .codeLinesChanged = 14,
                .docsLinesChanged = 5,
                .testLinesChanged = 3,
                .configLinesChanged = 2,
                .commitCount = 4,
                .filesChanged = 6,
                .sizeBucket = "Small",
                .projectCodeLines = 4200,
                .projectComplexity = 310,
                .projectAgeMonths = 1.5,
                .maturityMultiplier = 1.25,
                .primaryLanguage = "Swift",
                .projectType = "semiDetached",
                .velocityRetention = 72.5,
                .velocityHistoryDays = 90};
    }

    std::shared_ptr<DailyActivity> today() {
        auto activity = DailyActivity::create(project, now);
        activity->codeLinesInserted = 10;
        activity->codeLinesDeleted = 4;
        activity->docsLinesInserted = 3;
        activity->testLinesDeleted = 2;
        activity->configLinesInserted = 1;
        activity->commitCount = 3;
        activity->filesChanged = 7;
        context->insert(activity);
        return activity;
    }

    /// What the collection that stored it hands over of the project's newest code count.
    std::optional<SnapshotInfo> newestCodeCount() const {
        const auto newest = newestCodeSnapshot(*project);
        return newest ? std::optional(newest->info()) : std::nullopt;
    }
};

TEST_F(AnonymousActivityReportTest, EncodesEveryFieldInTableOrderWithUtcDates) {
    EXPECT_EQ(fullReport().toJSONString(), goldenReport);
    EXPECT_EQ(fullReport().totalLinesChanged(), 24);
}

TEST_F(AnonymousActivityReportTest, DecodesWhatItEncodesIgnoringUnknownKeys) {
    auto document = nlohmann::json::parse(goldenReport);
    document["unknown_key"] = true;
    EXPECT_EQ(AnonymousActivityReport::fromJSON(document).toJSONString(), goldenReport);
    document.erase("velocity_history_days");
    EXPECT_FALSE(AnonymousActivityReport::fromJSON(document).velocityHistoryDays);
}

TEST_F(AnonymousActivityReportTest, BuildsTheDayFromTheRowAndTheNewestCodeCount) {
    project->firstCommitAt = now - hours(45 * 24);
    addSnapshot(project, now - hours(48), SnapshotType::scc, {{"Go", 90000}});
    addSnapshot(project, now - hours(2), SnapshotType::scc,
                {{"Swift", 4000, OutputCategory::code, 400},
                 {"Markdown", 5000, OutputCategory::docs},
                 {"YAML", 100, OutputCategory::config}});
    addSnapshot(project, now - hours(1), SnapshotType::gitHistory, {{"C", 1}});

    const VelocityRetention retention{.baselineVelocity = 40,
                                      .currentVelocity = 29,
                                      .retentionPercent = 72.5,
                                      .assessment = RetentionAssessment::excellent};
    const auto report =
        AnonymousActivityReport::create(*today(), *project, newestCodeCount(), "device", retention, now);

    EXPECT_EQ(report.activityDate, localDate(2025, 3, 14));
    // Each category's insertions plus deletions, then the row's own counts.
    EXPECT_EQ((std::array{report.codeLinesChanged, report.docsLinesChanged, report.testLinesChanged,
                          report.configLinesChanged, report.commitCount, report.filesChanged}),
              (std::array<std::int64_t, 6>{14, 3, 2, 1, 3, 7}));
    EXPECT_EQ(std::tuple(report.primaryLanguage, report.projectCodeLines, report.projectComplexity, report.projectType,
                         report.velocityRetention, report.velocityHistoryDays),
              std::tuple("Markdown", 4000, 400, "embedded", 72.5, 90));
    EXPECT_EQ(report.sizeBucket, platform::rawValue(project->sizeBucket()));
    EXPECT_DOUBLE_EQ(report.maturityMultiplier, project->maturityMultiplier(now).value);
    EXPECT_DOUBLE_EQ(report.projectAgeMonths, 1.5);
}

TEST_F(AnonymousActivityReportTest, WithoutRowsOfANewestCodeCountTheProjectIsAGreenfieldOfNoLines) {
    const auto activity = today();
    const auto expectGreenfield = [&] {
        const auto report =
            AnonymousActivityReport::create(*activity, *project, newestCodeCount(), "device", std::nullopt, now);
        const std::string text = report.toJSONString();
        for (const auto* absent : {"primary_language", "velocity_retention", "velocity_history_days", "null"}) {
            EXPECT_EQ(text.find(absent), std::string::npos) << absent;
        }
        EXPECT_EQ(
            std::tuple(report.projectCodeLines, report.projectComplexity, report.sizeBucket, report.projectAgeMonths),
            std::tuple(0, 0, "Greenfield", 0.0));
    };
    addSnapshot(project, now - hours(1), SnapshotType::gitHistory, {{"C", 500}});
    expectGreenfield();
    // A newest code count without rows hides the older ones.
    addSnapshot(project, now - hours(48), SnapshotType::scc, {{"Go", 900}});
    addSnapshot(project, now - hours(2));
    expectGreenfield();
}

} // namespace
} // namespace norvane
