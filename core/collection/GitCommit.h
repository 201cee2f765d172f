#pragma once

#include "platform/Date.h"

#include <cstdint>
#include <string>

namespace norvane {

/// One commit as the git log gives it: its subject for display, its whole message for
/// attribution, and its line counts when they were asked for.
struct GitCommit {
    std::string hash;
    std::string message; ///< the subject line
    std::string author;
    platform::Date date; ///< the author date
    int64_t insertions = 0;
    int64_t deletions = 0;
    int64_t filesChanged = 0;
    /// Subject and body; empty when only the subject was read.
    std::string fullMessage;

    int64_t linesChanged() const { return insertions + deletions; }
    /// What the model attribution reads: the whole message when it is known, else the subject.
    const std::string& attributionText() const { return fullMessage.empty() ? message : fullMessage; }

    bool operator==(const GitCommit&) const = default;
};

} // namespace norvane
