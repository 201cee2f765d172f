#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <system_error>

namespace norvane::counter {

/// The files and folders that a count could not read and left out, each once however often it was
/// tried (an ignore file is also a file to count), with the first in path order as the example: the
/// same tree names the same one however the threads shared it.
class SkippedEntries {
public:
    void addFile(const std::string& path, const std::system_error& error);
    void addFolder(const std::string& path, const std::system_error& error);
    void merge(const SkippedEntries& other);

    std::int64_t files() const { return static_cast<std::int64_t>(files_.size()); }
    std::int64_t folders() const { return static_cast<std::int64_t>(folders_.size()); }
    bool empty() const { return files_.empty() && folders_.empty(); }
    /// "skipped 2 files and 1 folder that could not be read, such as PATH (REASON)", with the
    /// middle of a long path left out; empty when nothing was skipped.
    std::string describe() const;

private:
    /// Path and the reason it could not be read.
    std::map<std::string, std::string> files_;
    std::map<std::string, std::string> folders_;
};

} // namespace norvane::counter
