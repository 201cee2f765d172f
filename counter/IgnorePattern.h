#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace norvane::counter {

/// One line of a .gitignore or .ignore file: a glob with "*", "?", "[...]" and "**", optionally
/// negated ("!"), limited to folders (trailing "/") or anchored to the file's folder (a "/" at the
/// start or in the middle).
class IgnorePattern {
public:
    /// None for blank lines, comments and lines that name nothing.
    static std::optional<IgnorePattern> parse(std::string_view line);

    /// `relativePath` is the entry's path below the ignore file's folder, parts joined by "/".
    bool matches(std::string_view relativePath, bool isFolder) const;
    bool negated() const { return negated_; }

private:
    IgnorePattern() = default;

    std::string glob_;
    bool negated_ = false;
    bool folderOnly_ = false;
    bool anchored_ = false;
    bool literal_ = false;
};

} // namespace norvane::counter
