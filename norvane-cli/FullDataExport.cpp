#include "norvane-cli/FullDataExport.h"

#include "core/facade/NorvaneKit.h"
#include "core/models/AppSettings.h"
#include "core/models/DailyPortfolioSnapshot.h"
#include "core/models/OutputCategory.h"
#include "core/models/Project.h"
#include "core/models/StoredSettings.h"
#include "norvane-cli/JsonStream.h"
#include "platform/Iso8601.h"
#include "platform/RawValueEnum.h"
#include "platform/persistence/ModelContext.h"

#include <string>

namespace norvane::cli {
namespace {

using nlohmann::json;
using platform::Date;
using platform::QueryRow;

json moment(Date date) { return platform::Iso8601::format(date); }

json moment(const std::optional<Date>& date) { return date ? moment(*date) : json(nullptr); }

/// Daily rows are dated at the start of their local day; the day itself says that plainly.
json day(Date date) { return platform::Iso8601::formatLocalDay(date); }

template <typename T>
json optional(const std::optional<T>& value) {
    return value ? json(*value) : json(nullptr);
}

template <typename E>
json raw(E value) {
    return std::string(platform::rawValue(value));
}

json uuid(const QueryRow& row, int column) { return row.get<platform::Uuid>(column).toString(); }

/// Runs `sql` with `key` bound and hands each row to `each`; the statement stays prepared for the
/// next key.
class RowsOf {
public:
    RowsOf(platform::Database& database, std::string_view sql) : statement_(database.prepare(sql)) {}

