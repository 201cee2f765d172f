#include "core/collection/AddCompletion.h"

#include "core/models/BookedHistory.h"
#include "core/models/Snapshot.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace norvane::AddCompletion {
namespace {

/// The file beside the store whose bytes mark the adds that run.
std::optional<std::filesystem::path> marksOf(platform::ModelContext& context) {
    const auto& store = context.container()->file();
    if (!store) return std::nullopt;
    return store->string() + "-adds";
}

/// The project's byte of that file: from its random id, so that no two projects share one.
std::uint64_t byteOf(const Project& project) {
    std::uint64_t byte = 0;
    for (std::size_t index = 0; index < sizeof(byte); ++index) byte = byte << 8 | project.id.bytes()[index];
    return byte >> 2;
}

} // namespace

bool isInterrupted(platform::ModelContext& context, const std::shared_ptr<Project>& project) {
    return isUnfinished(context, project) && !isRunning(context, *project);
}

bool isRunning(platform::ModelContext& context, const Project& project) {
    const auto marks = marksOf(context);
    return marks && platform::RunningMark::isHeld(*marks, byteOf(project));
}

platform::RunningMark markRunning(platform::ModelContext& context, const Project& project) {
    const auto marks = marksOf(context);
    return marks ? platform::RunningMark(*marks, byteOf(project)) : platform::RunningMark();
}

bool isUnfinished(platform::ModelContext& context, const std::shared_ptr<Project>& project) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(project->path) / ".git", error) &&
           !wasRepository(context, project);
}

bool wasRepository(platform::ModelContext& context, const std::shared_ptr<Project>& project) {
    if (!context.fetch<BookedHistory>({.predicate = BookedHistoryField::project == project, .limit = 1}).empty()) {
        return true;
    }
    // A history imported before the rows kept what they were booked from.
    return !context
                .fetch<Snapshot>({.predicate = SnapshotField::project == project &&
                                               SnapshotField::snapshotTypeRaw ==
                                                   std::string(platform::rawValue(SnapshotType::gitHistory)),
                                  .limit = 1})
                .empty();
}

} // namespace norvane::AddCompletion
