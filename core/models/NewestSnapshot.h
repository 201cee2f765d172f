#pragma once

#include "core/models/Snapshot.h"

#include <memory>

namespace norvane {

/// The project's newest snapshot of any type; of equal times, the one listed first. Null without one.
std::shared_ptr<Snapshot> newestSnapshot(const Project& project);

/// The project's newest snapshot that is not a history sample (any type text other than
/// "gitHistory" counts as a code count); of equal times, the one listed first. Null without one.
std::shared_ptr<Snapshot> newestCodeSnapshot(const Project& project);

} // namespace norvane
