#pragma once

#include "counter/Glob.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace norvane::counter {

/// One line of a .gitignore or .ignore file: a glob (see Glob), optionally negated ("!"), limited
/// to folders (trailing "/") or anchored to the file's folder (a "/" at the start or in the middle).
class IgnorePattern {
public:
    /// None for blank lines, comments and lines that name nothing.
    static std::optional<IgnorePattern> parse(std::string_view line);

    /// `relativePath` is the entry's path below the ignore file's folder, parts joined by "/".
    bool matches(std::string_view relativePath, bool isFolder) const;
    bool negated() const { return negated_; }

private:
    IgnorePattern() = default;

    /// The line itself when it holds no wildcard, compared as it stands.
    std::string literal_;
    /// Apart, so that the many plain lines of a long ignore file take little memory each.
    std::unique_ptr<const Glob> glob_;
    bool negated_ = false;
    bool folderOnly_ = false;
    bool anchored_ = false;
};

} // namespace norvane::counter
