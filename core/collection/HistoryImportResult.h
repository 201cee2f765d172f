#pragma once

#include "core/collection/CollectionError.h"

#include "platform/Date.h"

#include <optional>

namespace norvane {

/// The outcome of importing a project's history.
struct HistoryImportResult {
    /// Why a folder gave no history to import: `noCommitsOnBranch` for a checked-out branch without
    /// commits (an orphan branch) in a repository whose other branches have some.
    enum class NothingToImport { pathNotFound, unreadable, notGitRepository, noCommits, noCommitsOnBranch };

    int snapshotCount = 0; ///< "gitHistory" snapshots stored
    int totalCommits = 0;  ///< every commit read, sampled or not
    /// Set when nothing was imported because there was nothing to import; nothing changed.
    std::optional<NothingToImport> nothingToImport;
    /// The repository is a shallow clone whose history starts at this date; what came before is
    /// not counted.
    std::optional<platform::Date> shallowFrom;
    /// Git could not read the repository, or the snapshots could not be stored: `snapshotCount`
    /// is then 0 and the old history stands.
    std::optional<CollectionError> error;
};

} // namespace norvane
