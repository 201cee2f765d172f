#pragma once

#include "core/collection/GitActivityStats.h"
#include "core/collection/GitCommit.h"

#include "platform/Date.h"

#include <map>
#include <optional>
#include <vector>

namespace norvane {

/// What one pass over a repository's log gives the history import.
struct GitHistory {
    /// Every commit with its line counts, by author date, oldest first (commits of one date in
    /// git's order), so that running sums grow with the dates they are booked on.
    std::vector<GitCommit> commits;
    /// The activity of each local day with commits, by committer date as the daily collection
    /// counts it, keyed by the start of the day.
    std::map<platform::Date, GitActivityStats> days;
    /// The earliest committer date: the history's first day as `days` counts them.
    std::optional<platform::Date> firstCommittedAt;
    /// The repository is a shallow clone: its oldest commits stand for history it does not hold,
    /// so their changes are left out of `commits`' counts and of `days`.
    bool shallow = false;
};

} // namespace norvane
