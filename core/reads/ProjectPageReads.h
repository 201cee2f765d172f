#pragma once

#include "core/reads/ProjectPageData.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"

#include <memory>
#include <optional>

namespace norvane {

/// Reads the project page's values for one request as plain values: the history as points, the
/// newest snapshots' figures and the milestone averages in SQL, so no history is held as records.
class ProjectPageReads {
public:
    ProjectPageReads() = delete;

    /// Reads the request in one read transaction, so it may run on any thread; a milestone
    /// average among `known` is taken as it is. None when the project is gone. Throws the store's
    /// error.
    static std::optional<ProjectPageData> load(const std::shared_ptr<platform::ModelContainer>& store,
                                               const ProjectPageRequest& request, const MilestoneAverages& known,
                                               platform::Date now);
};

} // namespace norvane
