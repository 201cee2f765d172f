#pragma once

#include "core/collection/GitActivityStats.h"
#include "core/collection/GitCommit.h"
#include "platform/Date.h"

#include <map>
#include <optional>

namespace norvane {

/// What a collection reads of a repository's recent history: the newest commit, and the activity
/// of each local day with commits from a date on, keyed by the start of that day.
struct GitRecentActivity {
    std::optional<GitCommit> newest;
    std::map<platform::Date, GitActivityStats> days;

    bool operator==(const GitRecentActivity&) const = default;
};

} // namespace norvane
