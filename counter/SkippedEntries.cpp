#include "counter/SkippedEntries.h"
#include "counter/QuotedPath.h"

namespace norvane::counter {

namespace {

// How much of a long path the message keeps: its start and its end, which name the file.
constexpr std::size_t kShownStart = 60;
constexpr std::size_t kShownEnd = 100;

std::string counted(std::int64_t count, const char* noun) {
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
    ++files_;
    keepIfFirst({path, error.code().message()});
}

void SkippedEntries::addFolder(const std::string& path, const std::system_error& error) {
    ++folders_;
    keepIfFirst({path, error.code().message()});
}

void SkippedEntries::keepIfFirst(const Example& example) {
    if (!first_ || example.path < first_->path) {
        first_ = example;
    }
}

void SkippedEntries::merge(const SkippedEntries& other) {
    files_ += other.files_;
    folders_ += other.folders_;
    if (other.first_) {
        keepIfFirst(*other.first_);
    }
}

std::string SkippedEntries::describe() const {
    if (!first_) {
        return {};
    }
    std::string what;
    if (files_ > 0) {
        what = counted(files_, "file");
    }
    if (folders_ > 0) {
        what += (what.empty() ? "" : " and ") + counted(folders_, "folder");
    }
    return "skipped " + what + " that could not be read, such as " + quotedPath(shortened(first_->path)) + " (" +
           first_->reason + ")";
}

} // namespace norvane::counter
