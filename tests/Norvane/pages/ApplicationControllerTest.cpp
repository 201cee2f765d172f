#include "Norvane/pages/ApplicationController.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "Norvane/onboarding/OnboardingWizard.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/MenuBarView.h"
#include "Norvane/pages/PanelPlacement.h"
#include "Norvane/sheets/ProjectFolderFields.h"
#include "Norvane/state/SingleInstance.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/ProcessRunner.h"
#include "tests/Norvane/pages/ApplicationHome.h"
#include "tests/Norvane/pages/ControllerFixture.h"
#include "tests/Norvane/state/TestApplication.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

bool isRestoredAndActive(const QWidget& window) {
    return !(window.windowState() & Qt::WindowMinimized) && window.isActiveWindow();
}

TEST(ApplicationController, WithoutATrayNoIconShowsAndClosingTheLastWindowQuits) {
    ControllerFixture fixture(false);
    EXPECT_FALSE(fixture.controller->trayIcon().isVisible());
    EXPECT_EQ(fixture.closeMainWindow(), 0);
}

// Found running the tests of one binary in one process: once an application had quit, no later
// one could start git.
TEST(ApplicationController, AQuitStartsNoChildProgramUntilTheApplicationIsGone) {
    const auto startsAChild = [] { return platform::PosixProcessRunner().run({.executable = "/bin/true"}).started(); };
    {
        ControllerFixture fixture(false);
        ASSERT_EQ(fixture.closeMainWindow(), 0);
        EXPECT_FALSE(startsAChild()) << "while it quits";
    }
    EXPECT_TRUE(startsAChild()) << "in the same process afterwards";
}

TEST(ApplicationController, WithATrayTheProgramOutlivesItsWindowsUntilTheTrayGoes) {
    ControllerFixture fixture(true);
    EXPECT_TRUE(fixture.controller->trayIcon().isVisible());
    EXPECT_EQ(fixture.closeMainWindow(), stillRunning);

    fixture.controller->openDashboard();
    ASSERT_NE(fixture.window(), nullptr) << "the icon's panel opens a new window";
    fixture.trayAvailable = false;
    EXPECT_EQ(fixture.closeMainWindow(), 0) << "with the tray host gone, nothing could reach the program";
}

TEST(ApplicationController, ASecondStartAndOpenDashboardRestoreAMinimisedWindow) {
    ControllerFixture fixture;
    auto* window = fixture.window();
    ASSERT_NE(window, nullptr);
    window->showMinimized();
    QCoreApplication::processEvents();

    SingleInstance secondStart(fixture.runtime);
    ASSERT_FALSE(secondStart.isPrimary());
    ASSERT_TRUE(secondStart.activateRunningInstance());
    EXPECT_TRUE(QTest::qWaitFor([&] { return isRestoredAndActive(*window); }, 5000));
    EXPECT_EQ(fixture.window(), window) << "the running window comes back; no second one opens";

    window->showMinimized();
    QCoreApplication::processEvents();
    auto& panel = fixture.controller->panel();
    for (auto* button : panel.findChildren<QPushButton*>()) {
        if (button->accessibleName() == QStringLiteral("Open Dashboard")) button->click();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return isRestoredAndActive(*window); }, 5000));
}

TEST(ApplicationController, AClickOnTheIconTogglesThePanelBesideIt) {
    ControllerFixture fixture;
    auto& icon = fixture.controller->trayIcon();
    auto& panel = fixture.controller->panel();
    const QPoint pointer = QApplication::primaryScreen()->geometry().topRight() + QPoint(-30, 10);
    QCursor::setPos(pointer);

    emit icon.activated(QSystemTrayIcon::Trigger);
    ASSERT_TRUE(panel.isVisible());
    // Offscreen the icon has no geometry: the click's position stands for it.
    EXPECT_FALSE(panel.geometry().contains(pointer));
    EXPECT_TRUE(QApplication::primaryScreen()->availableGeometry().contains(panel.frameGeometry()));
    emit icon.activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(panel.isVisible());

    // A click on the icon while the panel is open first closes the panel, as any click outside
    // it does, and then reaches the icon.
    emit icon.activated(QSystemTrayIcon::Trigger);
    panel.hide();
    emit icon.activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(panel.isVisible());
    // Once that click is over, the next one opens it.
    EXPECT_TRUE(QTest::qWaitFor([&] {
        emit icon.activated(QSystemTrayIcon::Trigger);
        return panel.isVisible();
    }));
    panel.hide();
}

TEST(ApplicationController, TheFirstRunWizardFollowsTheWindowAndSkippingItIsRemembered) {
    {
        ControllerFixture fixture(true, false);
        OnboardingWizard* wizard = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                wizard = fixture.window()->findChild<OnboardingWizard*>();
                return wizard && wizard->isVisible();
            },
            3000));
        EXPECT_TRUE(wizard->isModal());
        QTest::keyClick(wizard, Qt::Key_Escape);
        EXPECT_TRUE(wizard->isVisible()) << "Escape";
        QTest::mouseClick(&wizard->skipSetupButton(), Qt::LeftButton);
        EXPECT_FALSE(wizard->isVisible());
        EXPECT_TRUE(QSettings().value(QStringLiteral("hasCompletedOnboarding")).toBool());
    }
    ControllerFixture nextStart(true, std::nullopt);
    DashboardView* shown = nextStart.window();
    // A window that asks later, once the wizard is due again, gets it: the one shown first would
    // have had it before, as there is one wizard at a time.
    nextStart.controller->appState().preferences().setHasCompletedOnboarding(false);
    DashboardView* later = nextStart.controller->openMainWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return later->findChild<OnboardingWizard*>() != nullptr; }, 3000));
    EXPECT_EQ(shown->findChild<OnboardingWizard*>(), nullptr);
}

