#include "counter/IgnorePattern.h"

#include <algorithm>

namespace norvane::counter {

namespace {

// Trailing blanks go, as git trims them: all but those after a backslash, which escapes one byte.
std::string_view trimTrailingSpaces(std::string_view line) {
    std::size_t kept = 0;
    for (std::size_t index = 0; index < line.size(); ++index) {
        if (line[index] == '\\') {
            kept = std::min(index + 2, line.size());
            ++index;
        } else if (line[index] != ' ') {
            kept = index + 1;
        }
    }
    return line.substr(0, kept);
}

} // namespace

std::optional<IgnorePattern> IgnorePattern::parse(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    // git reads each line as a C string, so a NUL ends the pattern.
    line = line.substr(0, line.find('\0'));
    if (line.empty() || line.front() == '#') {
        return std::nullopt;
    }
    line = trimTrailingSpaces(line);
    const bool negated = line.starts_with('!');
    if (negated) {
        line.remove_prefix(1);
    }
    const bool folderOnly = line.ends_with('/');
    if (folderOnly) {
        line.remove_suffix(1);
    }
    const bool anchored = line.find('/') != std::string_view::npos;
    if (line.starts_with('/')) {
        line.remove_prefix(1);
    }
    if (line.empty()) {
        return std::nullopt;
    }
    IgnorePattern pattern;
    pattern.negated_ = negated;
    pattern.folderOnly_ = folderOnly;
    pattern.anchored_ = anchored;
    if (line.find_first_of("*?[\\") == std::string_view::npos) {
        pattern.literal_ = line;
    } else {
        pattern.glob_ = std::make_unique<const Glob>(line);
    }
    return pattern;
}

bool IgnorePattern::matches(std::string_view relativePath, bool isFolder) const {
    if (folderOnly_ && !isFolder) {
        return false;
    }
    // Without a "/" the pattern names an entry at any depth, so only the last part is compared.
    std::string_view subject = relativePath;
    if (!anchored_) {
        if (const auto slash = relativePath.rfind('/'); slash != std::string_view::npos) {
            subject = relativePath.substr(slash + 1);
        }
    }
    return glob_ ? glob_->matches(subject) : subject == literal_;
}

} // namespace norvane::counter
