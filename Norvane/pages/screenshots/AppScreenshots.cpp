#include "Norvane/pages/screenshots/AppScreenshots.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>

#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/MenuBarView.h"
#include "Norvane/pages/Sidebar.h"
#include "core/facade/NorvaneKit.h"

namespace norvane::app::AppScreenshots {
namespace {

constexpr int settleMilliseconds = 300;
constexpr int metricsTimeoutMilliseconds = 20'000;

/// Runs the event loop until `ready` holds, then a little longer so that every layout is done.
template <typename Ready>
void settle(Ready ready) {
    QElapsedTimer clock;
    clock.start();
    while (!ready() && clock.elapsed() < metricsTimeoutMilliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    clock.restart();
    while (clock.elapsed() < settleMilliseconds) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

DashboardView* mainWindow() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<DashboardView*>(widget); window && window->isVisible()) return window;
    }
    return nullptr;
}

} // namespace

QString bannerMessage() {
    QStringList failed;
    for (const char* name :
         {"atlas-api-gateway-and-billing", "harbor-web-customer-dashboard", "pylon-deployment-and-data-scripts",
          "billing-reports-exporter-nightly", "customer-notifications-service", "warehouse-inventory-sync-worker"}) {
        failed << QString::fromLatin1(name);
    }
    return QStringLiteral("Failed to collect: ") + failed.join(QStringLiteral(", "));
}

void stage(ApplicationController& controller, const std::function<void(const QString& name, QWidget& widget)>& take) {
    settle([&] { return controller.appState().metricsLoaded(); });
    auto* window = mainWindow();
    if (!window) return;
    take(QStringLiteral("main-window.png"), *window);

    const auto projects = NorvaneKit::shared().listProjects();
    if (!projects.empty()) window->sidebar().setSelection(SidebarSelection::project(projects.front()->id));
    controller.appState().setLastCollectionError(bannerMessage());
    settle([] { return true; });
    take(QStringLiteral("main-window-error-banner.png"), *window);
    controller.appState().setLastCollectionError(std::nullopt);

    auto& panel = controller.panel();
    panel.adjustSize();
    panel.move(window->geometry().topRight() - QPoint(panel.width(), 0));
    panel.show();
    settle([] { return true; });
    take(QStringLiteral("menu-bar-panel.png"), panel);
    panel.hide();
}

} // namespace norvane::app::AppScreenshots
