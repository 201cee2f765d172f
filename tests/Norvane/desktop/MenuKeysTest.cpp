#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "Norvane/pages/ApplicationController.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/state/SingleInstance.h"
#include "core/models/NorvaneDatabase.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTest>

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

// The desktops of this platform open the menu bar with F10 and a menu with Alt and its letter.
TEST(MenuKeys, F10AndAltWithALetterOpenTheMenus) {
    norvane::testing::applicationHome();
    auto& application = norvane::testing::pointerApplication();
    QSettings().setValue(QStringLiteral("hasCompletedOnboarding"), true);
    norvane::testing::TemporaryFolder runtime;
    SingleInstance instance(QString::fromStdString(runtime.path().string()));
    ApplicationController controller(application, NorvaneDatabase::makeContainer(), instance, [] { return false; });
    DashboardView* window = nullptr;
    ASSERT_TRUE(runEventsUntil([&] {
        for (auto* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<DashboardView*>(widget); found && found->isVisible()) window = found;
        }
        return window != nullptr;
    }));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));

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

} // namespace
} // namespace norvane::app
