#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "core/reads/ProjectListing.h"
#include "platform/Date.h"

namespace norvane::app {

/// The menu-bar panel's figures, from all projects in name order and the current time.
class MenuBarModel {
public:
    using Projects = std::vector<ProjectListing>;

    enum class Status { collecting, lastCollected, noData };

    static Projects activeProjects(const Projects& projects);
    /// The code lines of each active project's newest snapshot, summed.
    static std::int64_t totalLines(const Projects& projects);
    /// "12.3x leverage", or empty when there is nothing to show.
    static QString leverageText(const Projects& projects, platform::Date now);
    /// When the newest snapshot of the active projects was taken; none without one.
    static std::optional<platform::Date> latestCollection(const Projects& projects);
    static Status collectionStatus(bool isCollecting, const Projects& projects);
    static bool isCollectEnabled(bool isCollecting, const Projects& projects);
};

} // namespace norvane::app
