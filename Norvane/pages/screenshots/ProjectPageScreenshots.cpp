#include "Norvane/pages/screenshots/ProjectPageScreenshots.h"

#include <QAction>
#include <QDir>
#include <QScrollBar>

#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/ProjectDetailView.h"
#include "Norvane/pages/ProjectHeader.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/pages/screenshots/AppScreenshots.h"
#include "core/facade/NorvaneKit.h"

namespace norvane::app::ProjectPageScreenshots {
namespace {

using AppScreenshots::settle;
using Take = std::function<void(const QString& name, QWidget& widget)>;

ProjectDetailView* projectPage(DashboardView& window) { return window.findChild<ProjectDetailView*>(); }

/// Selects the project and waits until its page shows its values.
ProjectDetailView* openProject(DashboardView& window, const std::shared_ptr<Project>& project) {
    settle([&] {
        window.sidebar().setSelection(SidebarSelection::project(project->id));
        return window.detailPage().kind == DetailPage::Kind::project;
    });
    settle([&] {
        auto* page = projectPage(window);
        return page && page->project().id == project->id && page->isLoaded();
    });
    return projectPage(window);
}

/// A project added for one picture and removed after it, so the other pictures stay as they are.
/// The page is shown at its end.
template <typename Prepare>
void stageExtraProject(DashboardView& window, AppState& state, const std::string& name, const std::string& folder,
                       Prepare prepare, const QString& picture, const Take& take) {
    auto& kit = NorvaneKit::shared();
    auto project = kit.addProject(name, folder, std::nullopt, ProjectType::organic);
    prepare(name);
    // The window would hear of the change from the store file a moment later, and show
    // placeholders until its cache has read the project.
    state.refreshMetricsCache();
    settle([&] { return !state.isRefreshingMetrics(); });
    if (auto* page = openProject(window, project)) {
        page->verticalScrollBar()->setValue(page->verticalScrollBar()->maximum());
        settle();
    }
    take(picture, window);
    kit.deleteProject(project);
    // The window hears of it from the store file, a moment later: the pictures after this one
    // show the projects without it.
    settle([&] { return !window.sidebar().rowTexts().contains(QString::fromStdString(name)); });
}

} // namespace

void stage(ApplicationController& controller, DashboardView& window, const Take& take) {
    const auto projects = NorvaneKit::shared().listProjects();
    if (projects.empty()) return;
    auto* page = openProject(window, projects.front());
    if (!page) return;
    take(QStringLiteral("project-page.png"), window);

    for (const auto section :
         {ProjectSection::trends, ProjectSection::outputComposition, ProjectSection::velocityRetention,
          ProjectSection::milestones, ProjectSection::costEstimates, ProjectSection::latestCommit}) {
        page->section(section).setExpanded(true);
    }
    settle();
    take(QStringLiteral("project-page-sections.png"), *page->widget());
    const QSize usual = window.size();
    window.resize(window.minimumSize());
    settle();
    take(QStringLiteral("project-page-minimum.png"), *page->widget());
    window.resize(usual);

    page->header().collectMetricsAction().trigger();
    auto& state = controller.appState();
    // The collection's save makes the page read its figures again: the picture shows them read.
    settle([&] {
        const auto* shown = projectPage(window);
        return state.collectionProgress() && state.collectionProgress()->phase == CollectionProgress::Phase::complete &&
               shown && shown->isLoaded();
    });
    take(QStringLiteral("project-page-collected.png"), window);
    settle([&] { return !state.isCollecting(); });

    stageExtraProject(
        window, state, "history-only", projects.front()->path,
        [](const std::string& name) { NorvaneKit::shared().collectHistory(name); },
        QStringLiteral("project-page-history-only.png"), take);
    stageExtraProject(
        window, state, "just-added", QDir::homePath().toStdString(), [](const std::string&) {},
        QStringLiteral("project-page-no-data.png"), take);
}

} // namespace norvane::app::ProjectPageScreenshots
