#pragma once

#include "core/collection/CollectionError.h"
#include "core/models/Project.h"
#include "core/models/SnapshotInfo.h"

#include "platform/Date.h"

#include <memory>
#include <optional>
#include <string>

namespace norvane {

/// The outcome of a new project's first collection and history import.
struct InitialCollectionResult {
    std::shared_ptr<Project> project;
    std::optional<SnapshotInfo> sccSnapshot;
    int historySnapshots = 0; ///< "gitHistory" snapshots stored
    int totalCommits = 0;     ///< every commit of the history, sampled or not
    std::optional<CollectionError> error;
    /// What the code count could not read and left out, as the counter said it.
    std::optional<std::string> warning;
    /// The history is a shallow clone's, starting at this date.
    std::optional<platform::Date> shallowHistoryFrom;

    bool isSuccess() const { return !error; }
};

} // namespace norvane
