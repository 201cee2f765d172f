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

/// One commit per line: its hash, subject, author and author date in seconds since 1970,
/// separated by NULs, which no subject or name holds.
inline constexpr std::string_view commitLineFormat = "--format=%H%x00%s%x00%an%x00%at";
/// A record start, then NUL-terminated fields: hash, parents, author, author and committer dates
/// in seconds since 1970 (whatever zone the commit names, even one git cannot write), the HEAD
/// decoration, subject and whole message. With "--numstat -z" the NUL-terminated, unquoted file
/// entries follow each record.
inline constexpr std::string_view logFormat =
    "--format=%x00%x00COMMIT%x00%H%x00%P%x00%an%x00%at%x00%ct%x00%D%x00%s%x00%B%x00";
/// What every record of `logFormat` output starts with. A subject, name or message may read
/// "COMMIT" after an empty field, so a record start is looked for only past the fields of the
/// record before it: among file entries, none is empty but git's separators.
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
    std::string_view parents; ///< hashes separated by spaces
    std::string_view author;
    std::string_view subject;
    std::string_view body;
    bool isHead = false; ///< the commit HEAD names, when git was asked to decorate it alone
    /// False when git could not read one of its dates (a commit written by hand with a date such as
    /// "-86400"): the dates then mean nothing, and the commit counts on no day.
    bool dated = true;
    platform::Date authoredAt;
    platform::Date committedAt;
    std::vector<FileChange> files;

    /// False for a root commit and for a shallow history's boundary.
    bool hasParents() const { return !parents.empty(); }
    /// Calls `visit` with each parent's hash.
    void forEachParent(const std::function<void(std::string_view)>& visit) const;
    /// The commit's hash, subject, author and author date, without counts.
    GitCommit summary() const {
        return GitCommit{std::string(hash), std::string(subject), std::string(author), authoredAt};
    }
    /// The commit with its line counts and files changed summed over `files`.
    GitCommit commit() const;
};

/// A commit's full hash as git prints it (SHA-1 or SHA-256); anything else is never handed to git.
bool isCommitHash(std::string_view text);

/// A date as the formats print it, whole seconds since 1970, kept within the moments the store
/// holds; none for anything else.
std::optional<platform::Date> parseDate(std::string_view text);

/// A line of `commitLineFormat`. None without exactly four fields or with a date that is not a
/// whole number of seconds.
std::optional<GitCommit> parseCommitLine(std::string_view line);

/// Where the record after the one that starts at `start` starts in `output`; none when the output
/// ends first (it may still grow). `searchFrom` skips text already searched without a find.
std::optional<std::size_t> nextRecordStart(std::string_view output, std::size_t start, std::size_t searchFrom = 0);

/// Calls `visit` with each record of `logFormat` output with "--numstat -z", in output order, one
/// whose dates do not parse too (not `dated`). One record at a time is held, so a long history
/// costs no more than its output.
void forEachRecord(std::string_view output, const std::function<void(const LogRecord&)>& visit);

} // namespace GitLogParser
} // namespace norvane
