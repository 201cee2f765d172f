#include "core/community/IndexExport.h"

#include "core/community/JsonCoding.h"
#include "core/models/NewestSnapshot.h"
#include "platform/LocalCalendar.h"

#include <fmt/format.h>

#include <cmath>

namespace norvane {

namespace {

using nlohmann::json;

double finiteValue(double value, const char* key) {
    if (!std::isfinite(value)) {
        throw IndexExport::ExportError(IndexExport::ExportError::Kind::nonFiniteNumber,
                                       std::string("The export holds a number that is not finite: ") + key);
    }
    return value;
}

template <typename T>
void putOptional(json& object, const char* key, const std::optional<T>& value) {
    if (!value) {
        return;
    }
    if constexpr (std::is_floating_point_v<T>) {
        object[key] = finiteValue(*value, key);
    } else {
        object[key] = *value;
    }
}

json encode(const IndexExport::NorvaneIndexData& index) {
    json object = {
        {"score", index.score}, {"sizeBucket", index.sizeBucket}, {"contributorCount", index.contributorCount}};
    putOptional(object, "throughputPercentile", index.throughputPercentile);
    putOptional(object, "consistencyPercentile", index.consistencyPercentile);
    putOptional(object, "velocityRetentionPercentile", index.velocityRetentionPercentile);
    return object;
}

json encode(const IndexExport::OutputCompositionData& composition) {
    return {
        {"totalLines", composition.totalLines},
        {"codeLines", composition.codeLines},
        {"codePercent", finiteValue(composition.codePercent, "codePercent")},
        {"docsLines", composition.docsLines},
        {"docsPercent", finiteValue(composition.docsPercent, "docsPercent")},
        {"testLines", composition.testLines},
        {"testPercent", finiteValue(composition.testPercent, "testPercent")},
        {"configLines", composition.configLines},
        {"configPercent", finiteValue(composition.configPercent, "configPercent")},
        {"phase", composition.phase},
    };
}

json encode(const IndexExport::VelocityRetentionData& retention) {
    return {
        {"retentionPercent", finiteValue(retention.retentionPercent, "retentionPercent")},
        {"baselineVelocity", finiteValue(retention.baselineVelocity, "baselineVelocity")},
        {"currentVelocity", finiteValue(retention.currentVelocity, "currentVelocity")},
        {"trend", retention.trend},
    };
}

json encode(const IndexExport::StreakData& streak) {
    json object = {{"currentStreak", streak.currentStreak},
                   {"longestStreak", streak.longestStreak},
                   {"isActive", streak.isActive}};
    putOptional(object, "currentMilestone", streak.currentMilestone);
    return object;
}

json encode(const IndexExport::AchievementData& achievement) {
    json object = {{"id", achievement.id},
                   {"title", achievement.title},
                   {"category", achievement.category},
                   {"tier", achievement.tier},
                   {"isEarned", achievement.isEarned}};
    putOptional(object, "progress", achievement.progress);
    return object;
}

json encode(const IndexExport::ProjectSummaryData& project) {
    json object = {{"name", project.name},
                   {"sizeBucket", project.sizeBucket},
                   {"totalCodeLines", project.totalCodeLines},
                   {"maturityMultiplier", finiteValue(project.maturityMultiplier, "maturityMultiplier")}};
    putOptional(object, "velocityRetention", project.velocityRetention);
    return object;
}

template <typename T>
json encodeList(const std::vector<T>& items) {
    json list = json::array();
    for (const auto& item : items) {
        list.push_back(encode(item));
    }
    return list;
}

std::optional<int> optionalPercentile(const json& object, std::string_view key) {
    const auto value = JsonCoding::optionalInteger(object, key);
    return value ? std::optional(static_cast<int>(*value)) : std::nullopt;
}

IndexExport::NorvaneIndexData decodeIndex(const json& object) {
    return {
        .score = static_cast<int>(JsonCoding::integer(object, "score")),
        .throughputPercentile = optionalPercentile(object, "throughputPercentile"),
        .consistencyPercentile = optionalPercentile(object, "consistencyPercentile"),
        .velocityRetentionPercentile = optionalPercentile(object, "velocityRetentionPercentile"),
        .sizeBucket = JsonCoding::text(object, "sizeBucket"),
        .contributorCount = JsonCoding::integer(object, "contributorCount"),
    };
}

IndexExport::OutputCompositionData decodeComposition(const json& object) {
    return {
        .totalLines = JsonCoding::integer(object, "totalLines"),
        .codeLines = JsonCoding::integer(object, "codeLines"),
        .codePercent = JsonCoding::number(object, "codePercent"),
        .docsLines = JsonCoding::integer(object, "docsLines"),
        .docsPercent = JsonCoding::number(object, "docsPercent"),
        .testLines = JsonCoding::integer(object, "testLines"),
        .testPercent = JsonCoding::number(object, "testPercent"),
        .configLines = JsonCoding::integer(object, "configLines"),
        .configPercent = JsonCoding::number(object, "configPercent"),
        .phase = JsonCoding::text(object, "phase"),
    };
}

IndexExport::VelocityRetentionData decodeRetention(const json& object) {
    return {
        .retentionPercent = JsonCoding::number(object, "retentionPercent"),
        .baselineVelocity = JsonCoding::number(object, "baselineVelocity"),
        .currentVelocity = JsonCoding::number(object, "currentVelocity"),
        .trend = JsonCoding::text(object, "trend"),
    };
}

IndexExport::StreakData decodeStreak(const json& object) {
    return {
        .currentStreak = JsonCoding::integer(object, "currentStreak"),
        .longestStreak = JsonCoding::integer(object, "longestStreak"),
        .isActive = JsonCoding::boolean(object, "isActive"),
        .currentMilestone = JsonCoding::optionalText(object, "currentMilestone"),
    };
}

IndexExport::AchievementData decodeAchievement(const json& object) {
    return {
        .id = JsonCoding::text(object, "id"),
        .title = JsonCoding::text(object, "title"),
        .category = JsonCoding::text(object, "category"),
        .tier = JsonCoding::text(object, "tier"),
        .isEarned = JsonCoding::boolean(object, "isEarned"),
        .progress = JsonCoding::optionalNumber(object, "progress"),
    };
}

IndexExport::ProjectSummaryData decodeProject(const json& object) {
    return {
        .name = JsonCoding::text(object, "name"),
        .sizeBucket = JsonCoding::text(object, "sizeBucket"),
        .totalCodeLines = JsonCoding::integer(object, "totalCodeLines"),
        .maturityMultiplier = JsonCoding::number(object, "maturityMultiplier"),
        .velocityRetention = JsonCoding::optionalNumber(object, "velocityRetention"),
    };
}

template <typename T>
std::vector<T> decodeList(const json& object, std::string_view key, T (*decodeItem)(const json&)) {
    const json& list = JsonCoding::require(object, key);
    if (!list.is_array()) {
        throw JsonDecodingError("Expected an array for key \"" + std::string(key) + "\"");
    }
    std::vector<T> items;
    for (const auto& item : list) {
        items.push_back(decodeItem(item));
    }
    return items;
}

/// RFC 4180: a value holding a comma, a double quote or a line break is quoted, with its quotes
/// doubled; any other value stays as it is.
std::string csvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) {
        return value;
    }
    std::string quoted = "\"";
    for (const char character : value) {
        quoted += character;
        if (character == '"') quoted += '"';
    }
    return quoted + "\"";
}

