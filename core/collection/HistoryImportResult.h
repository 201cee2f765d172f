#pragma once

#include "core/collection/CollectionError.h"

#include <optional>

namespace norvane {

/// The outcome of importing a project's history.
struct HistoryImportResult {
    int snapshotCount = 0; ///< "gitHistory" snapshots stored
    int totalCommits = 0;  ///< every commit read, sampled or not
    /// Git could not read the repository, or the snapshots could not be stored: `snapshotCount`
    /// is then 0 and the old history stands.
    std::optional<CollectionError> error;
};

} // namespace norvane
