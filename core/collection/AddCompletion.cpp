#include "core/collection/AddCompletion.h"

#include "core/models/BookedHistory.h"
#include "core/models/Snapshot.h"

#include <filesystem>

namespace norvane::AddCompletion {

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
