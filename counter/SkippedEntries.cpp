#include "counter/SkippedEntries.h"

namespace norvane::counter {

namespace {

std::string counted(std::size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

} // namespace

void SkippedEntries::addFile(const std::string& path, const std::system_error& error) {
    files_.emplace(path, error.code().message());
}

void SkippedEntries::addFolder(const std::string& path, const std::system_error& error) {
    folders_.emplace(path, error.code().message());
}

void SkippedEntries::merge(const SkippedEntries& other) {
    files_.insert(other.files_.begin(), other.files_.end());
    folders_.insert(other.folders_.begin(), other.folders_.end());
}

std::string SkippedEntries::describe() const {
    if (empty()) {
        return {};
    }
    std::string what;
    if (!files_.empty()) {
        what = counted(files_.size(), "file");
    }
    if (!folders_.empty()) {
        what += (what.empty() ? "" : " and ") + counted(folders_.size(), "folder");
    }
    const auto& [path, reason] =
        folders_.empty() || (!files_.empty() && files_.begin()->first < folders_.begin()->first) ? *files_.begin()
                                                                                                 : *folders_.begin();
    return "skipped " + what + " that could not be read, such as " + path + " (" + reason + ")";
}

} // namespace norvane::counter
