#include "core/community/AnonymousActivityReport.h"

#include "core/community/JsonCoding.h"
#include "core/models/DaysPerMonth.h"
#include "core/models/MaturityMultiplier.h"
#include "core/models/ProjectSizeBucket.h"
#include "platform/LocalCalendar.h"
#include "platform/RawValueEnum.h"

namespace norvane {

AnonymousActivityReport AnonymousActivityReport::create(const DailyActivityInfo& activity, const ProjectInfo& project,
                                                        const std::optional<SnapshotInfo>& newestCodeCount,
                                                        std::string deviceId,
                                                        const std::optional<VelocityRetention>& velocityRetention,
                                                        platform::Date now) {
    const std::int64_t codeLines = newestCodeCount ? newestCodeCount->codeCategoryCode : 0;
    const std::int64_t complexity = newestCodeCount ? newestCodeCount->codeCategoryComplexity : 0;
    AnonymousActivityReport report;
    report.deviceId = std::move(deviceId);
    report.reportedAt = now;
    report.activityDate = activity.date;
    report.codeLinesChanged = activity.codeLinesChanged();
    report.docsLinesChanged = activity.docsLinesChanged();
    report.testLinesChanged = activity.testLinesChanged();
    report.configLinesChanged = activity.configLinesChanged();
    report.commitCount = activity.commitCount;
    report.filesChanged = activity.filesChanged;
    report.sizeBucket = platform::rawValue(sizeBucketForLines(codeLines));
    report.projectCodeLines = codeLines;
    report.projectComplexity = complexity;
    report.projectAgeMonths =
        project.firstCommitAt ? platform::LocalCalendar::wholeDaysBetween(*project.firstCommitAt, now) / daysPerMonth
                              : 0.0;
    report.maturityMultiplier = MaturityMultiplier::calculate(codeLines, complexity, project.firstCommitAt, now).value;
    report.primaryLanguage = newestCodeCount ? newestCodeCount->languageWithMostCode : std::nullopt;
    report.projectType = platform::rawValue(project.projectType);
    if (velocityRetention) {
        report.velocityRetention = velocityRetention->retentionPercent;
        report.velocityHistoryDays = 90;
    }
    return report;
}

std::int64_t AnonymousActivityReport::totalLinesChanged() const {
    return codeLinesChanged + docsLinesChanged + testLinesChanged + configLinesChanged;
}

nlohmann::ordered_json AnonymousActivityReport::toJSON() const {
    nlohmann::ordered_json object;
    object["device_id"] = deviceId;
    object["reported_at"] = JsonCoding::encodeDate(reportedAt);
    object["norvane_version"] = norvaneVersion;
    object["activity_date"] = JsonCoding::encodeDate(activityDate);
    object["period_days"] = periodDays;
    object["code_lines_changed"] = codeLinesChanged;
    object["docs_lines_changed"] = docsLinesChanged;
    object["test_lines_changed"] = testLinesChanged;
    object["config_lines_changed"] = configLinesChanged;
    object["commit_count"] = commitCount;
    object["files_changed"] = filesChanged;
    object["size_bucket"] = sizeBucket;
    object["project_code_lines"] = projectCodeLines;
    object["project_complexity"] = projectComplexity;
    object["project_age_months"] = JsonCoding::finite(projectAgeMonths, "project_age_months");
    object["maturity_multiplier"] = JsonCoding::finite(maturityMultiplier, "maturity_multiplier");
    JsonCoding::putOptional(object, "primary_language", primaryLanguage);
    object["project_type"] = projectType;
    JsonCoding::putOptional(object, "velocity_retention", velocityRetention);
    JsonCoding::putOptional(object, "velocity_history_days", velocityHistoryDays);
    return object;
}

std::string AnonymousActivityReport::toJSONString() const { return JsonCoding::dump(toJSON()); }

AnonymousActivityReport AnonymousActivityReport::fromJSON(const nlohmann::json& object) {
    using namespace JsonCoding;
    AnonymousActivityReport report;
    report.deviceId = text(object, "deviceId");
    report.reportedAt = asWholeSecondDate(require(object, "reportedAt"), "reportedAt");
    report.norvaneVersion = text(object, "norvaneVersion");
    report.activityDate = asWholeSecondDate(require(object, "activityDate"), "activityDate");
    report.periodDays = integer(object, "periodDays");
    report.codeLinesChanged = integer(object, "codeLinesChanged");
    report.docsLinesChanged = integer(object, "docsLinesChanged");
    report.testLinesChanged = integer(object, "testLinesChanged");
    report.configLinesChanged = integer(object, "configLinesChanged");
    report.commitCount = integer(object, "commitCount");
    report.filesChanged = integer(object, "filesChanged");
    report.sizeBucket = text(object, "sizeBucket");
    report.projectCodeLines = integer(object, "projectCodeLines");
    report.projectComplexity = integer(object, "projectComplexity");
    report.projectAgeMonths = number(object, "projectAgeMonths");
    report.maturityMultiplier = number(object, "maturityMultiplier");
    report.primaryLanguage = optionalText(object, "primaryLanguage");
    report.projectType = text(object, "projectType");
    report.velocityRetention = optionalNumber(object, "velocityRetention");
    report.velocityHistoryDays = optionalInteger(object, "velocityHistoryDays");
    return report;
}

} // namespace norvane