/// printf-style fixed decimals, always with a point.
std::string fixed(double value, int decimals, const char* key) {
    return fmt::format("{:.{}f}", finiteValue(value, key), decimals);
}

std::string orNotAvailable(const std::optional<int>& value) { return value ? std::to_string(*value) : "N/A"; }

void appendIndexSection(std::vector<std::string>& lines, const std::optional<IndexExport::NorvaneIndexData>& index) {
    lines.insert(lines.end(), {"# Norvane Index", "Metric,Value"});
    if (!index) {
        lines.emplace_back("Score,N/A");
        return;
    }
    lines.push_back("Score," + std::to_string(index->score));
    lines.push_back("Throughput Percentile," + orNotAvailable(index->throughputPercentile));
    lines.push_back("Consistency Percentile," + orNotAvailable(index->consistencyPercentile));
    lines.push_back("Velocity Retention Percentile," + orNotAvailable(index->velocityRetentionPercentile));
    lines.push_back("Size Bucket," + csvField(index->sizeBucket));
}

void appendCompositionSection(std::vector<std::string>& lines, const IndexExport::OutputCompositionData& output) {
    lines.insert(lines.end(), {"# Output Composition", "Category,Lines,Percent"});
    lines.push_back("Code," + std::to_string(output.codeLines) + "," + fixed(output.codePercent, 1, "codePercent"));
    lines.push_back("Docs," + std::to_string(output.docsLines) + "," + fixed(output.docsPercent, 1, "docsPercent"));
    lines.push_back("Tests," + std::to_string(output.testLines) + "," + fixed(output.testPercent, 1, "testPercent"));
    lines.push_back("Config," + std::to_string(output.configLines) + "," +
                    fixed(output.configPercent, 1, "configPercent"));
    lines.push_back("Total," + std::to_string(output.totalLines) + ",100.0");
    lines.push_back("Phase," + csvField(output.phase) + ",");
}

