#pragma once

#include "core/collection/GitCommit.h"

#include "platform/Date.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace norvane {

/// The formats that the git service asks `git log` for, and the readers of what it prints.
namespace GitLogParser {

/// One commit per line: its hash, subject, author and author date, separated by NULs, which no
/// subject or name holds.
inline constexpr std::string_view commitLineFormat = "--format=%H%x00%s%x00%an%x00%aI";
/// NUL-separated fields, so that no character of a subject, name or body can shift them; with
/// "--numstat -z" the NUL-terminated, unquoted file entries follow each record. A record opens with
/// two NULs, which nothing else in the output puts before "COMMIT": a path is preceded by at most one.
inline constexpr std::string_view logFormat =
    "--format=%x00%x00COMMIT%x00%H%x00%P%x00%an%x00%aI%x00%cI%x00%s%x00%B%x00";
/// What every record of `logFormat` output starts with.
inline constexpr std::string_view recordStart("\0\0COMMIT\0", 9);

/// One changed file of a record: its counts (git's "-" for a binary file counts 0) and its path,
/// the new one when the file was renamed.
struct FileChange {
    int64_t insertions = 0;
    int64_t deletions = 0;
    std::string_view path;
};

/// One commit of `logFormat` output; the texts point into that output.
struct LogRecord {
    std::string_view hash;
    std::string_view author;
    std::string_view subject;
    std::string_view body;
    bool hasParents = false; ///< false for a root commit and for a shallow history's boundary
    platform::Date authoredAt;
    platform::Date committedAt;
    std::vector<FileChange> files;

    /// The commit with its line counts and files changed summed over `files`.
    GitCommit commit() const;
};

/// A line of `commitLineFormat`. None without exactly four fields or with a date that is not
/// strict ISO 8601.
std::optional<GitCommit> parseCommitLine(std::string_view line);

/// Calls `visit` with each record of `logFormat` output with "--numstat -z", in output order. A
/// record whose dates do not parse is left out. One record at a time is held, so a long history
/// costs no more than its output.
void forEachRecord(std::string_view output, const std::function<void(const LogRecord&)>& visit);

} // namespace GitLogParser
} // namespace norvane
