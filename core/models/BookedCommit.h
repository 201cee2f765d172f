#pragma once

#include "platform/Date.h"

#include <optional>
#include <string>

namespace norvane {

/// A commit that a project's daily activity counts. One dated after the moment it counts at keeps
/// its date: each collection books it anew, at its own moment, until its clock reads that date and
/// the commit counts on its own day.
struct BookedCommit {
    std::string hash;
    /// The commit's date, while it lies after the moment the commit counts at.
    std::optional<platform::Date> aheadUntil;

    bool operator==(const BookedCommit&) const = default;
};

} // namespace norvane
