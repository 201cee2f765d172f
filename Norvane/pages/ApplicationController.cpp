#include "Norvane/pages/ApplicationController.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QThreadPool>
#include <QTimer>

#include "Norvane/LogCategories.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/onboarding/OnboardingWizard.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/MenuBarView.h"
#include "Norvane/pages/PanelPlacement.h"
#include "Norvane/pages/TrayBalloon.h"
#include "Norvane/settings/CostSettingsSync.h"
#include "Norvane/settings/SettingsView.h"
#include "Norvane/state/AlertBox.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/BackgroundWork.h"
#include "Norvane/state/CLIInstaller.h"
#include "Norvane/state/CheckForUpdatesView.h"
#include "Norvane/state/CommandLineTool.h"
#include "Norvane/state/KitServices.h"
#include "Norvane/state/SingleInstance.h"
#include "core/facade/NorvaneKit.h"
#include "platform/FreedMemory.h"
#include "platform/PrivateFiles.h"

namespace norvane::app {
namespace {

constexpr int onboardingDelayMilliseconds = 500;
// Longer than a click takes to close the open panel and reach the icon beneath.
constexpr int panelReopenGuardMilliseconds = 300;
// The GUI thread's and one for the pages' reads: each arena keeps some of what was freed in it.
constexpr int allocatorArenas = 2;
// A page's reads side by side, each with a connection to the store and its page cache: more at once
// hold more memory at once and, on many cores, end no sooner.
constexpr int backgroundThreads = 3;
// Pictures, page caches and the rows of a long history: kept apart, they go when they are freed.
constexpr std::size_t largeBlockBytes = 128 * 1024;

QIcon trayIconImage() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(SymbolRegistry::font(56));
    painter.setPen(Palette::blue());
    painter.drawText(pixmap.rect(), Qt::AlignCenter, SymbolRegistry::text(QStringLiteral("chart.xyaxis.line")));
    return QIcon(pixmap);
}

constexpr int storeRetryMilliseconds = 1000;
constexpr int waitingWindowDelayMilliseconds = 500;
/// As a program ends, how long each of its connections that wrote waits for readers to let its
/// writes out of the log: together well within the ending's bound of two seconds.
constexpr std::chrono::milliseconds readersWaitAtClose{800};

/// Opens the stores off the window's thread, so that it stays alive while SQLite waits for a lock:
/// `ended` is set as the attempt returns or throws, before its result is ready, and the window's
/// thread is woken. An ending stops the attempt's waits.
std::future<ApplicationController::Stores> openOffTheWindowsThread(std::atomic<bool>& ended) {
    return std::async(std::launch::async, [&ended] {
        struct MarkEnded {
            std::atomic<bool>& ended;
            ~MarkEnded() {
                ended = true;
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
            }
        } markEnded{ended};
        return ApplicationController::Stores::open();
    });
}

/// Handles the window's events, sleeping between them, until `done` holds or an ending begins. Not a
/// nested event loop: one that an earlier ending has left returns at once.
void handleEventsUntil(const std::function<bool()>& done, const ApplicationEnding& ending) {
    while (!done() && !ending.isUnderway()) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

} // namespace

ApplicationController::Stores ApplicationController::Stores::open() {
    auto workers = NorvaneStore::open();
    auto window = workers.separateConnection();
    // The application's writes leave the log beside the store empty as it ends, once readers let go.
    workers.waitForReadersAtClose(readersWaitAtClose);
    return {std::move(workers), std::move(window)};
}

std::optional<ApplicationController::Stores> ApplicationController::openStore(ApplicationEnding& ending) {
    QProgressDialog waiting(QStringLiteral("Waiting for the Norvane store..."), QStringLiteral("Quit"), 0, 0);
    connect(&waiting, &QProgressDialog::canceled, &ending, &ApplicationEnding::end);
    waiting.setWindowTitle(QStringLiteral("Norvane"));
    // Its bar, which could only say that nothing is known of the wait's end, would be drawn again and
    // again for the whole wait.
    auto* bar = new QProgressBar;
    waiting.setBar(bar);
    bar->hide();
    waiting.setMinimumDuration(0);
    waiting.reset();
    // An opening takes a moment; one that takes longer waits for another program, and says so.
    QTimer showWaiting;
    showWaiting.setSingleShot(true);
    connect(&showWaiting, &QTimer::timeout, &waiting, &QWidget::show);
    showWaiting.start(waitingWindowDelayMilliseconds);
    while (true) {
        std::atomic<bool> ended{false};
        auto attempt = openOffTheWindowsThread(ended);
        handleEventsUntil([&ended] { return ended.load(); }, ending);
        if (ending.isUnderway()) return std::nullopt;
        try {
            return attempt.get();
        } catch (const NorvaneStore::BusyError& error) {
            qCWarning(pagesLog) << "Waiting for the store:" << error.what();
            waiting.setLabelText(
                QStringLiteral("Waiting for the Norvane store, which another program keeps locked..."));
            waiting.show();
        } catch (const std::exception& error) {
            const auto message = DashboardView::storeFailureText(error.what());
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
            // Closed, it would count as the user's Quit.
            showWaiting.stop();
            waiting.hide();
            AlertBox::run(QMessageBox::Critical, QStringLiteral("Norvane"), message);
            return std::nullopt;
        }
        QTimer pause;
        pause.setSingleShot(true);
        pause.start(storeRetryMilliseconds);
        handleEventsUntil([&pause] { return !pause.isActive(); }, ending);
        if (ending.isUnderway()) return std::nullopt;
    }
}

void ApplicationController::limitHeldMemory() {
    platform::FreedMemory::limitArenas(allocatorArenas);
    platform::FreedMemory::mapLargeBlocksApart(largeBlockBytes);
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(std::min(pool->maxThreadCount(), backgroundThreads));
}

void ApplicationController::keepFileDialogHistoryPrivate() {
    const std::filesystem::path file =
        QSettings(QSettings::UserScope, QStringLiteral("QtProject")).fileName().toStdString();
    try {
        platform::PrivateFiles::createFolder(file.parent_path());
        platform::PrivateFiles::tighten(file);
        // Qt then rewrites it with the mode it finds.
        platform::PrivateFiles::createFile(file);
    } catch (const std::filesystem::filesystem_error& error) {
        qCWarning(pagesLog) << "Cannot keep the file dialogs' history private:" << error.what();
    }
}

ApplicationController::ApplicationController(QApplication& application, Stores stores, SingleInstance& instance,
                                             ApplicationEnding& ending, TrayAvailability isTrayAvailable,
                                             CommandLineTool commandLineTool)
    : application_(application), ending_(ending), stores_(std::move(stores)),
      isTrayAvailable_(std::move(isTrayAvailable)), commandLineTool_(std::move(commandLineTool)),
      updaterController_(QString::fromUtf8(NorvaneKit::version.data(), qsizetype(NorvaneKit::version.size()))),
      notificationCenter_([this](const QString& title, const QString& body) { showTrayMessage(title, body); }) {
    AppState::Services services{
        std::make_shared<KitCollectionService>([this]() -> NorvaneKit& { return collectionsKit(); }),
        // The rows a refresh rebuilds are saved through the connection that the application
        // watches, which knows them for its own derived writes.
        std::make_shared<KitMetricsSource>(stores_.workers), std::make_shared<SharedIndexClient>(),
        std::make_shared<Preferences>(std::make_shared<QSettings>()),
        [this](const QString& title, const QString& body) { notificationCenter_.post(title, body); },
        [this] { notificationCenter_.requestAuthorization(); }};
    services.store = stores_.workers;
    appState_ = std::make_unique<AppState>(std::move(services));
    // Values chosen while the store was out of reach, or at an ending that left no time to store
    // them, reach it from the start.
    costSettings_ = std::make_shared<CostSettingsSync>(appState_->preferences(), stores_.workers);
    projects_ = std::make_unique<ProjectListModel>(stores_.window, stores_.workers);
    panel_ = std::make_unique<MenuBarView>(*appState_, *projects_);
    panel_->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    connect(panel_.get(), &MenuBarView::openDashboardRequested, this, [this] {
        panel_->hide();
        openDashboard();
    });
    connect(panel_.get(), &MenuBarView::settingsRequested, this, [this] {
        panel_->hide();
        showSettingsWindow();
    });
    connect(panel_.get(), &MenuBarView::quitRequested, &ending_, &ApplicationEnding::end);
    setUpTray();
    connect(&instance, &SingleInstance::activationRequested, this, &ApplicationController::openDashboard);
    // An add or a collection ends as Ctrl-C ends the tool's: the counter or git that it waits for
    // is stopped, so the ending never waits for a whole count or history, and no other starts.
    connect(&ending_, &ApplicationEnding::begun, this, [this] {
        if (!quitting_) quitting_.emplace();
    });
    // The collection thread writes to the store: it must be done before the store closes.
    connect(&application_, &QApplication::aboutToQuit, this, [this] {
        if (!quitting_) quitting_.emplace();
        appState_->waitForCollection();
    });
    openMainWindow();
}

ApplicationController::~ApplicationController() {
    appState_->waitForCollection();
    // The windows show the state and the project list; they go before them. The settings window
    // also finishes its writes to the store, which closes after this.
    delete settingsWindow_;
    QList<QPointer<DashboardView>> windows;
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<DashboardView*>(widget)) windows << window;
    }
    qDeleteAll(windows);
}

