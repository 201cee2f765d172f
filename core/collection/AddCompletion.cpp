#include "core/collection/AddCompletion.h"

#include "core/models/BookedHistory.h"
#include "core/models/Snapshot.h"

#include <filesystem>

namespace norvane::AddCompletion {

bool isUnfinished(platform::ModelContext& context, const std::shared_ptr<Project>& project) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::path(project->path) / ".git", error)) {
        return false;
    }
    if (!context.fetch<BookedHistory>({.predicate = BookedHistoryField::project == project, .limit = 1}).empty()) {
        return false;
    }
    // A history imported before the rows kept what they were booked from: its add was complete.
    return context
        .fetch<Snapshot>(
            {.predicate = SnapshotField::project == project &&
                          SnapshotField::snapshotTypeRaw == std::string(platform::rawValue(SnapshotType::gitHistory)),
             .limit = 1})
        .empty();
}

} // namespace norvane::AddCompletion