// Found after picking a project folder: Qt's file dialogs wrote the folders browsed into
// ~/.config/QtProject.conf, readable by every user.
TEST(ApplicationController, TheFileDialogsHistoryOfFoldersIsTheUsersAlone) {
    const auto& home = norvane::testing::applicationHome();
    norvane::testing::testApplication();
    const std::filesystem::path history = home.path() / ".config/QtProject.conf";
    std::filesystem::remove(history);
    const norvane::testing::TemporaryFolder projects;
    const std::filesystem::path project = projects.path() / "atlas-private-project";
    std::filesystem::create_directories(project);
    const mode_t umask = ::umask(022);
    ApplicationController::keepFileDialogHistoryPrivate();

    QWidget sheet;
    QLineEdit name;
    QLineEdit path(QString::fromStdString(project.string()));
    auto* browse = ProjectFolderFields::makeBrowseButton(sheet, name, path);
    browse->setParent(&sheet);
    sheet.show();
    browse->click();
    QPointer<QFileDialog> dialog = sheet.findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->isVisible(); }));
    // As the dialog's Choose button does.
    static_cast<QDialog*>(dialog.data())->accept();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }));
    ::umask(umask);

    EXPECT_EQ(name.text(), "atlas-private-project");
    EXPECT_NE(norvane::testing::readFile(history).find("atlas-private-project"), std::string::npos);
    struct stat status {};
    ASSERT_EQ(::stat(history.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

/// The Norvane menu's item for the command-line tool, as it reads once the menu has opened.
QAction* commandLineToolItem(DashboardView& window) {
    auto* menu = window.menuBar()->actions().front()->menu();
    menu->popup(QPoint());
    QAction* item = nullptr;
    for (auto* action : menu->actions()) {
        if (action->text().contains(QStringLiteral("Command Line Tool"))) item = action;
    }
    menu->hide();
    return item;
}

/// Runs `ask` and answers with OK the alert that follows; the alert's title and text, or nothing
/// when none came.
std::string answeredAlert(const std::function<void()>& ask) {
    QString alert;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&alert] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        alert = box->windowTitle() + QStringLiteral(": ") + box->informativeText();
        box->button(QMessageBox::Ok)->click();
    });
    answer.start(10);
    ask();
    return QTest::qWaitFor([&alert] { return !alert.isEmpty(); }) ? alert.toStdString() : std::string();
}

// The Norvane menu links the built tool into the install bin folder, then offers to take the link
// away and does, and offers each change again once the one before is done.
TEST(ApplicationController, TheMenuInstallsTheCommandLineToolAndThenUninstallsIt) {
    ControllerFixture fixture;
    const auto link = fixture.tool.linkPath;
    const struct {
        std::string item;
        std::string alert;
        bool linked;
    } changes[] = {
        {"&Install Command Line Tool...",
         "Installed: Command line tool installed to " + link.string() + "\n\nYou can now use 'norvane' in a terminal.",
         true},
        {"&Uninstall Command Line Tool...", "Uninstalled: Command line tool 'norvane' removed.", false},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.item);
        auto* item = commandLineToolItem(*fixture.window());
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text().toStdString(), change.item);
        EXPECT_TRUE(item->isEnabled());
        EXPECT_EQ(answeredAlert([item] { item->trigger(); }), change.alert);
        EXPECT_EQ(std::filesystem::is_symlink(link), change.linked);
        if (change.linked) {
            EXPECT_TRUE(std::filesystem::equivalent(link, norvane::testing::builtProgram("norvane")));
        }
    }
    auto* item = commandLineToolItem(*fixture.window());
    EXPECT_EQ(item->text().toStdString(), changes[0].item);
    EXPECT_TRUE(item->isEnabled());
}

TEST(PanelPlacement, OpensBesideTheIconAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1600, 1000);
    const QSize panel(300, 320);
    // A tray in the top right corner: under the icon, pushed in from the screen's edge.
    EXPECT_EQ(PanelPlacement::position(QRect(1577, 1, 22, 22), panel, screen), QPoint(1300, 27));
    // A tray at the bottom: above the icon.
    EXPECT_EQ(PanelPlacement::position(QRect(800, 976, 22, 22), panel, screen), QPoint(660, 652));
    // A tray that reserves its strip: the free area starts below it.
    EXPECT_EQ(PanelPlacement::position(QRect(10, 1, 22, 22), panel, QRect(0, 24, 1600, 976)), QPoint(0, 28));
    // A tray down the left edge of a screen too short for the panel above or below: to its right.
    EXPECT_EQ(PanelPlacement::position(QRect(0, 200, 24, 24), panel, QRect(0, 0, 1600, 500)), QPoint(28, 51));
}

} // namespace
} // namespace norvane::app
