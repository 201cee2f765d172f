#include "counter/IgnorePattern.h"

namespace norvane::counter {

namespace {

bool globMatch(std::string_view pattern, std::string_view text);

// Matches `c` against the class that starts at pattern[start] == '['. Returns the position after
// the closing "]", or none when the class is not closed (then "[" is an ordinary byte).
std::optional<std::size_t> matchClass(std::string_view pattern, std::size_t start, char c, bool& matched) {
    std::size_t index = start + 1;
    const bool negate = index < pattern.size() && (pattern[index] == '!' || pattern[index] == '^');
    if (negate) {
        ++index;
    }
    bool found = false;
    for (bool first = true; index < pattern.size() && (first || pattern[index] != ']'); first = false) {
        char low = pattern[index];
        if (low == '\\' && index + 1 < pattern.size()) {
            low = pattern[++index];
        }
        char high = low;
        if (index + 2 < pattern.size() && pattern[index + 1] == '-' && pattern[index + 2] != ']') {
            high = pattern[index + 2];
            index += 2;
        }
        found = found || (c >= low && c <= high);
        ++index;
    }
    if (index >= pattern.size()) {
        return std::nullopt;
    }
    matched = found != negate;
    return index + 1;
}

// "**/" at the start of a path part: zero or more whole folders.
bool matchAnyFolders(std::string_view rest, std::string_view text) {
    if (globMatch(rest, text)) {
        return true;
    }
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '/' && globMatch(rest, text.substr(index + 1))) {
            return true;
        }
    }
    return false;
}

// "*": any run of bytes within one path part.
bool matchWithinPart(std::string_view rest, std::string_view text) {
    for (std::size_t index = 0;; ++index) {
        if (globMatch(rest, text.substr(index))) {
            return true;
        }
        if (index >= text.size() || text[index] == '/') {
            return false;
        }
    }
}

bool globMatch(std::string_view pattern, std::string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    while (p < pattern.size()) {
        char c = pattern[p];
        if (c == '*') {
            const bool doubleStar = p + 1 < pattern.size() && pattern[p + 1] == '*';
            const bool partStart = p == 0 || pattern[p - 1] == '/';
            if (doubleStar && partStart && (p + 2 == pattern.size() || pattern[p + 2] == '/')) {
                return p + 2 == pattern.size() || matchAnyFolders(pattern.substr(p + 3), text.substr(t));
            }
            while (p < pattern.size() && pattern[p] == '*') {
                ++p;
            }
            return matchWithinPart(pattern.substr(p), text.substr(t));
        }
        if (t >= text.size()) {
            return false;
        }
        if (c == '?') {
            if (text[t] == '/') {
                return false;
            }
        } else if (c == '[') {
            bool matched = false;
            if (auto next = matchClass(pattern, p, text[t], matched)) {
                if (!matched || text[t] == '/') {
                    return false;
                }
                p = *next;
                ++t;
                continue;
            }
            if (text[t] != c) {
                return false;
            }
        } else {
            if (c == '\\' && p + 1 < pattern.size()) {
                c = pattern[++p];
            }
            if (text[t] != c) {
                return false;
            }
        }
        ++p;
        ++t;
    }
    return t == text.size();
}

std::string_view trimTrailingSpaces(std::string_view line) {
    while (!line.empty() && line.back() == ' ' && !(line.size() >= 2 && line[line.size() - 2] == '\\')) {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

std::optional<IgnorePattern> IgnorePattern::parse(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.empty() || line.front() == '#') {
        return std::nullopt;
    }
    IgnorePattern pattern;
    if (line.front() == '!') {
        pattern.negated_ = true;
        line.remove_prefix(1);
    }
    line = trimTrailingSpaces(line);
    if (!line.empty() && line.back() == '/') {
        pattern.folderOnly_ = true;
        line.remove_suffix(1);
    }
    pattern.anchored_ = line.find('/') != std::string_view::npos;
    if (!line.empty() && line.front() == '/') {
        line.remove_prefix(1);
    }
    if (line.empty()) {
        return std::nullopt;
    }
    pattern.glob_ = line;
    pattern.literal_ = line.find_first_of("*?[\\") == std::string_view::npos;
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
    return literal_ ? subject == glob_ : globMatch(glob_, subject);
}

} // namespace norvane::counter
