#pragma once

#include <optional>

#include <QListWidget>
#include <QWidget>

#include "Norvane/pages/DashboardModel.h"

namespace norvane::app {

/// The main window's left column: the portfolio entry, the projects and the archived projects,
/// and the Add Project button under them.
class Sidebar : public QWidget {
    Q_OBJECT

public:
    explicit Sidebar(QWidget* parent = nullptr);

    /// Rebuilds the rows from all projects in name order; the selection stays as it was.
    void setProjects(const DashboardModel::Projects& projects);
    void setSelection(const std::optional<SidebarSelection>& selection);
    const std::optional<SidebarSelection>& selection() const { return selection_; }
    /// Every row's text, top to bottom; section headers as drawn (upper case).
    QStringList rowTexts() const;

signals:
    void selectionChanged();
    void addProjectRequested();

private:
    void addRow(const QString& text, const QString& symbolName, std::optional<SidebarSelection> value);
    void addHeader(const QString& title);
    void addEmptyState();
    void selectCurrentRow();

    QListWidget* list_;
    std::optional<SidebarSelection> selection_ = SidebarSelection::portfolio();
    std::vector<std::optional<SidebarSelection>> rowValues_;
};

} // namespace norvane::app
