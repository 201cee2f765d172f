#include "counter/SkippedEntries.h"

namespace norvane::counter {

namespace {

// How much of a long path the message keeps: its start and its end, which name the file.
constexpr std::size_t kShownStart = 60;
constexpr std::size_t kShownEnd = 100;

std::string counted(std::size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

bool continuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The start and the end of a long path around "...", cut between UTF-8 characters.
std::string shortened(const std::string& path) {
    if (path.size() <= kShownStart + kShownEnd + 3) {
        return path;
    }
    std::size_t startEnd = kShownStart;
    while (startEnd > 0 && continuesCharacter(path[startEnd])) {
        --startEnd;
    }
    std::size_t endStart = path.size() - kShownEnd;
    while (endStart < path.size() && continuesCharacter(path[endStart])) {
        ++endStart;
    }
    return path.substr(0, startEnd) + "..." + path.substr(endStart);
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
    if (files_.empty() && folders_.empty()) {
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
    return "skipped " + what + " that could not be read, such as " + shortened(path) + " (" + reason + ")";
}

} // namespace norvane::counter
