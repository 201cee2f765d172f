#include "norvane-cli/FullDataExport.h"

#include "core/facade/NorvaneKit.h"
#include "core/models/AppSettings.h"
#include "core/models/DailyActivity.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/ModelDailyActivity.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/SnapshotLanguage.h"
#include "core/models/StoredSettings.h"
#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"
#include "platform/RawValueEnum.h"
#include "platform/persistence/ModelContext.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ScopedTimeZone.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>
#include <map>
#include <sstream>
#include <string>

namespace norvane::cli {
namespace {

using nlohmann::json;

// The export as it was made before it was written as it is read: the whole document built from
// the records, then printed. Kept here only as the oracle that the streamed export must equal.

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

json recordDocument(platform::ModelContext& context, platform::Date exportedAt) {
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
    return {{"version", std::string(NorvaneKit::version)}, {"exportedAt", moment(exportedAt)},
            {"projects", projectsJson(context)},           {"modelDailyActivities", modelRows},
            {"dailyPortfolioSnapshots", portfolioRows},    {"settings", settingsJson(StoredSettings::find(context))}};
}

/// What `norvane export` wrote before: the whole document, printed with invalid UTF-8 replaced.
std::string recordExport(const std::shared_ptr<platform::ModelContainer>& store, platform::Date exportedAt) {
    platform::ModelContext context(store);
    return recordDocument(context, exportedAt).dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string streamedExport(const std::shared_ptr<platform::ModelContainer>& store, platform::Date exportedAt) {
    std::ostringstream out;
    FullDataExport::write(store, exportedAt, out);
    return out.str();
}

class FullDataExportTest : public ::testing::Test {
protected:
    testing::ScopedTimeZone timeZone{"America/New_York"};
    std::shared_ptr<platform::ModelContainer> store = NorvaneDatabase::makeInMemoryContainer();
    platform::ModelContext context{store};
    platform::Date now = testing::localDate(2025, 3, 14, 8, 30);

    std::shared_ptr<Project> addProject(const std::string& name) {
        auto project = Project::create(name, "/srv/" + name, std::nullopt, ProjectType::organic);
        context.insert(project);
        return project;
    }

    std::shared_ptr<Snapshot> addSnapshot(const std::shared_ptr<Project>& project, int daysAgo, SnapshotType type) {
        auto snapshot = Snapshot::create(project);
        snapshot->capturedAt = platform::LocalCalendar::addingDays(now, -daysAgo);
        snapshot->setSnapshotType(type);
        context.insert(snapshot);
        return snapshot;
    }

    /// Names in the localized order that differs from the plain one, texts that need escaping or
    /// are not valid UTF-8, numbers that print in every form (whole, fractional, huge, not a
    /// number), optional fields present and absent, rows without a project, two snapshots taken at
    /// one moment and language rows of every category.
    void fill() {
        auto first = addProject("project10");
        first->projectDescription = "Quotes \" and \\ back\nslashes \u00e9\u4e2d";
        first->firstCommitAt = platform::LocalCalendar::addingDays(now, -400);
        first->baselineVelocity = 123.456;
        first->status = ProjectStatus::paused;
        auto second = addProject("Project2");
        second->projectType = ProjectType::embedded;
        second->baselineVelocity = std::numeric_limits<double>::quiet_NaN();
        auto third = addProject("alpha");
        third->status = ProjectStatus::archived;
        for (int day = 30; day >= 0; day -= 3) {
            for (const auto& project : {first, second}) {
                auto point = addSnapshot(project, day, SnapshotType::gitHistory);
                point->latestCommitHash = "0123456789abcdef" + std::to_string(day);
                point->latestCommitMessage = day % 2 == 0 ? "Fix \xff\xfe the \"parser\"\n\nBody" : "Plain";
                point->latestCommitDate = point->capturedAt;
                point->cumulativeInsertions = 100 * (31 - day);
                point->cumulativeEffortMonths = 0.1 * (31 - day);
                point->cumulativeEstimatedCost = 1e7 / (day + 1);
            }
        }
        auto count = addSnapshot(first, 0, SnapshotType::scc);
        count->codeLines = 1234;
        auto twin = addSnapshot(first, 0, SnapshotType::scc);
        twin->capturedAt = count->capturedAt;
        for (const auto& [name, category] :
             std::vector<std::pair<std::string, std::optional<OutputCategory>>>{{"Zig", OutputCategory::code},
                                                                                {"Markdown", OutputCategory::docs},
                                                                                {"C++", std::nullopt},
                                                                                {"YAML", OutputCategory::config},
                                                                                {"Go", OutputCategory::tests}}) {
            auto row = SnapshotLanguage::create(name, count);
            row->category = category;
            row->code = static_cast<std::int64_t>(name.size()) * 1000;
            context.insert(row);
        }
        for (int day = 10; day >= 0; --day) {
            auto row =
                DailyActivity::create(day % 2 == 0 ? first : second, platform::LocalCalendar::addingDays(now, -day));
            row->codeLinesInserted = 10 * day;
            row->estimatedEffortMonths = 1.0 / 3.0;
            row->commitCount = day % 3;
            context.insert(row);
            auto model = ModelDailyActivity::create(day % 2 == 0 ? first : third, row->date, AIModel::claude);
            model->estimatedCost = 99.5;
            context.insert(model);
        }
        auto portfolio = DailyPortfolioSnapshot::create(now);
        portfolio->setActiveProjects({"project10", "Project2"});
        portfolio->cumulativeEffortMonths = 1e21;
        context.insert(portfolio);
        context.insert(DailyPortfolioSnapshot::create(platform::LocalCalendar::addingDays(now, -1)));
        auto settings = AppSettings::defaults();
        settings->peakThroughput = 2.5;
        context.insert(settings);
        context.save();
        // A model row outlives its project.
        context.remove(third);
        context.save();
    }
};

TEST_F(FullDataExportTest, TheStreamedExportEqualsTheWholeDocumentByteForByte) {
    EXPECT_EQ(streamedExport(store, now), recordExport(store, now)) << "an empty store";
    fill();
    const auto streamed = streamedExport(store, now);
    EXPECT_EQ(streamed, recordExport(store, now));
    EXPECT_NE(streamed.find("\"Project2\""), std::string::npos);
}

} // namespace
} // namespace norvane::cli
