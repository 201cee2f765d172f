#include "Norvane/pages/DashboardModel.h"

#include <algorithm>

namespace norvane::app {

DashboardModel::Projects DashboardModel::activeProjects(const Projects& projects) {
    Projects active;
    std::copy_if(projects.begin(), projects.end(), std::back_inserter(active),
                 [](const auto& listing) { return listing.project.status != ProjectStatus::archived; });
    std::stable_sort(active.begin(), active.end(), [](const auto& a, const auto& b) {
        return a.project.latestCommitAt.value_or(platform::Date::min()) >
               b.project.latestCommitAt.value_or(platform::Date::min());
    });
    return active;
}

DashboardModel::Projects DashboardModel::archivedProjects(const Projects& projects) {
    Projects archived;
    std::copy_if(projects.begin(), projects.end(), std::back_inserter(archived),
                 [](const auto& listing) { return listing.project.status == ProjectStatus::archived; });
    return archived;
}

bool DashboardModel::showsEmptyState(const Projects& projects) { return projects.empty(); }

DetailPage DashboardModel::detailPage(const std::optional<SidebarSelection>& selection, const Projects& projects) {
    if (!selection) return {DetailPage::Kind::none, std::nullopt};
    if (selection->kind == SidebarSelection::Kind::portfolio) return {DetailPage::Kind::portfolio, std::nullopt};
    const auto found = std::find_if(projects.begin(), projects.end(),
                                    [&](const auto& listing) { return listing.project.id == selection->projectId; });
    if (found == projects.end()) return {DetailPage::Kind::projectNotFound, std::nullopt};
    return {DetailPage::Kind::project, *found};
}

bool DashboardModel::isRefreshEnabled(bool isCollecting, const Projects& projects) {
    return !isCollecting && !projects.empty();
}

} // namespace norvane::app
