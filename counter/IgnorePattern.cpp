#include "counter/IgnorePattern.h"

namespace norvane::counter {

namespace {

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

// Where the pattern goes on after the byte, "?" or class at pattern[p] matched `c`; none when it
// does not match. Only a "/" of the pattern matches a "/".
std::optional<std::size_t> matchByte(std::string_view pattern, std::size_t p, char c) {
    char expected = pattern[p];
    if (expected == '?') {
        return c != '/' ? std::optional(p + 1) : std::nullopt;
    }
    if (expected == '[') {
        bool matched = false;
        if (auto next = matchClass(pattern, p, c, matched)) {
            return matched && c != '/' ? next : std::nullopt;
        }
    } else if (expected == '\\' && p + 1 < pattern.size()) {
        expected = pattern[++p];
    }
    return c == expected ? std::optional(p + 1) : std::nullopt;
}

bool isFolderStars(std::string_view pattern, std::size_t p) {
    return pattern.substr(p, 2) == "**" && (p == 0 || pattern[p - 1] == '/') &&
           (p + 2 == pattern.size() || pattern[p + 2] == '/');
}

// A pattern and the text from where it goes on after a backtrack.
struct Resume {
    std::size_t pattern = std::string_view::npos;
    std::size_t text = 0;

    bool isSet() const { return pattern != std::string_view::npos; }
};

// Time linear in the text for a given pattern. Since only a "/" matches a "/", a "*" can only
// grow within its path part: the latest "*" is the one place to come back to, and it is dropped
// once a "/" has matched. A "**/" (zero or more whole folders) keeps one place to come back to
// as well: the latest one can take up any folders that an earlier one would have taken.
bool globMatch(std::string_view pattern, std::string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    Resume star;
    Resume folders;
    for (;;) {
        if (p < pattern.size() && pattern[p] == '*') {
            if (isFolderStars(pattern, p)) {
                if (p + 2 == pattern.size()) {
                    return true; // "/**" at the end: everything inside
                }
                p += 3;
                folders = {p, t};
                star = {};
                continue;
            }
            while (p < pattern.size() && pattern[p] == '*') {
                ++p;
            }
            star = {p, t};
            continue;
        }
        if (p == pattern.size() && t == text.size()) {
            return true;
        }
        if (p < pattern.size() && t < text.size()) {
            if (const auto next = matchByte(pattern, p, text[t])) {
                if (text[t] == '/') {
                    star = {};
                }
                p = *next;
                ++t;
                continue;
            }
        }
        if (star.isSet() && star.text < text.size() && text[star.text] != '/') {
            p = star.pattern;
            t = ++star.text;
        } else if (const auto slash = folders.isSet() ? text.find('/', folders.text) : std::string_view::npos;
                   slash != std::string_view::npos) {
            folders.text = slash + 1;
            p = folders.pattern;
            t = folders.text;
            star = {};
        } else {
            return false;
        }
    }
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
