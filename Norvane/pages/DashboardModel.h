#pragma once

#include <optional>
#include <vector>

#include <QString>

#include "core/reads/ProjectListing.h"

namespace norvane::app {

/// A sidebar entry: the portfolio, or one project by id.
struct SidebarSelection {
    enum class Kind { portfolio, project };

    Kind kind = Kind::portfolio;
    platform::Uuid projectId{};

    static SidebarSelection portfolio() { return {}; }
    static SidebarSelection project(platform::Uuid id) { return {Kind::project, id}; }

    bool operator==(const SidebarSelection& other) const {
        return kind == other.kind && (kind == Kind::portfolio || projectId == other.projectId);
    }
};

/// What the main window's detail pane shows.
struct DetailPage {
    enum class Kind { none, portfolio, project, projectNotFound };

    Kind kind = Kind::none;
    /// The chosen project as listed, for a project page.
    std::optional<ProjectListing> project;
};

/// The main window's decisions, from the project list, the selection and the collection state.
class DashboardModel {
public:
    using Projects = std::vector<ProjectListing>;

    /// Not archived, newest latest commit first; undated ones last; ties keep the given order.
    static Projects activeProjects(const Projects& projects);
    /// Archived, in the given order.
    static Projects archivedProjects(const Projects& projects);
    /// True when the sidebar shows the "Get Started" block instead of the sections.
    static bool showsEmptyState(const Projects& projects);
    static DetailPage detailPage(const std::optional<SidebarSelection>& selection, const Projects& projects);
    static bool isRefreshEnabled(bool isCollecting, const Projects& projects);
};

} // namespace norvane::app
