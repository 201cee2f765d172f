#pragma once

#include "core/models/ProjectInfo.h"
#include "platform/Date.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace norvane {

/// A project as the application lists it: its stored fields and what its newest snapshots say,
/// read without its history.
struct ProjectListing {
    /// When a snapshot was taken and the code lines it counted.
    struct Moment {
        platform::Date capturedAt{};
        std::int64_t codeLines = 0;

        bool operator==(const Moment&) const = default;
    };

    ProjectInfo project;
    /// The newest snapshot of any type; of equal times, the one stored first. None without one.
    std::optional<Moment> newestSnapshot;
    /// The short hash and subject of the newest snapshot that carries a commit; none without one,
    /// or when that snapshot has no message.
    std::optional<CommitSummary> commitSummary;
    /// The add was interrupted before the history was imported (not one that still runs); the next
    /// collection finishes it.
    bool addUnfinished = false;
};

/// When the newest snapshot of the projects that are not archived was taken; none without one.
inline std::optional<platform::Date> newestCollection(const std::vector<ProjectListing>& listings) {
    std::optional<platform::Date> newest;
    for (const auto& listing : listings) {
        const auto& latest = listing.newestSnapshot;
        if (listing.project.status == ProjectStatus::archived || !latest) continue;
        if (!newest || latest->capturedAt > *newest) newest = latest->capturedAt;
    }
    return newest;
}

} // namespace norvane
