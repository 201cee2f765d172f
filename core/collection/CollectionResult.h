#pragma once

#include "core/collection/CollectionError.h"
#include "core/models/DailyActivityInfo.h"
#include "core/models/ProjectInfo.h"
#include "core/models/SnapshotInfo.h"

#include <optional>
#include <string>

namespace norvane {

/// The outcome of collecting one project, as plain values copied where it was collected, so that
/// any thread may keep them. A failure travels here instead of being thrown.
struct CollectionResult {
    std::string projectName;
    std::string projectPath; ///< empty when the project was not found
    /// The new "scc" snapshot, which is the project's newest code count; none when none was stored.
    std::optional<SnapshotInfo> snapshot;
    /// Today's activity row when this collection stored it.
    std::optional<DailyActivityInfo> dailyActivity;
    /// The project as the collection left it, when it stored a snapshot.
    std::optional<ProjectInfo> project;
    std::optional<CollectionError> error;
    /// What the code count could not read and left out, as the counter said it; the rest was
    /// counted and stored, so this is no failure.
    std::optional<std::string> warning;
    /// Another program removed the project while it was collected: nothing of it was kept, and
    /// that is no failure of the collection.
    bool projectRemoved = false;

    bool isSuccess() const { return !error && snapshot.has_value(); }
    /// Neither collected nor removed meanwhile.
    bool isFailure() const { return !projectRemoved && !isSuccess(); }
};

} // namespace norvane
