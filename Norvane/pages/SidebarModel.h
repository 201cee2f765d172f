#pragma once

#include <optional>
#include <vector>

#include <QAbstractListModel>

#include "Norvane/pages/DashboardModel.h"

namespace norvane::app {

/// The sidebar's rows: the portfolio entry, then either the "Get Started" block or the "Projects"
/// section and, when there are archived projects, the "Archived" section. A new project list
/// updates the rows in place (changed, moved, inserted, removed), never by a reset, so that a view
/// keeps its selection and its scroll position.
class SidebarModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum class RowKind { portfolio, header, emptyState, project };
    /// A project row's line of detail (none without one) and the colour of its dot.
    enum Role { detailRole = Qt::UserRole + 1, dotColorRole };

    /// One row; a project row's text is the project's name, a header's its title as written.
    struct Row {
        RowKind kind = RowKind::portfolio;
        QString text;
        /// A project row's project.
        std::optional<ProjectListing> project;

        /// The entry the row selects; none for headers and the "Get Started" block.
        std::optional<SidebarSelection> selection() const;
        /// Whether both rows stand for the same thing (the same project, the same header).
        bool isSameRow(const Row& other) const;
    };

    explicit SidebarModel(QObject* parent = nullptr);

    void setProjects(const DashboardModel::Projects& projects);
    const Row& row(int index) const { return rows_.at(std::size_t(index)); }
    /// The row that selects `selection`, if one does.
    std::optional<int> rowOf(const SidebarSelection& selection) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// The rows for all projects in name order.
    static std::vector<Row> rowsFor(const DashboardModel::Projects& projects);

private:
    void place(std::size_t position, const Row& row);

    static QVariant projectData(const ProjectListing& listing, int role);

    std::vector<Row> rows_;
};

} // namespace norvane::app