DashboardView* ApplicationController::openMainWindow() {
    auto* window = new DashboardView(*appState_, *projects_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    buildMenus(*window->menuBar());
    connect(window, &DashboardView::appeared, this, [this, window] { presentOnboardingIfNeeded(*window); });
    connect(window, &DashboardView::settingsRequested, this, &ApplicationController::showSettingsWindow);
    window->show();
    return window;
}

void ApplicationController::openDashboard() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<DashboardView*>(widget);
        if (window && window->isVisible() &&
            (window->windowTitle() == QStringLiteral("Norvane") || window->isActiveWindow())) {
            window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
            window->raise();
            window->activateWindow();
            return;
        }
    }
    openMainWindow()->activateWindow();
}

void ApplicationController::buildMenus(QMenuBar& menuBar) {
    auto* appMenu = menuBar.addMenu(QStringLiteral("&Norvane"));
    appMenu->addAction(QStringLiteral("&Settings..."), QKeySequence(Qt::CTRL | Qt::Key_Comma), this,
                       &ApplicationController::showSettingsWindow);
    auto* checkForUpdates =
        new CheckForUpdatesView(new CheckForUpdatesViewModel(updaterController_.updater()), appMenu);
    appMenu->addAction(checkForUpdates);
    appMenu->addSeparator();
    auto* toolItem = appMenu->addAction(QString());
    // The choice follows the disk each time the menu opens, as the wizard and the settings tell it:
    // a tool on PATH by another install has nothing of the installer's to take away.
    connect(appMenu, &QMenu::aboutToShow, toolItem, [this, toolItem] {
        const auto action = commandLineTool_.status().action;
        toolItem->setText(action == CommandLineTool::Action::install
                              ? QStringLiteral("&Install Command Line Tool...")
                              : QStringLiteral("&Uninstall Command Line Tool..."));
        toolItem->setEnabled(action != CommandLineTool::Action::none && !changingTool_);
    });
    connect(toolItem, &QAction::triggered, this, [this] {
        const auto action = commandLineTool_.status().action;
        if (action != CommandLineTool::Action::none && !changingTool_) changeCommandLineTool(action);
    });
    appMenu->addSeparator();
    appMenu->addAction(QStringLiteral("&Quit Norvane"), QKeySequence::Quit, &ending_, &ApplicationEnding::end);

    auto* fileMenu = menuBar.addMenu(QStringLiteral("&File"));
    auto* collect = fileMenu->addAction(QStringLiteral("&Collect All Projects"), QKeySequence(Qt::CTRL | Qt::Key_R),
                                        this, [this] { appState_->collectAllProjects(); });
    collect->setEnabled(!appState_->isCollecting());
    connect(appState_.get(), &AppState::isCollectingChanged, collect,
            [collect](bool collecting) { collect->setEnabled(!collecting); });

    // F10 opens the first menu, as the desktops of this platform do.
    auto* openMenus = new QShortcut(QKeySequence(Qt::Key_F10), menuBar.window());
    connect(openMenus, &QShortcut::activated, &menuBar,
            [&menuBar, appMenu] { menuBar.setActiveAction(appMenu->menuAction()); });
}

