#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

namespace norvane::counter {

/// How many files and folders a count could not read and left out, with the first in path order as
/// the example: the same tree names the same one however the threads shared it. Only the example is
/// kept, so that a tree of a million unreadable files costs no memory. Each entry is added once: an
/// ignore file is also a file to count, and the count leaves out what the ignore rules noted.
class SkippedEntries {
public:
    void addFile(const std::string& path, const std::system_error& error);
    void addFolder(const std::string& path, const std::system_error& error);
    void merge(const SkippedEntries& other);

    std::int64_t files() const { return files_; }
    std::int64_t folders() const { return folders_; }
    bool empty() const { return files_ == 0 && folders_ == 0; }
    /// "skipped 2 files and 1 folder that could not be read, such as PATH (REASON)", with the
    /// middle of a long path left out; empty when nothing was skipped.
    std::string describe() const;

private:
    struct Example {
        std::string path;
        /// Why it could not be read.
        std::string reason;
    };

    void keepIfFirst(const Example& example);

    std::int64_t files_ = 0;
    std::int64_t folders_ = 0;
    std::optional<Example> first_;
};

} // namespace norvane::counter