void appendRetentionSection(std::vector<std::string>& lines,
                            const std::optional<IndexExport::VelocityRetentionData>& retention) {
    lines.emplace_back("# Velocity Retention");
    if (!retention) {
        lines.emplace_back("Not enough data");
        return;
    }
    lines.emplace_back("Metric,Value");
    lines.push_back("Retention," + fixed(retention->retentionPercent, 1, "retentionPercent") + "%");
    lines.push_back("Baseline Velocity," + fixed(retention->baselineVelocity, 2, "baselineVelocity"));
    lines.push_back("Current Velocity," + fixed(retention->currentVelocity, 2, "currentVelocity"));
    lines.push_back("Trend," + csvField(retention->trend));
}

void appendStreakSection(std::vector<std::string>& lines, const IndexExport::StreakData& streak) {
    lines.insert(lines.end(), {"# Streak", "Metric,Value"});
    lines.push_back("Current Streak," + std::to_string(streak.currentStreak));
    lines.push_back("Longest Streak," + std::to_string(streak.longestStreak));
    lines.push_back(std::string("Active,") + (streak.isActive ? "true" : "false"));
    lines.push_back("Milestone," + (streak.currentMilestone ? csvField(*streak.currentMilestone) : "None"));
}

void appendAchievementsSection(std::vector<std::string>& lines,
                               const std::vector<IndexExport::AchievementData>& achievements) {
    lines.insert(lines.end(), {"# Achievements", "Title,Category,Tier,Earned,Progress"});
    for (const auto& achievement : achievements) {
        const std::string progress =
            achievement.progress ? fixed(*achievement.progress * 100, 0, "progress") + "%" : "N/A";
        lines.push_back(csvField(achievement.title) + "," + csvField(achievement.category) + "," +
                        csvField(achievement.tier) + "," + (achievement.isEarned ? "true" : "false") + "," + progress);
    }
}

void appendProjectsSection(std::vector<std::string>& lines,
                           const std::vector<IndexExport::ProjectSummaryData>& projects) {
    lines.insert(lines.end(), {"# Projects", "Name,Size Bucket,Code Lines,Maturity Multiplier,Velocity Retention"});
    for (const auto& project : projects) {
        const std::string retention =
            project.velocityRetention ? fixed(*project.velocityRetention, 1, "velocityRetention") + "%" : "N/A";
        lines.push_back(csvField(project.name) + "," + csvField(project.sizeBucket) + "," +
                        std::to_string(project.totalCodeLines) + "," +
                        fixed(project.maturityMultiplier, 2, "maturityMultiplier") + "," + retention);
    }
}

} // namespace

IndexExport::DateRange::DateRange(platform::Date from, platform::Date to)
    : start(from), end(to), days(platform::LocalCalendar::wholeDaysBetween(from, to)) {}

std::optional<IndexExport::NorvaneIndexData> IndexExport::NorvaneIndexData::from(const UserPercentiles& percentiles) {
    if (!percentiles.norvaneIndex) {
        return std::nullopt;
    }
    return NorvaneIndexData{.score = *percentiles.norvaneIndex,
                            .throughputPercentile = percentiles.throughputPercentile,
                            .consistencyPercentile = percentiles.consistencyPercentile,
                            .velocityRetentionPercentile = percentiles.velocityRetentionPercentile,
                            .sizeBucket = percentiles.sizeBucket,
                            .contributorCount = percentiles.contributorCount};
}

IndexExport::OutputCompositionData
IndexExport::OutputCompositionData::from(const std::optional<OutputComposition>& composition) {
    if (!composition) {
        return {.phase = "Unknown"};
    }
    const auto lines = [](const CategoryMetrics& category) { return category.insertions + category.deletions; };
    return {.totalLines = composition->totalLinesTouched(),
            .codeLines = lines(composition->code),
            .codePercent = composition->code.percent,
            .docsLines = lines(composition->docs),
            .docsPercent = composition->docs.percent,
            .testLines = lines(composition->tests),
            .testPercent = composition->tests.percent,
            .configLines = lines(composition->config),
            .configPercent = composition->config.percent,
            .phase = std::string(platform::rawValue(composition->inferredPhase()))};
}

