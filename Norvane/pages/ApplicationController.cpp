#include "Norvane/pages/ApplicationController.h"

#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>

#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/MenuBarView.h"
#include "Norvane/pages/PagePlaceholder.h"
#include "Norvane/state/CLIInstaller.h"
#include "Norvane/state/CheckForUpdatesView.h"
#include "Norvane/state/KitServices.h"
#include "core/facade/NorvaneKit.h"
#include "platform/ExecutableFile.h"

namespace norvane::app {
namespace {

constexpr int onboardingDelayMilliseconds = 500;

QIcon trayIconImage() {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setFont(SymbolRegistry::font(56));
    painter.setPen(Palette::blue());
    painter.drawText(pixmap.rect(), Qt::AlignCenter, SymbolRegistry::text(QStringLiteral("chart.xyaxis.line")));
    return QIcon(pixmap);
}

void showAlert(QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox alert(icon, title, title, QMessageBox::Ok);
    alert.setInformativeText(text);
    alert.exec();
}

QWidget* placeholderWindow(const QString& title, const QString& symbol, const QString& description) {
    auto* window = new QDialog;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(title);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(new PagePlaceholder(symbol, title, description));
    window->resize(520, 360);
    return window;
}

} // namespace

ApplicationController::ApplicationController(QApplication& application,
                                             std::shared_ptr<platform::ModelContainer> container)
    : application_(application), container_(std::move(container)),
      updaterController_(QString::fromUtf8(NorvaneKit::version.data(), qsizetype(NorvaneKit::version.size()))),
      notificationCenter_([this](const QString& title, const QString& body) { trayIcon_.showMessage(title, body); }) {
    AppState::Services services{
        std::make_shared<KitCollectionService>(),
        std::make_shared<KitMetricsSource>(),
        std::make_shared<SharedIndexClient>(),
        std::make_shared<Preferences>(std::make_shared<QSettings>()),
        [this](const QString& title, const QString& body) { notificationCenter_.post(title, body); },
        [this] { notificationCenter_.requestAuthorization(); }};
    appState_ = std::make_unique<AppState>(std::move(services));
    projects_ = std::make_unique<ProjectListModel>(container_);
    panel_ = std::make_unique<MenuBarView>(*appState_, *projects_);
    panel_->setWindowFlags(Qt::Popup);
    connect(panel_.get(), &MenuBarView::openDashboardRequested, this, [this] {
        panel_->hide();
        openDashboard();
    });
    connect(panel_.get(), &MenuBarView::settingsRequested, this, [this] {
        panel_->hide();
        showSettingsWindow();
    });
    connect(panel_.get(), &MenuBarView::quitRequested, &application_, &QApplication::quit);
    trayIcon_.setIcon(trayIconImage());
    trayIcon_.setToolTip(QStringLiteral("Norvane"));
    connect(&trayIcon_, &QSystemTrayIcon::activated, this, [this] { showPanel(); });
    trayIcon_.show();
    // The collection thread writes to the store: it must be done before the store closes.
    connect(&application_, &QApplication::aboutToQuit, this, [this] { appState_->waitForCollection(); });
    openMainWindow();
}

ApplicationController::~ApplicationController() { appState_->waitForCollection(); }

DashboardView* ApplicationController::openMainWindow() {
    auto* window = new DashboardView(*appState_, *projects_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    buildMenus(*window->menuBar());
    connect(window, &DashboardView::appeared, this, [this, window] { presentOnboardingIfNeeded(*window); });
    window->show();
    return window;
}

void ApplicationController::openDashboard() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<DashboardView*>(widget);
        if (window && window->isVisible() &&
            (window->windowTitle() == QStringLiteral("Norvane") || window->isActiveWindow())) {
            window->raise();
            window->activateWindow();
            return;
        }
    }
    openMainWindow()->activateWindow();
}

