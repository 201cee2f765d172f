#include "norvane-cli/FullDataExport.h"

#include "core/collection/CocomoService.h"
#include "core/facade/NorvaneKit.h"
#include "core/models/AppSettings.h"
#include "core/models/DailyActivity.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/SnapshotLanguage.h"

#include "platform/Iso8601.h"
#include "platform/RawValueEnum.h"

#include <map>
#include <string>

namespace norvane::cli {
namespace {

using nlohmann::json;

json moment(platform::Date date) { return platform::Iso8601::format(date); }

json moment(const std::optional<platform::Date>& date) { return date ? moment(*date) : json(nullptr); }

/// Daily rows are dated at the start of their local day; the day itself says that plainly.
json day(platform::Date date) { return platform::Iso8601::formatLocalDay(date); }

template <typename T>
json optional(const std::optional<T>& value) {
    return value ? json(*value) : json(nullptr);
}

template <typename E>
json raw(E value) {
    return std::string(platform::rawValue(value));
}

json languageJson(const SnapshotLanguage& row) {
    return {{"id", row.id.toString()},
            {"language", row.language},
            {"files", row.files},
            {"lines", row.lines},
            {"code", row.code},
            {"comments", row.comments},
            {"blanks", row.blanks},
            {"complexity", row.complexity},
            {"category", row.category ? raw(*row.category) : json(nullptr)}};
}

json snapshotJson(const Snapshot& snapshot) {
    return {{"id", snapshot.id.toString()},
            {"capturedAt", moment(snapshot.capturedAt)},
            {"snapshotType", snapshot.snapshotTypeRaw},
            {"totalFiles", snapshot.totalFiles},
            {"totalLines", snapshot.totalLines},
            {"codeLines", snapshot.codeLines},
            {"commentLines", snapshot.commentLines},
            {"blankLines", snapshot.blankLines},
            {"totalComplexity", snapshot.totalComplexity},
            {"latestCommitHash", optional(snapshot.latestCommitHash)},
            {"latestCommitMessage", optional(snapshot.latestCommitMessage)},
            {"latestCommitAuthor", optional(snapshot.latestCommitAuthor)},
            {"latestCommitDate", moment(snapshot.latestCommitDate)},
            {"analyzedCommitHash", optional(snapshot.analyzedCommitHash)},
            {"cumulativeInsertions", snapshot.cumulativeInsertions},
            {"cumulativeDeletions", snapshot.cumulativeDeletions},
            {"cumulativeLinesChanged", snapshot.cumulativeLinesChanged},
            {"cumulativeEffortMonths", snapshot.cumulativeEffortMonths},
            {"cumulativeEstimatedCost", snapshot.cumulativeEstimatedCost}};
}

json dailyActivityJson(const DailyActivity& row) {
    return {{"id", row.id.toString()},
            {"date", day(row.date)},
            {"totalInsertions", row.totalInsertions},
            {"totalDeletions", row.totalDeletions},
            {"linesTouched", row.linesTouched},
            {"commitCount", row.commitCount},
            {"filesChanged", row.filesChanged},
            {"codeLinesInserted", row.codeLinesInserted},
            {"codeLinesDeleted", row.codeLinesDeleted},
            {"docsLinesInserted", row.docsLinesInserted},
            {"docsLinesDeleted", row.docsLinesDeleted},
            {"testLinesInserted", row.testLinesInserted},
            {"testLinesDeleted", row.testLinesDeleted},
            {"configLinesInserted", row.configLinesInserted},
            {"configLinesDeleted", row.configLinesDeleted},
            {"estimatedEffortMonths", row.estimatedEffortMonths},
            {"estimatedCost", row.estimatedCost}};
}

json projectJson(const Project& project) {
    return {{"id", project.id.toString()},
            {"name", project.name},
            {"path", project.path},
            {"projectDescription", optional(project.projectDescription)},
            {"status", raw(project.status)},
            {"projectType", raw(project.projectType)},
            {"firstCommitAt", moment(project.firstCommitAt)},
            {"latestCommitAt", moment(project.latestCommitAt)},
            {"createdAt", moment(project.createdAt)},
            {"updatedAt", moment(project.updatedAt)},
            {"baselineVelocity", optional(project.baselineVelocity)},
            {"baselineCalculatedAt", moment(project.baselineCalculatedAt)}};
}

json modelDailyActivityJson(const ModelDailyActivity& row) {
    // The row outlives its project, so it names the project rather than sitting inside it.
    return {{"id", row.id.toString()},
            {"date", day(row.date)},
            {"model", row.modelRaw},
            {"projectId", row.project ? json(row.project->id.toString()) : json(nullptr)},
            {"insertions", row.insertions},
            {"deletions", row.deletions},
            {"commitCount", row.commitCount},
            {"filesChanged", row.filesChanged},
            {"estimatedEffortMonths", row.estimatedEffortMonths},
            {"estimatedCost", row.estimatedCost}};
}

json portfolioJson(const DailyPortfolioSnapshot& row) {
    return {{"id", row.id.toString()},
            {"date", day(row.date)},
            {"activeProjectCount", row.activeProjectCount},
            {"activeProjectNames", row.activeProjects()},
            {"totalInsertions", row.totalInsertions},
            {"totalDeletions", row.totalDeletions},
            {"totalLinesChanged", row.totalLinesChanged},
            {"dailyEffortMonths", row.dailyEffortMonths},
            {"cumulativeEffortMonths", row.cumulativeEffortMonths},
            {"headcount", row.headcount},
            {"totalCommits", row.totalCommits}};
}

json settingsJson(const std::shared_ptr<AppSettings>& settings) {
    if (!settings) {
        return nullptr;
    }
    return {{"id", settings->id.toString()},
            {"averageWage", settings->averageWage},
            {"overhead", settings->overhead},
            {"headcount", settings->headcount},
            {"defaultProjectType", raw(settings->defaultProjectType)},
            {"peakThroughput", optional(settings->peakThroughput)},
            {"peakThroughputStartDate", moment(settings->peakThroughputStartDate)},
            {"peakThroughputEndDate", moment(settings->peakThroughputEndDate)},
            {"peakCalculatedAt", moment(settings->peakCalculatedAt)}};
}

/// The rows grouped under their parents, in the order they come.
template <typename Parent>
using Groups = std::map<const Parent*, json>;

template <typename Parent>
json takeGroup(Groups<Parent>& groups, const Parent* parent) {
    const auto found = groups.find(parent);
    return found != groups.end() ? std::move(found->second) : json::array();
}

json projectsJson(platform::ModelContext& context) {
    Groups<Snapshot> languages;
    for (const auto& row :
         context.fetch<SnapshotLanguage>({.sortBy = {platform::ascending(SnapshotLanguageField::language)}})) {
        languages[row->snapshot.get()].push_back(languageJson(*row));
    }
    Groups<Project> snapshots;
    for (const auto& snapshot : context.fetch<Snapshot>({.sortBy = {platform::ascending(SnapshotField::capturedAt)}})) {
        auto entry = snapshotJson(*snapshot);
        entry["languages"] = takeGroup(languages, snapshot.get());
        snapshots[snapshot->project.get()].push_back(std::move(entry));
    }
    Groups<Project> activities;
    for (const auto& row : context.fetch<DailyActivity>({.sortBy = {platform::ascending(DailyActivityField::date)}})) {
        activities[row->project.get()].push_back(dailyActivityJson(*row));
    }
    json list = json::array();
    for (const auto& project : context.fetch<Project>({.sortBy = {platform::localizedAscending(ProjectField::name)}})) {
        auto entry = projectJson(*project);
        entry["snapshots"] = takeGroup(snapshots, project.get());
        entry["dailyActivities"] = takeGroup(activities, project.get());
        list.push_back(std::move(entry));
    }
    return list;
}

} // namespace

nlohmann::json FullDataExport::document(platform::ModelContext& context, platform::Date exportedAt) {
    json modelRows = json::array();
    for (const auto& row :
         context.fetch<ModelDailyActivity>({.sortBy = {platform::ascending(ModelDailyActivityField::date)}})) {
        modelRows.push_back(modelDailyActivityJson(*row));
    }
    json portfolioRows = json::array();
    for (const auto& row :
         context.fetch<DailyPortfolioSnapshot>({.sortBy = {platform::ascending(DailyPortfolioSnapshotField::date)}})) {
        portfolioRows.push_back(portfolioJson(*row));
    }
    return {{"version", std::string(NorvaneKit::version)},
            {"exportedAt", moment(exportedAt)},
            {"projects", projectsJson(context)},
            {"modelDailyActivities", modelRows},
            {"dailyPortfolioSnapshots", portfolioRows},
            {"settings", settingsJson(CocomoService::storedSettings(context))}};
}

} // namespace norvane::cli
