#include "core/collection/GitLogParser.h"

#include "core/collection/OutputCategoryClassifier.h"

#include "platform/Iso8601.h"
#include "platform/LocalCalendar.h"
#include "platform/TextTrimming.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <set>

namespace norvane::GitLogParser {
namespace {

/// Splits at every `separator`, keeping empty pieces.
std::vector<std::string_view> split(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
}

/// A decimal count with an optional sign; anything else, such as git's "-" for binary files, is 0.
int64_t parseCount(std::string_view text) {
    if (text.starts_with('+')) {
        text.remove_prefix(1);
    }
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (error == std::errc() && end == text.data() + text.size()) ? value : 0;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// The number of the leftmost "<digits> <noun>" in `line`, as the expression "(\d+) <noun>"
/// finds it; 0 when there is none or the number does not fit. Every noun starts with a space, so
/// the digits before one are a whole run of digits.
int64_t countBefore(std::string_view line, std::initializer_list<std::string_view> nouns) {
    for (std::size_t start = 0; start < line.size();) {
        if (!isDigit(line[start])) {
            ++start;
            continue;
        }
        auto end = start;
        while (end < line.size() && isDigit(line[end])) {
            ++end;
        }
        const auto rest = line.substr(end);
        if (std::any_of(nouns.begin(), nouns.end(), [&](std::string_view noun) { return rest.starts_with(noun); })) {
            return parseCount(line.substr(start, end - start));
        }
        start = end;
    }
    return 0;
}

void addFile(GitActivityStats& stats, std::set<std::string_view>& paths, const NumstatFile& file) {
    stats.insertions += file.insertions;
    stats.deletions += file.deletions;
    if (file.path.empty()) {
        return;
    }
    paths.insert(file.path);
    auto& category = stats.stats(OutputCategoryClassifier::categorizePath(file.path));
    category.insertions += file.insertions;
    category.deletions += file.deletions;
}

/// Reads "<insertions>\t<deletions>\t<path>"; the path is everything after the second tab.
std::optional<NumstatFile> parseNumstatEntry(std::string_view entry) {
    const auto firstTab = entry.find('\t');
    if (firstTab == std::string_view::npos) {
        return std::nullopt;
    }
    const auto secondTab = entry.find('\t', firstTab + 1);
    if (secondTab == std::string_view::npos) {
        return std::nullopt;
    }
    return NumstatFile{parseCount(entry.substr(0, firstTab)),
                       parseCount(entry.substr(firstTab + 1, secondTab - firstTab - 1)),
                       std::string(entry.substr(secondTab + 1))};
}

std::optional<GitCommit> parseHistoryRecord(std::string_view record) {
    constexpr std::size_t fieldCount = 6; // hash, author, date, subject, body, statistics
    std::array<std::string_view, fieldCount> fields;
    for (std::size_t index = 0; index + 1 < fieldCount; ++index) {
        const auto end = record.find('\0');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        fields[index] = record.substr(0, end);
        record.remove_prefix(end + 1);
    }
    fields[fieldCount - 1] = record;
    const auto date = platform::Iso8601::parse(fields[2]);
    if (!date) {
        return std::nullopt;
    }
    GitCommit commit{std::string(fields[0]), std::string(fields[3]), std::string(fields[1]), *date};
    commit.fullMessage = std::string(fields[4]);
    for (auto lines = fields[5]; !lines.empty();) {
        const auto end = lines.find('\n');
        if (const auto statistics = platform::trimmed(lines.substr(0, end), " \t"); !statistics.empty()) {
            const auto counts = parseShortstat(statistics);
            commit.filesChanged = counts.filesChanged;
            commit.insertions = counts.insertions;
            commit.deletions = counts.deletions;
        }
        lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    }
    return commit;
}

} // namespace

std::optional<GitCommit> parseCommitLine(std::string_view line) {
    const auto fields = split(line, std::string_view("\0", 1));
    if (fields.size() != 4) {
        return std::nullopt;
    }
    const auto date = platform::Iso8601::parse(fields[3]);
    if (!date) {
        return std::nullopt;
    }
    return GitCommit{std::string(fields[0]), std::string(fields[1]), std::string(fields[2]), *date};
}

Shortstat parseShortstat(std::string_view line) {
    return {countBefore(line, {" file changed", " files changed"}),
            countBefore(line, {" insertion(+)", " insertions(+)"}),
            countBefore(line, {" deletion(-)", " deletions(-)"})};
}

std::vector<GitCommit> parseCommitsWithStats(std::string_view output) {
    std::vector<GitCommit> commits;
    for (const auto record : split(output, std::string_view("\0COMMIT\0", 8))) {
        if (auto commit = parseHistoryRecord(record)) {
            commits.push_back(std::move(*commit));
        }
    }
    return commits;
}

std::vector<NumstatCommit> parseNumstat(std::string_view output) {
    std::vector<NumstatCommit> commits;
    for (auto token : split(output, std::string_view("\0", 1))) {
        if (token.starts_with("COMMIT")) {
            const auto lineEnd = token.find('\n');
            const auto header = token.substr(0, lineEnd);
            const auto tab = header.find('\t');
            commits.push_back(
                {tab == std::string_view::npos ? std::nullopt : platform::Iso8601::parse(header.substr(tab + 1)), {}});
            token = lineEnd == std::string_view::npos ? std::string_view() : token.substr(lineEnd + 1);
        }
        if (commits.empty()) {
            continue;
        }
        if (auto file = parseNumstatEntry(token)) {
            commits.back().files.push_back(std::move(*file));
        }
    }
    return commits;
}

GitActivityStats activity(const std::vector<NumstatCommit>& commits) {
    GitActivityStats stats;
    std::set<std::string_view> paths;
    for (const auto& commit : commits) {
        ++stats.commitCount;
        for (const auto& file : commit.files) {
            addFile(stats, paths, file);
        }
    }
    stats.filesChanged = static_cast<int64_t>(paths.size());
    return stats;
}

std::map<platform::Date, GitActivityStats> dailyActivity(const std::vector<NumstatCommit>& commits) {
    std::map<platform::Date, std::vector<NumstatCommit>> commitsByDay;
    for (const auto& commit : commits) {
        if (commit.committedAt) {
            commitsByDay[platform::LocalCalendar::startOfDay(*commit.committedAt)].push_back(commit);
        }
    }
    std::map<platform::Date, GitActivityStats> days;
    for (const auto& [day, dayCommits] : commitsByDay) {
        days.emplace(day, activity(dayCommits));
    }
    return days;
}

} // namespace norvane::GitLogParser
