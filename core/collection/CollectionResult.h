#pragma once

#include "core/collection/CollectionError.h"
#include "core/models/DailyActivity.h"
#include "core/models/Snapshot.h"

#include <memory>
#include <optional>
#include <string>

namespace norvane {

/// The outcome of collecting one project. A failure travels here instead of being thrown.
struct CollectionResult {
    std::string projectName;
    std::string projectPath; ///< empty when the project was not found
    /// The new "scc" snapshot; absent when none was stored.
    std::shared_ptr<Snapshot> snapshot;
    /// Today's activity row when this collection stored it.
    std::shared_ptr<DailyActivity> dailyActivity;
    std::optional<CollectionError> error;
    /// What the code count could not read and left out, as the counter said it; the rest was
    /// counted and stored, so this is no failure.
    std::optional<std::string> warning;

    bool isSuccess() const { return !error && snapshot != nullptr; }
};

} // namespace norvane
