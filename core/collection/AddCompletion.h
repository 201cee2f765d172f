#pragma once

#include "core/models/Project.h"

#include "platform/persistence/ModelContext.h"

#include <memory>

namespace norvane {

/// Whether a project's add finished. An add is complete once the project's history was imported
/// whole; a repository whose add was interrupted has neither what its rows were booked from nor a
/// history series, and the next collection imports it. Reads the store and the folder, never git.
namespace AddCompletion {

bool isUnfinished(platform::ModelContext& context, const std::shared_ptr<Project>& project);
/// Whether the project's history was imported from a repository: it has what its rows were booked
/// from, or a history series. Reads only the store.
bool wasRepository(platform::ModelContext& context, const std::shared_ptr<Project>& project);

} // namespace AddCompletion
} // namespace norvane
