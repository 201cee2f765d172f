#pragma once

#include "counter/IgnorePattern.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <string_view>

namespace norvane::counter {

/// The ignore patterns in force inside one folder: those of its own .gitignore and .ignore files,
/// then those of the folders above it. A deeper file overrides a higher one, and within a folder
/// the last matching line decides. Shared, immutable, between the threads that walk below it.
class IgnoreRules {
public:
    /// `baseLength` is how many leading bytes of a path from the walk's root name this folder
    /// (with its trailing "/"), so that the rest is the path relative to it.
    IgnoreRules(std::shared_ptr<const IgnoreRules> parent, std::size_t baseLength);

    /// Adds the lines of one whole ignore file, which a byte-order mark may start; later lines take
    /// precedence over earlier ones.
    void addPatterns(std::string_view contents);
    bool empty() const { return patterns_.empty(); }

    /// `pathFromRoot` is the entry's path from the walk's root, parts joined by "/".
    bool isIgnored(std::string_view pathFromRoot, bool isFolder) const;

private:
    std::shared_ptr<const IgnoreRules> parent_;
    std::size_t baseLength_;
    /// In blocks, as a long ignore file may hold millions: a vector that grows by doubling would
    /// take up to three times their room while it moves them.
    std::deque<IgnorePattern> patterns_;
};

} // namespace norvane::counter
