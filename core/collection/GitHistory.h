#pragma once

#include "core/collection/DayBooking.h"
#include "core/collection/GitCommit.h"

#include "platform/Date.h"

#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// What one pass over a repository's log gives the history import.
struct GitHistory {
    /// HEAD's history with line counts, by author date, oldest first (commits of one date in git's
    /// order), so that running sums grow with the dates they are booked on.
    std::vector<GitCommit> commits;
    /// Every commit of HEAD and the local branches, once, on the day it is booked.
    BookedDays days;
    /// HEAD's commit, as getLatestCommit gives it.
    std::optional<GitCommit> head;
    /// The earliest moment a commit is booked at: the history's first day as `days` counts them.
    std::optional<platform::Date> firstBookedAt;
    /// The repository is a shallow clone: its oldest commits stand for history it does not hold,
    /// so their changes are left out of `commits`' counts and of `days`.
    bool shallow = false;
    /// What makes the history a cycle (a replacement or a graft), which git lists by date alone.
    std::optional<std::string> cycle;
    /// How such a history is read, as its warning says after what makes the cycle.
    static constexpr const char* cycleRead = ", which git orders by date alone: its commits are counted as git log "
                                             "lists them";
};

} // namespace norvane
