#pragma once

#include "core/models/Project.h"

#include "platform/RunningMark.h"
#include "platform/persistence/ModelContext.h"

#include <memory>

namespace norvane {

/// Whether a project's add finished. An add is complete once the project's history was imported
/// whole; a repository whose add is unfinished has neither what its rows were booked from nor a
/// history series, and the next collection imports it. Reads the store and the folder, never git.
/// An unfinished add whose first collection still runs says so beside the store (`markRunning`),
/// to the other programs and this one's other connections; one that no program runs any more was
/// interrupted.
namespace AddCompletion {

bool isUnfinished(platform::ModelContext& context, const std::shared_ptr<Project>& project);
/// Unfinished, and its first collection runs no more: it ended before the history was imported.
bool isInterrupted(platform::ModelContext& context, const std::shared_ptr<Project>& project);
/// Whether a program runs the project's first collection now, as its mark says.
bool isRunning(platform::ModelContext& context, const Project& project);
/// Says that the project's first collection runs, for as long as the mark lives; nothing for a store
/// in memory, which no other program reads.
platform::RunningMark markRunning(platform::ModelContext& context, const Project& project);
/// Whether the project's history was imported from a repository: it has what its rows were booked
/// from, or a history series. Reads only the store.
bool wasRepository(platform::ModelContext& context, const std::shared_ptr<Project>& project);

} // namespace AddCompletion
} // namespace norvane
