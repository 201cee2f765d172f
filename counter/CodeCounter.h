#pragma once

#include "counter/LanguageRegistry.h"
#include "counter/SkippedEntries.h"
#include "counter/SourceScanner.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace norvane::counter {

/// One row of the result: a language and what its files hold together.
struct LanguageSummary {
    std::string name;
    std::int64_t files = 0;
    FileCounts counts;

    bool operator==(const LanguageSummary&) const = default;
};

/// What a count found, and what it could not read and left out.
struct CountReport {
    /// Every language with at least one file, sorted by file count, most first, then by name.
    std::vector<LanguageSummary> rows;
    SkippedEntries skipped;
};

/// Counts the lines of code, comments and blanks of a file or a folder tree, per language, on a
/// small pool of threads that share one work list of folders to list and files to count. Threads
/// are started only while there is more work than the threads already there can take.
class CodeCounter {
public:
    /// The most threads a count uses without being told, each with a read buffer of 1 MB.
    static constexpr unsigned kMostThreads = 8;

    /// What the patterns of the ignore files that a count holds at one time may take together, in
    /// the pages of their blocks: a folder's are held while the walk below it lasts, with those of
    /// the folders above it. With the threads' read buffers, the language tables and the walk the
    /// counter then keeps within 128 MB.
    static constexpr std::size_t kIgnorePatternBytes = 96 * 1024 * 1024;

    /// `threadCount` is the most threads to use; 0 uses one per core, up to kMostThreads.
    explicit CodeCounter(unsigned threadCount = 0, std::size_t ignorePatternBytes = kIgnorePatternBytes);

    /// The report does not depend on how the threads happened to share the work. A file or a
    /// folder below `path` that cannot be read (no permission, a path longer than the system
    /// allows) is skipped and counted as such. Throws std::system_error when nothing exists at
    /// `path` or when `path` itself cannot be read, std::invalid_argument when `path` is neither a
    /// file nor a folder (a FIFO, a device, a socket), and std::length_error when the ignore files
    /// cannot be applied within their bounds (a line of more than a megabyte, or patterns in force
    /// in one folder, its own and those above it, beyond the bound), whatever their size: a count
    /// that left them out would count what they name.
    CountReport count(const std::string& path) const;

    std::size_t ignorePatternBytes() const { return ignorePatternBytes_; }

private:
    unsigned threadCount_;
    std::size_t ignorePatternBytes_;
    LanguageRegistry registry_;
};

} // namespace norvane::counter