IndexExport::StreakData IndexExport::StreakData::from(const ProductivityStreak& streak) {
    const auto milestone = streak.currentMilestone();
    return {.currentStreak = streak.currentStreak,
            .longestStreak = streak.longestStreak,
            .isActive = streak.isActive,
            .currentMilestone = milestone ? std::optional<std::string>(label(*milestone)) : std::nullopt};
}

IndexExport::AchievementData IndexExport::AchievementData::from(const Achievement& achievement) {
    return {.id = achievement.id,
            .title = achievement.title,
            .category = std::string(platform::rawValue(achievement.category)),
            .tier = std::string(displayName(achievement.tier)),
            .isEarned = achievement.isEarned,
            .progress = achievement.progress};
}

IndexExport::ProjectSummaryData IndexExport::ProjectSummaryData::from(const Project& project,
                                                                      std::optional<double> velocityRetention,
                                                                      platform::Date now) {
    const auto newest = newestCodeSnapshot(project);
    return {.name = project.name,
            .sizeBucket = std::string(platform::rawValue(project.sizeBucket())),
            .totalCodeLines = newest ? newest->codeCategoryCode() : 0,
            .maturityMultiplier = project.maturityMultiplier(now).value,
            .velocityRetention = velocityRetention};
}

std::string IndexExport::toJSON(bool prettyPrinted) const {
    json range = {{"start", JsonCoding::encodeDate(dateRange.start)},
                  {"end", JsonCoding::encodeDate(dateRange.end)},
                  {"days", dateRange.days}};
    json document = {
        {"exportedAt", JsonCoding::encodeDate(exportedAt)},
        {"norvaneVersion", norvaneVersion},
        {"dateRange", range},
        {"includesProjectNames", includesProjectNames},
        {"outputComposition", encode(outputComposition)},
        {"streak", encode(streak)},
        {"achievements", encodeList(achievements)},
        {"projects", encodeList(projects)},
    };
    if (norvaneIndex) document["norvaneIndex"] = encode(*norvaneIndex);
    if (velocityRetention) document["velocityRetention"] = encode(*velocityRetention);
    try {
        return document.dump(prettyPrinted ? 2 : -1);
    } catch (const json::type_error& error) {
        throw ExportError(ExportError::Kind::encodingFailed, error.what());
    }
}

std::string IndexExport::toCSV() const {
    std::vector<std::string> lines{"# Norvane Index Export", "# Exported: " + JsonCoding::encodeDate(exportedAt),
                                   "# Date Range: " + std::to_string(dateRange.days) + " days", ""};
    appendIndexSection(lines, norvaneIndex);
    lines.emplace_back();
    appendCompositionSection(lines, outputComposition);
    lines.emplace_back();
    appendRetentionSection(lines, velocityRetention);
    lines.emplace_back();
    appendStreakSection(lines, streak);
    lines.emplace_back();
    appendAchievementsSection(lines, achievements);
    lines.emplace_back();
    appendProjectsSection(lines, projects);
    std::string text = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        text += '\n';
        text += lines[i];
    }
    return text;
}

IndexExport IndexExport::fromJSON(const json& document) {
    IndexExport record;
    record.exportedAt = JsonCoding::asDate(JsonCoding::require(document, "exportedAt"), "exportedAt");
    record.norvaneVersion = JsonCoding::text(document, "norvaneVersion");
    const json& range = JsonCoding::require(document, "dateRange");
    record.dateRange.start = JsonCoding::asDate(JsonCoding::require(range, "start"), "start");
    record.dateRange.end = JsonCoding::asDate(JsonCoding::require(range, "end"), "end");
    record.dateRange.days = JsonCoding::integer(range, "days");
    record.includesProjectNames = JsonCoding::boolean(document, "includesProjectNames");
    if (const auto* index = JsonCoding::optional(document, "norvaneIndex")) record.norvaneIndex = decodeIndex(*index);
    record.outputComposition = decodeComposition(JsonCoding::require(document, "outputComposition"));
    if (const auto* retention = JsonCoding::optional(document, "velocityRetention")) {
        record.velocityRetention = decodeRetention(*retention);
    }
    record.streak = decodeStreak(JsonCoding::require(document, "streak"));
    record.achievements = decodeList(document, "achievements", &decodeAchievement);
    record.projects = decodeList(document, "projects", &decodeProject);
    return record;
}

} // namespace norvane