void ApplicationController::buildMenus(QMenuBar& menuBar) {
    auto* appMenu = menuBar.addMenu(QStringLiteral("Norvane"));
    appMenu->addAction(QStringLiteral("Settings..."), QKeySequence(Qt::CTRL | Qt::Key_Comma), this,
                       &ApplicationController::showSettingsWindow);
    auto* checkForUpdates =
        new CheckForUpdatesView(new CheckForUpdatesViewModel(updaterController_.updater()), appMenu);
    appMenu->addAction(checkForUpdates);
    appMenu->addSeparator();
    auto* toolItem = appMenu->addAction(QString());
    // The choice follows the link each time the menu opens.
    connect(appMenu, &QMenu::aboutToShow, toolItem, [toolItem] {
        toolItem->setText(platform::isExecutableFile("/usr/local/bin/norvane")
                              ? QStringLiteral("Uninstall Command Line Tool...")
                              : QStringLiteral("Install Command Line Tool..."));
    });
    connect(toolItem, &QAction::triggered, this, [this] {
        platform::isExecutableFile("/usr/local/bin/norvane") ? uninstallCommandLineTool() : installCommandLineTool();
    });
    appMenu->addSeparator();
    appMenu->addAction(QStringLiteral("Quit Norvane"), QKeySequence::Quit, &application_, &QApplication::quit);

    auto* fileMenu = menuBar.addMenu(QStringLiteral("File"));
    auto* collect = fileMenu->addAction(QStringLiteral("Collect All Projects"), QKeySequence(Qt::CTRL | Qt::Key_R),
                                        this, [this] { appState_->collectAllProjects(); });
    collect->setEnabled(!appState_->isCollecting());
    connect(appState_.get(), &AppState::isCollectingChanged, collect,
            [collect](bool collecting) { collect->setEnabled(!collecting); });
}

void ApplicationController::presentOnboardingIfNeeded(DashboardView& window) {
    if (appState_->preferences().hasCompletedOnboarding()) return;
    QTimer::singleShot(onboardingDelayMilliseconds, &window, [this, &window] { showOnboarding(window); });
}

void ApplicationController::showOnboarding(DashboardView& window) {
    // One wizard at a time, however many windows asked for it.
    if (onboardingWizard_) return;
    auto* wizard = placeholderWindow(QStringLiteral("Welcome to Norvane"), QStringLiteral("chart.xyaxis.line"),
                                     QStringLiteral("The first-run wizard will stand here."));
    wizard->setParent(&window, Qt::Dialog);
    wizard->setWindowModality(Qt::WindowModal);
    onboardingWizard_ = wizard;
    wizard->show();
}

void ApplicationController::showSettingsWindow() {
    if (!settingsWindow_) {
        settingsWindow_ = placeholderWindow(QStringLiteral("Settings"), QStringLiteral("gear"),
                                            QStringLiteral("The settings window will stand here."));
    }
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

void ApplicationController::installCommandLineTool() {
    const auto result = CLIInstaller().install();
    if (result.succeeded()) {
        showAlert(QMessageBox::Information, QStringLiteral("Installed"),
                  QStringLiteral("Command line tool installed to /usr/local/bin/norvane\n\nYou can now use 'norvane' "
                                 "in Terminal."));
        return;
    }
    if (const auto text = result.error().errorDescription()) {
        showAlert(QMessageBox::Critical, QStringLiteral("Installation Failed"), QString::fromStdString(*text));
    }
}

void ApplicationController::uninstallCommandLineTool() {
    const auto result = CLIInstaller().uninstall();
    if (result.succeeded()) {
        showAlert(QMessageBox::Information, QStringLiteral("Uninstalled"),
                  QStringLiteral("Command line tool 'norvane' removed."));
        return;
    }
    if (const auto text = result.error().errorDescription()) {
        showAlert(QMessageBox::Critical, QStringLiteral("Uninstall Failed"), QString::fromStdString(*text));
    }
}

void ApplicationController::showPanel() {
    panel_->adjustSize();
    QPoint at = QCursor::pos() - QPoint(panel_->width() / 2, 0);
    if (const auto* screen = QApplication::screenAt(QCursor::pos())) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), area.right() - panel_->width()));
        at.setY(std::clamp(at.y(), area.top(), area.bottom() - panel_->height()));
    }
    panel_->move(at);
    panel_->show();
}

} // namespace norvane::app
