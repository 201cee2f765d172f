#pragma once

#include <memory>

#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/state/AppState.h"
#include "Norvane/state/UpdaterController.h"
#include "Norvane/state/UserNotificationCenter.h"
#include "platform/persistence/ModelContainer.h"

class QApplication;
class QMainWindow;
class QMenuBar;

namespace norvane::app {

class DashboardView;
class MenuBarView;

/// Owns what lives as long as the application: the store, the updater, the one application state,
/// the main windows, the tray icon with its panel, and the settings window.
class ApplicationController : public QObject {
    Q_OBJECT

public:
    ApplicationController(QApplication& application, std::shared_ptr<platform::ModelContainer> container);
    ~ApplicationController() override;

    AppState& appState() { return *appState_; }
    MenuBarView& panel() { return *panel_; }
    DashboardView* openMainWindow();
    /// Brings the first main window titled "Norvane", or the active one, to the front; opens a
    /// new one when there is none (a closed window cannot be reopened from anywhere else here).
    void openDashboard();
    void showSettingsWindow();

private:
    void buildMenus(QMenuBar& menuBar);
    void presentOnboardingIfNeeded(DashboardView& window);
    void showOnboarding(DashboardView& window);
    void installCommandLineTool();
    void uninstallCommandLineTool();
    void showPanel();

    QApplication& application_;
    std::shared_ptr<platform::ModelContainer> container_;
    UpdaterController updaterController_;
    UserNotificationCenter notificationCenter_;
    QSystemTrayIcon trayIcon_;
    std::unique_ptr<AppState> appState_;
    std::unique_ptr<ProjectListModel> projects_;
    std::unique_ptr<MenuBarView> panel_;
    QPointer<QWidget> settingsWindow_;
    QPointer<QWidget> onboardingWizard_;
};

} // namespace norvane::app