void ApplicationController::presentOnboardingIfNeeded(DashboardView& window) {
    if (appState_->preferences().hasCompletedOnboarding()) return;
    QTimer::singleShot(onboardingDelayMilliseconds, &window, [this, &window] { showOnboarding(window); });
}

void ApplicationController::showOnboarding(QWidget& window) {
    // One wizard at a time, however many windows asked for it.
    if (onboardingWizard_) return;
    auto* wizard = new OnboardingWizard(OnboardingServices::standard(*appState_), window);
    onboardingWizard_ = wizard;
    wizard->open();
}

void ApplicationController::showSettingsWindow() {
    if (!settingsWindow_) {
        auto services = SettingsServices::standard(appState_->preferences(), stores_.workers, costSettings_);
        services.saveFolder = &appState_->saveFolder();
        auto* settings = new SettingsView(std::move(services));
        connect(settings, &SettingsView::setupWizardRequested, this, [this, settings] { showOnboarding(*settings); });
        settingsWindow_ = settings;
    }
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

void ApplicationController::changeCommandLineTool(CommandLineTool::Action action) {
    const bool install = action == CommandLineTool::Action::install;
    changingTool_ = true;
    // Off the window's thread: the password dialog waits for the user, and an ending meanwhile
    // stops it as it stops every child program.
    runInBackground<CLIInstaller::InstallResult>(
        this,
        [install, locations = CLIInstaller::Locations::of(commandLineTool_)] {
            const CLIInstaller installer(locations);
            return install ? installer.install() : installer.uninstall();
        },
        [this, install](std::optional<CLIInstaller::InstallResult> result, const QString& error) {
            changingTool_ = false;
            if (result && result->succeeded()) {
                AlertBox::run(QMessageBox::Information,
                              install ? QStringLiteral("Installed") : QStringLiteral("Uninstalled"),
                              install ? QStringLiteral("Command line tool installed to ") +
                                            QString::fromStdString(commandLineTool_.linkPath.string()) +
                                            QStringLiteral("\n\nYou can now use 'norvane' in a terminal.")
                                      : QStringLiteral("Command line tool 'norvane' removed."));
                return;
            }
            const auto text = result ? result->error().errorDescription() : std::optional(error.toStdString());
            if (!text) return;
            AlertBox::run(QMessageBox::Critical,
                          install ? QStringLiteral("Installation Failed") : QStringLiteral("Uninstall Failed"),
                          QString::fromStdString(*text));
        });
}

NorvaneKit& ApplicationController::collectionsKit() {
    const std::lock_guard lock(collectionsKitMutex_);
    if (!collectionsKit_) {
        collectionsKit_ = std::make_unique<NorvaneKit>();
        collectionsKit_->store().waitForReadersAtClose(readersWaitAtClose);
    }
    return *collectionsKit_;
}

void ApplicationController::setUpTray() {
    trayIcon_.setIcon(trayIconImage());
    trayIcon_.setToolTip(QStringLiteral("Norvane"));
    connect(&trayIcon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context) togglePanel();
    });
    connect(panel_.get(), &MenuBarView::closed, this, [this] { panelClosed_.restart(); });
    // An icon on a desktop without a tray would be the only way back, and nobody could see it.
    if (isTrayAvailable_()) trayIcon_.show();
    // Whether the last window closing ends the program is decided here, at that moment.
    QApplication::setQuitOnLastWindowClosed(false);
    connect(&application_, &QGuiApplication::lastWindowClosed, this, &ApplicationController::lastWindowClosed);
}

