#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/state/AppState.h"
#include "Norvane/state/CommandLineTool.h"
#include "Norvane/state/UpdaterController.h"
#include "Norvane/state/UserNotificationCenter.h"
#include "core/facade/NorvaneKit.h"
#include "core/facade/NorvaneStore.h"
#include "platform/ChildProcesses.h"
#include "platform/NoWaits.h"

class QApplication;
class QMainWindow;
class QMenuBar;

namespace norvane::app {

class ApplicationEnding;
class CostSettingsSync;
class DashboardView;
class MenuBarView;
class SingleInstance;

/// Owns what lives as long as the application: the store, the updater, the one application state,
/// the main windows, the tray icon with its panel, and the settings window.
class ApplicationController : public QObject {
    Q_OBJECT

public:
    /// Whether the desktop shows tray icons now; tests answer for a desktop they do not have.
    using TrayAvailability = std::function<bool()>;

    /// The store over two connections of its own: the workers' (the figures' refresh and the
    /// derived rows it writes, the cost settings, the watch for changes), and the window's, which
    /// only the window's thread reads through and which never waits for another program there.
    struct Stores {
        NorvaneStore workers;
        NorvaneStore window;

        /// Opens both on the store file at its usual place; fails with the store's error.
        static Stores open();
    };

    /// `instance` is the copy of the application that later starts ask to come to the front;
    /// `ending` is what Quit, in the menu and the tray's panel, asks for; `commandLineTool` is where
    /// the menu links the tool, which tests keep in a folder of their own.
    ApplicationController(QApplication& application, Stores stores, SingleInstance& instance, ApplicationEnding& ending,
                          TrayAvailability isTrayAvailable = &QSystemTrayIcon::isSystemTrayAvailable,
                          CommandLineTool commandLineTool = CommandLineTool::standard());
    ~ApplicationController() override;

    /// Opens the store for the application's life, off the window's thread. Once the opening has
    /// taken half a second, a window says that the application waits for the store and offers to
    /// quit; while another program keeps the store locked, it tries again. A store that cannot be
    /// opened is reported as "Failed to create ModelContainer: " and the error, on standard error
    /// and in a dialog; the result is then none, as it is when the application is ended while it
    /// waits (its Quit, Ctrl+Q, a termination signal).
    static std::optional<Stores> openStore(ApplicationEnding& ending);
    /// Bounds what the application holds at once and keeps of what it freed, so that it does not
    /// grow by what its pages and their reads once held: the background works run on at most
    /// three threads, which share two allocator arenas, and large blocks go back to the system
    /// when freed. First in main, before any thread starts.
    static void limitHeldMemory();
    /// Qt's file dialogs keep the folders the user browsed, project folders among them, in
    /// QtProject.conf beside Norvane's settings: the file is the user's alone, as Norvane's own
    /// files are, before a dialog first writes it. Its folder is the user's configuration folder,
    /// not Norvane's to change. In main, with the settings made private.
    static void keepFileDialogHistoryPrivate();

    AppState& appState() { return *appState_; }
    /// The workers' store, for work handed to a worker.
    const NorvaneStore& store() const { return stores_.workers; }
    /// Keeps the store's cost parameters equal to the preferences, whichever window changes them.
    const std::shared_ptr<CostSettingsSync>& costSettings() const { return costSettings_; }
    MenuBarView& panel() { return *panel_; }
    QSystemTrayIcon& trayIcon() { return trayIcon_; }
    DashboardView* openMainWindow();
    /// Brings the first main window titled "Norvane", or the active one, to the front, restored
    /// if it was minimised; opens a new one when there is none (a closed window cannot be
    /// reopened from anywhere else here).
    void openDashboard();
    void showSettingsWindow();

private:
    void buildMenus(QMenuBar& menuBar);
    void presentOnboardingIfNeeded(DashboardView& window);
    void showOnboarding(QWidget& window);
    /// Installs or uninstalls the command-line tool, as `action` says, and tells how it went.
    void changeCommandLineTool(CommandLineTool::Action action);
    void setUpTray();
    /// Without a tray to come back through, the last window closing ends the program.
    void lastWindowClosed();
    void togglePanel();
    void showPanel();
    /// Where no notification service answers: a balloon by the tray icon, in the dark theme.
    void showTrayMessage(const QString& title, const QString& body);
    /// The facade that collections work through, opened at the first collection and tried again at
    /// each until it opens.
    NorvaneKit& collectionsKit();

    /// The window's thread never waits for another program over the store, from the first window
    /// to the last.
    platform::NoWaits::Scope windowThreadWaits_;
    /// From the quit on, until all that this controller owns is gone: no child program starts.
    std::optional<platform::ChildProcesses::StopAll> quitting_;
    QApplication& application_;
    ApplicationEnding& ending_;
    Stores stores_;
    TrayAvailability isTrayAvailable_;
    CommandLineTool commandLineTool_;
    UpdaterController updaterController_;
    UserNotificationCenter notificationCenter_;
    QSystemTrayIcon trayIcon_;
    /// Closed with the controller, after the collections that use it have ended, while an ending
    /// still keeps its close from waiting for another program.
    std::mutex collectionsKitMutex_;
    std::unique_ptr<NorvaneKit> collectionsKit_;
    std::unique_ptr<AppState> appState_;
    std::shared_ptr<CostSettingsSync> costSettings_;
    std::unique_ptr<ProjectListModel> projects_;
    std::unique_ptr<MenuBarView> panel_;
    /// Since the panel last closed: the click on the icon that closed it must not reopen it.
    QElapsedTimer panelClosed_;
    QPointer<QWidget> settingsWindow_;
    QPointer<QWidget> onboardingWizard_;
    QPointer<QWidget> trayBalloon_;
    /// While the tool is being installed or uninstalled: the menu offers neither again.
    bool changingTool_ = false;
};

} // namespace norvane::app