    template <typename Each>
    void forEach(std::optional<std::int64_t> key, Each each) {
        if (key) statement_.bind(1, *key);
        const QueryRow row(statement_);
        while (statement_.step()) each(row);
        statement_.reset();
    }

private:
    platform::Statement statement_;
};

json languageJson(const QueryRow& row) {
    const auto category = row.get<std::optional<OutputCategory>>(8);
    return {{"id", uuid(row, 0)},
            {"language", row.get<std::string>(1)},
            {"files", row.get<std::int64_t>(2)},
            {"lines", row.get<std::int64_t>(3)},
            {"code", row.get<std::int64_t>(4)},
            {"comments", row.get<std::int64_t>(5)},
            {"blanks", row.get<std::int64_t>(6)},
            {"complexity", row.get<std::int64_t>(7)},
            {"category", category ? raw(*category) : json(nullptr)}};
}

/// Column 0 is the row key, for the language rows.
json snapshotJson(const QueryRow& row) {
    return {{"id", uuid(row, 1)},
            {"capturedAt", moment(row.get<Date>(2))},
            {"snapshotType", row.get<std::string>(3)},
            {"totalFiles", row.get<std::int64_t>(4)},
            {"totalLines", row.get<std::int64_t>(5)},
            {"codeLines", row.get<std::int64_t>(6)},
            {"commentLines", row.get<std::int64_t>(7)},
            {"blankLines", row.get<std::int64_t>(8)},
            {"totalComplexity", row.get<std::int64_t>(9)},
            {"latestCommitHash", optional(row.get<std::optional<std::string>>(10))},
            {"latestCommitMessage", optional(row.get<std::optional<std::string>>(11))},
            {"latestCommitAuthor", optional(row.get<std::optional<std::string>>(12))},
            {"latestCommitDate", moment(row.get<std::optional<Date>>(13))},
            {"analyzedCommitHash", optional(row.get<std::optional<std::string>>(14))},
            {"cumulativeInsertions", row.get<std::int64_t>(15)},
            {"cumulativeDeletions", row.get<std::int64_t>(16)},
            {"cumulativeLinesChanged", row.get<std::int64_t>(17)},
            {"cumulativeEffortMonths", row.get<double>(18)},
            {"cumulativeEstimatedCost", row.get<double>(19)}};
}

json dailyActivityJson(const QueryRow& row) {
    return {{"id", uuid(row, 0)},
            {"date", day(row.get<Date>(1))},
            {"totalInsertions", row.get<std::int64_t>(2)},
            {"totalDeletions", row.get<std::int64_t>(3)},
            {"linesTouched", row.get<std::int64_t>(4)},
            {"commitCount", row.get<std::int64_t>(5)},
            {"filesChanged", row.get<std::int64_t>(6)},
            {"codeLinesInserted", row.get<std::int64_t>(7)},
            {"codeLinesDeleted", row.get<std::int64_t>(8)},
            {"docsLinesInserted", row.get<std::int64_t>(9)},
            {"docsLinesDeleted", row.get<std::int64_t>(10)},
            {"testLinesInserted", row.get<std::int64_t>(11)},
            {"testLinesDeleted", row.get<std::int64_t>(12)},
            {"configLinesInserted", row.get<std::int64_t>(13)},
            {"configLinesDeleted", row.get<std::int64_t>(14)},
            {"estimatedEffortMonths", row.get<double>(15)},
            {"estimatedCost", row.get<double>(16)}};
}

json modelDailyActivityJson(const QueryRow& row) {
    // The row outlives its project, so it names the project rather than sitting inside it.
    return {{"id", uuid(row, 0)},
            {"date", day(row.get<Date>(1))},
            {"model", row.get<std::string>(2)},
            {"projectId", row.isNull(3) ? json(nullptr) : uuid(row, 3)},
            {"insertions", row.get<std::int64_t>(4)},
            {"deletions", row.get<std::int64_t>(5)},
            {"commitCount", row.get<std::int64_t>(6)},
            {"filesChanged", row.get<std::int64_t>(7)},
            {"estimatedEffortMonths", row.get<double>(8)},
            {"estimatedCost", row.get<double>(9)}};
}

json portfolioJson(const QueryRow& row) {
    return {{"id", uuid(row, 0)},
            {"date", day(row.get<Date>(1))},
            {"activeProjectCount", row.get<std::int64_t>(2)},
            {"activeProjectNames", DailyPortfolioSnapshot::splitNames(row.get<std::string>(3))},
            {"totalInsertions", row.get<std::int64_t>(4)},
            {"totalDeletions", row.get<std::int64_t>(5)},
            {"totalLinesChanged", row.get<std::int64_t>(6)},
            {"dailyEffortMonths", row.get<double>(7)},
            {"cumulativeEffortMonths", row.get<double>(8)},
            {"headcount", row.get<std::int64_t>(9)},
            {"totalCommits", row.get<std::int64_t>(10)}};
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

/// The prepared reads of the rows that sit inside a project, one project after another.
class ProjectRows {
public:
    explicit ProjectRows(platform::Database& database)
        : activities_(database,
                      "SELECT id, date, totalInsertions, totalDeletions, linesTouched, commitCount, filesChanged, "
                      "codeLinesInserted, codeLinesDeleted, docsLinesInserted, docsLinesDeleted, testLinesInserted, "
                      "testLinesDeleted, configLinesInserted, configLinesDeleted, estimatedEffortMonths, estimatedCost "
                      "FROM daily_activity WHERE project = ? ORDER BY date, pk"),
          snapshots_(database,
                     "SELECT pk, id, capturedAt, snapshotTypeRaw, totalFiles, totalLines, codeLines, commentLines, "
                     "blankLines, totalComplexity, latestCommitHash, latestCommitMessage, latestCommitAuthor, "
                     "latestCommitDate, analyzedCommitHash, cumulativeInsertions, cumulativeDeletions, "
                     "cumulativeLinesChanged, cumulativeEffortMonths, cumulativeEstimatedCost "
                     "FROM snapshot WHERE project = ? ORDER BY capturedAt, pk"),
          languages_(database, "SELECT id, language, files, lines, code, comments, blanks, complexity, category "
                               "FROM snapshot_language WHERE snapshot = ? ORDER BY language, pk") {}

    /// The project's members in their printed order, its daily activity and snapshots among them.
    void write(JsonStream& out, const Project& project) {
        auto members = projectJson(project);
        members["dailyActivities"] = nullptr;
        members["snapshots"] = nullptr;
        out.beginObject();
        for (const auto& [name, value] : members.items()) {
            if (name == "dailyActivities") {
                out.key(name);
                writeActivities(out, project.persistentKey());
            } else if (name == "snapshots") {
                out.key(name);
                writeSnapshots(out, project.persistentKey());
            } else {
                out.member(name, value);
            }
        }
        out.endObject();
    }

private:
    void writeActivities(JsonStream& out, std::int64_t project) {
        out.beginArray();
        activities_.forEach(project, [&](const QueryRow& row) { out.value(dailyActivityJson(row)); });
        out.endArray();
    }

    void writeSnapshots(JsonStream& out, std::int64_t project) {
        out.beginArray();
        snapshots_.forEach(project, [&](const QueryRow& row) {
            auto snapshot = snapshotJson(row);
            auto& languages = snapshot["languages"] = json::array();
            languages_.forEach(row.get<std::int64_t>(0),
                               [&](const QueryRow& language) { languages.push_back(languageJson(language)); });
            out.value(snapshot);
        });
        out.endArray();
    }

    RowsOf activities_;
    RowsOf snapshots_;
    RowsOf languages_;
};

template <typename ToJson>
void writeRows(JsonStream& out, platform::Database& database, std::string_view sql, ToJson toJson) {
    out.beginArray();
    RowsOf(database, sql).forEach(std::nullopt, [&](const QueryRow& row) { out.value(toJson(row)); });
    out.endArray();
}

void writeDocument(const std::shared_ptr<platform::ModelContainer>& store, platform::Database& database,
                   Date exportedAt, JsonStream& out) {
    // Projects and the settings are few: they are read as records, over a context of this export.
    platform::ModelContext context(store);
    out.beginObject();
    out.key("dailyPortfolioSnapshots");
    writeRows(out, database,
              "SELECT id, date, activeProjectCount, activeProjectNames, totalInsertions, totalDeletions, "
              "totalLinesChanged, dailyEffortMonths, cumulativeEffortMonths, headcount, totalCommits "
              "FROM daily_portfolio_snapshot ORDER BY date, pk",
              portfolioJson);
    out.member("exportedAt", moment(exportedAt));
    out.key("modelDailyActivities");
    writeRows(out, database,
              "SELECT m.id, m.date, m.modelRaw, p.id, m.insertions, m.deletions, m.commitCount, m.filesChanged, "
              "m.estimatedEffortMonths, m.estimatedCost FROM model_daily_activity m "
              "LEFT JOIN project p ON p.pk = m.project ORDER BY m.date, m.pk",
              modelDailyActivityJson);
    out.key("projects");
    out.beginArray();
    ProjectRows rows(database);
    for (const auto& project : context.fetch<Project>({.sortBy = {platform::localizedAscending(ProjectField::name)}}))
        rows.write(out, *project);
    out.endArray();
    out.member("settings", settingsJson(StoredSettings::find(context)));
    out.member("version", std::string(NorvaneKit::version));
    out.endObject();
}

} // namespace

void FullDataExport::write(const std::shared_ptr<platform::ModelContainer>& store, Date exportedAt, std::ostream& out) {
    store->withReadTransaction([&] {
        store->withDatabase([&](platform::Database& database) {
            JsonStream json(out);
            writeDocument(store, database, exportedAt, json);
        });
    });
    out << '\n';
}

} // namespace norvane::cli