void ApplicationController::showTrayMessage(const QString& title, const QString& body) {
    // A newer message stands in for the one shown.
    if (trayBalloon_) trayBalloon_->close();
    auto* balloon = new TrayBalloon(title, body);
    trayBalloon_ = balloon;
    balloon->showNear(trayIcon_.isVisible() ? trayIcon_.geometry() : QRect());
}

void ApplicationController::lastWindowClosed() {
    // The tray may have gone since start-up (its host ended): then nothing is left to reach.
    if (!trayIcon_.isVisible() || !isTrayAvailable_()) ending_.end();
}

void ApplicationController::togglePanel() {
    if (panel_->isVisible()) {
        panel_->hide();
        return;
    }
    // A click on the icon while the panel is open first closes it, as any click outside it does,
    // and then reaches the icon: that click closes, it does not reopen.
    if (panelClosed_.isValid() && panelClosed_.elapsed() < panelReopenGuardMilliseconds) return;
    showPanel();
}

void ApplicationController::showPanel() {
    panel_->adjustSize();
    QRect icon = trayIcon_.geometry();
    // Trays that speak over D-Bus do not tell where the icon is; the click was on it.
    if (!icon.isValid()) icon = QRect(QCursor::pos(), QSize(1, 1));
    const QScreen* screen = QGuiApplication::screenAt(icon.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    panel_->move(PanelPlacement::position(icon, panel_->size(), screen->availableGeometry()));
    panel_->show();
}

} // namespace norvane::app
