#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/settings/SettingsView.h"
#include "Norvane/state/ApplicationEnding.h"
#include "Norvane/state/SingleInstance.h"
#include "core/models/NorvaneDatabase.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "tests/Norvane/pages/ApplicationHome.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

using norvane::testing::runEventsUntil;

/// The open menu of the main window's menu bar, by its title without the mnemonic's mark.
QString openMenuTitle() {
    const auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    return menu ? menu->title().remove(QLatin1Char('&')) : QString();
}

/// The controller's main window once it is shown, made the active one; none when it does not come.
DashboardView* activeMainWindow() {
    DashboardView* window = nullptr;
    const bool shown = runEventsUntil([&] {
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<DashboardView*>(widget); found && found->isVisible()) window = found;
        }
        return window != nullptr;
    });
    if (!shown) return nullptr;
    window->activateWindow();
    return QTest::qWaitForWindowActive(window) ? window : nullptr;
}

/// The application on the private display, past its first-run wizard.
QApplication& applicationPastTheWizard() {
    norvane::testing::applicationHome();
    auto& application = norvane::testing::pointerApplication();
    QSettings().setValue(QStringLiteral("hasCompletedOnboarding"), true);
    return application;
}

/// The real controller, without a tray, its main window shown and active.
class MenuKeys : public ::testing::Test {
protected:
    void SetUp() override {
        window = activeMainWindow();
        ASSERT_NE(window, nullptr);
    }

    QApplication& application = applicationPastTheWizard();
    norvane::testing::TemporaryFolder runtime;
    SingleInstance instance{QString::fromStdString(runtime.path().string())};
    ApplicationEnding ending{application};
    ApplicationController controller{application, ApplicationController::Stores::open(), instance, ending,
                                     [] { return false; }};
    DashboardView* window = nullptr;
};

// The desktops of this platform open the menu bar with F10 and a menu with Alt and its letter.
TEST_F(MenuKeys, F10AndAltWithALetterOpenTheMenus) {

    QTest::keyClick(window, Qt::Key_F10);
    EXPECT_TRUE(runEventsUntil([] { return openMenuTitle() == "Norvane"; })) << openMenuTitle().toStdString();
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    ASSERT_TRUE(runEventsUntil([] { return QApplication::activePopupWidget() == nullptr; }));

    QTest::keyClick(window, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(runEventsUntil([] { return openMenuTitle() == "File"; })) << openMenuTitle().toStdString();
    const auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (const auto* action : menu->actions()) items << action->text();
    EXPECT_EQ(items, QStringList({"&Collect All Projects"})) << "C collects from the open menu";
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
}

// Found with the settings window in front: Ctrl+Q, which the menu shows, did nothing, and Ctrl+Tab
// changed no tab until Tab had put the focus inside the window.
TEST_F(MenuKeys, TheSettingsWindowChangesTabsWithCtrlTabAndQuitsWithCtrlQ) {
    QTest::keyClick(window, Qt::Key_Comma, Qt::ControlModifier);
    SettingsView* settings = nullptr;
    ASSERT_TRUE(runEventsUntil([&] {
        settings = qobject_cast<SettingsView*>(QApplication::activeWindow());
        return settings != nullptr;
    }));
    ASSERT_EQ(QApplication::focusWidget(), settings) << "no control has the focus yet";

    QTest::keyClick(settings, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(settings->tabs().currentIndex(), 1);
    // Shift+Tab comes as Backtab or as Tab with Shift, whichever the keyboard's map gives.
    QTest::keyClick(settings, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(settings, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(settings->tabs().currentIndex(), settings->tabs().count() - 1) << "back from the first to the last";

    constexpr int stillRunning = 7;
    const QObject context;
    QTimer::singleShot(0, &context, [&] {
        QTest::keyClick(settings, Qt::Key_Q, Qt::ControlModifier);
        QTimer::singleShot(0, &context, [] { QCoreApplication::exit(stillRunning); });
    });
    EXPECT_EQ(QApplication::exec(), 0) << "Ctrl+Q quits";
}

} // namespace
} // namespace norvane::app
