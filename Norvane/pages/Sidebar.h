#pragma once

#include <optional>

#include <QListView>
#include <QWidget>

#include "Norvane/pages/DashboardModel.h"
#include "Norvane/pages/SidebarModel.h"

namespace norvane::app {

class SidebarRowDelegate;

/// The main window's left column: the portfolio entry, the projects and the archived projects,
/// and the Add Project button under them.
class Sidebar : public QWidget {
    Q_OBJECT

public:
    explicit Sidebar(QWidget* parent = nullptr);

    /// Updates the rows from all projects in name order; the selection and the scroll position
    /// stay as they were, also when the selected project's row is gone.
    void setProjects(const DashboardModel::Projects& projects);
    void setSelection(const std::optional<SidebarSelection>& selection);
    const std::optional<SidebarSelection>& selection() const { return selection_; }
    /// Every row's text, top to bottom; section headers as drawn (upper case).
    QStringList rowTexts() const;
    /// Every row's text as drawn at the list's present width (long names cut).
    QStringList shownTexts() const;
    /// Every row's line of detail, top to bottom; empty for rows without one.
    QStringList detailTexts() const;
    QListView& list() const { return *list_; }

signals:
    void selectionChanged();
    void addProjectRequested();

private:
    void selectCurrentRow();

    SidebarModel model_;
    QListView* list_;
    SidebarRowDelegate* delegate_;
    std::optional<SidebarSelection> selection_ = SidebarSelection::portfolio();
    /// Set while the rows change: the view's own moves of its current row are not the user's.
    bool updatingRows_ = false;
};

} // namespace norvane::app
