#pragma once

#include "core/collection/GitActivityStats.h"
#include "core/collection/GitCommit.h"

#include "platform/Date.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace norvane {

/// The formats that the git service asks `git log` for, and the readers of what it prints.
namespace GitLogParser {

/// One commit per line: its hash, subject, author and author date, separated by NULs, which no
/// subject or name holds.
inline constexpr std::string_view commitLineFormat = "--format=%H%x00%s%x00%an%x00%aI";
/// NUL-separated fields, so that no character of a subject, name or body can shift them; the
/// "--shortstat" summary follows each record.
inline constexpr std::string_view historyFormat = "--format=%x00COMMIT%x00%H%x00%an%x00%aI%x00%s%x00%B%x00";
/// A header with the committer date, which "--since" filters on; with "-z" the file entries
/// of "--numstat" follow, NUL-terminated and unquoted.
inline constexpr std::string_view activityFormat = "--pretty=format:COMMIT%x09%cI";

/// One changed file of a numstat entry.
struct NumstatFile {
    int64_t insertions = 0;
    int64_t deletions = 0;
    std::string path;
};

/// One commit of "--numstat -z" output with the activity header.
struct NumstatCommit {
    std::optional<platform::Date> committedAt;
    std::vector<NumstatFile> files;
};

/// The counts of a "--shortstat" line.
struct Shortstat {
    int64_t filesChanged = 0;
    int64_t insertions = 0;
    int64_t deletions = 0;
};

/// A line of `commitLineFormat`. None without exactly four fields or with a date that is not
/// strict ISO 8601.
std::optional<GitCommit> parseCommitLine(std::string_view line);

/// Files changed, insertions and deletions of a "--shortstat" line; a missing part counts 0.
Shortstat parseShortstat(std::string_view line);

/// Commits of `historyFormat` output with "--shortstat", in output order. A commit without a
/// statistics line counts 0; a record whose date does not parse is left out.
std::vector<GitCommit> parseCommitsWithStats(std::string_view output);

/// Commits of `activityFormat` output with "--numstat -z". A "-" count (binary file) is 0.
std::vector<NumstatCommit> parseNumstat(std::string_view output);

/// Totals over all commits, split by output category; `filesChanged` counts distinct paths.
GitActivityStats activity(const std::vector<NumstatCommit>& commits);

/// The activity of each local day that has commits, keyed by the start of that day. Commits
/// without a readable date are left out.
std::map<platform::Date, GitActivityStats> dailyActivity(const std::vector<NumstatCommit>& commits);

} // namespace GitLogParser
} // namespace norvane
