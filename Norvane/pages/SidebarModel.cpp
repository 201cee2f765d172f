#include "Norvane/pages/SidebarModel.h"

#include <algorithm>

#include "Norvane/pages/ProjectRowModel.h"

namespace norvane::app {

std::optional<SidebarSelection> SidebarModel::Row::selection() const {
    if (kind == RowKind::portfolio) return SidebarSelection::portfolio();
    if (kind == RowKind::project) return SidebarSelection::project(project->project.id);
    return std::nullopt;
}

bool SidebarModel::Row::isSameRow(const Row& other) const {
    if (kind != other.kind) return false;
    if (kind == RowKind::header) return text == other.text;
    if (kind == RowKind::project) return project->project.id == other.project->project.id;
    return true;
}

SidebarModel::SidebarModel(QObject* parent) : QAbstractListModel(parent) {}

std::vector<SidebarModel::Row> SidebarModel::rowsFor(const DashboardModel::Projects& projects) {
    std::vector<Row> rows{{RowKind::portfolio, QStringLiteral("Portfolio"), std::nullopt}};
    if (DashboardModel::showsEmptyState(projects)) {
        rows.push_back({RowKind::emptyState, QStringLiteral("Get Started"), std::nullopt});
        return rows;
    }
    const auto addSection = [&rows](const QString& title, const DashboardModel::Projects& members) {
        rows.push_back({RowKind::header, title, std::nullopt});
        for (const auto& listing : members)
            rows.push_back({RowKind::project, QString::fromStdString(listing.project.name), listing});
    };
    addSection(QStringLiteral("Projects"), DashboardModel::activeProjects(projects));
    const auto archived = DashboardModel::archivedProjects(projects);
    if (!archived.empty()) addSection(QStringLiteral("Archived"), archived);
    return rows;
}

void SidebarModel::setProjects(const DashboardModel::Projects& projects) {
    const auto wanted = rowsFor(projects);
    for (auto position = rows_.size(); position-- > 0;) {
        const bool kept =
            std::any_of(wanted.begin(), wanted.end(), [&](const Row& row) { return row.isSameRow(rows_[position]); });
        if (kept) continue;
        beginRemoveRows({}, int(position), int(position));
        rows_.erase(rows_.begin() + std::ptrdiff_t(position));
        endRemoveRows();
    }
    for (std::size_t position = 0; position < wanted.size(); ++position) place(position, wanted[position]);
    // Every row is handed its fresh listing: what a row shows may have changed with any save.
    if (!rows_.empty()) emit dataChanged(index(0), index(rowCount() - 1));
}

void SidebarModel::place(std::size_t position, const Row& row) {
    const auto found = std::find_if(rows_.begin() + std::ptrdiff_t(position), rows_.end(),
                                    [&](const Row& existing) { return existing.isSameRow(row); });
    if (found == rows_.end()) {
        beginInsertRows({}, int(position), int(position));
        rows_.insert(rows_.begin() + std::ptrdiff_t(position), row);
        endInsertRows();
        return;
    }
    const auto from = std::size_t(found - rows_.begin());
    if (from != position) {
        beginMoveRows({}, int(from), int(from), {}, int(position));
        std::rotate(rows_.begin() + std::ptrdiff_t(position), found, found + 1);
        endMoveRows();
    }
    rows_[position] = row;
}

std::optional<int> SidebarModel::rowOf(const SidebarSelection& selection) const {
    for (std::size_t position = 0; position < rows_.size(); ++position) {
        if (rows_[position].selection() == selection) return int(position);
    }
    return std::nullopt;
}

int SidebarModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

QVariant SidebarModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: return row.kind == RowKind::header ? row.text.toUpper() : row.text;
    default: return row.kind == RowKind::project ? projectData(*row.project, role) : QVariant();
    }
}

QVariant SidebarModel::projectData(const ProjectListing& listing, int role) {
    const auto now = platform::currentDate();
    if (role == dotColorRole) return ProjectRowModel::statusColor(listing.project, now);
    if (role != detailRole) return {};
    const auto detail = ProjectRowModel::detailText(listing.project, listing.commitSummary, now);
    return detail ? QVariant(*detail) : QVariant();
}

Qt::ItemFlags SidebarModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !row(index.row()).selection()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace norvane::app
