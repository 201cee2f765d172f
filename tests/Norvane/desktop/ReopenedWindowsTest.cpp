#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/pages/MenuBarView.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/pages/SheetDialog.h"
#include "Norvane/settings/GeneralTab.h"
#include "Norvane/sheets/AddProjectSheet.h"
#include "Norvane/sheets/ExportSheet.h"
#include "Norvane/sheets/ShareSummarySheet.h"
#include "Norvane/state/SaveFolder.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/Norvane/pages/ProjectPageFixture.h"
#include "tests/Norvane/settings/SettingsFixture.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace norvane::app {
namespace {

using norvane::testing::pressKey;
using norvane::testing::ringDrawnAround;
using norvane::testing::runEventsUntil;
using norvane::testing::tabTo;

using norvane::testing::OnPrivateDisplay;

/// The tray's panel as the application opens it, over a store with a project to collect.
struct PanelFixture : OnPrivateDisplay, testing::StoreFixture {
    ProjectListModel projects{NorvaneStore(container)};
    MenuBarView panel{*state, projects};

    PanelFixture() {
        add("Atlas");
        panel.setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
        panel.move(200, 200);
    }

    void open() {
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    }

    QPushButton& button(const QString& title) const {
        for (auto* each : panel.findChildren<QPushButton*>()) {
            if (each->accessibleName() == title) return *each;
        }
        throw std::runtime_error("no button " + title.toStdString());
    }
};

/// No control of `window` has the focus; Tab gives it to one, marked.
void expectFocusStartsAfresh(QWidget& window) {
    QWidget* focused = QApplication::focusWidget();
    EXPECT_FALSE(focused && focused != &window && window.isAncestorOf(focused)) << focused->metaObject()->className();
    pressKey(Qt::Key_Tab);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_NE(FocusRing::around(*QApplication::focusWidget()), nullptr)
        << QApplication::focusWidget()->metaObject()->className();
}

TEST(ReopenedWindows, TheTrayPanelForgetsTheFocusThatSpaceWouldPress) {
    PanelFixture fixture;
    int quits = 0;
    QObject::connect(&fixture.panel, &MenuBarView::quitRequested, [&] { ++quits; });
    for (const char* title : {"Quit Norvane", "Collect Now"}) {
        SCOPED_TRACE(title);
        fixture.open();
        ASSERT_TRUE(tabTo(fixture.button(title)));
        EXPECT_TRUE(ringDrawnAround(fixture.button(title)));
        pressKey(Qt::Key_Escape);
        ASSERT_TRUE(runEventsUntil([&] { return !fixture.panel.isVisible(); }));

        fixture.open();
        pressKey(Qt::Key_Space);
        EXPECT_EQ(quits, 0);
        EXPECT_FALSE(fixture.state->isCollecting());
        expectFocusStartsAfresh(fixture.panel);
        fixture.panel.hide();
    }
}

// The window gave the focus to its first control, the refresh button: Space started a collection.
TEST(ReopenedWindows, TheMainWindowOpensWithNoControlFocused) {
    OnPrivateDisplay display;
    testing::ProjectPageFixture fixture;
    fixture.addCounted("Atlas", 1'000);
    fixture.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(fixture.window.get()));
    pressKey(Qt::Key_Space);
    EXPECT_EQ(fixture.collection->collectAllCalls, 0);
    expectFocusStartsAfresh(*fixture.window);
}

// The sheet gave the focus to its first control, its close button: Space closed it. A sheet opens
// with no control focused, unless its first job is typing: the add-project sheet opens on Name.
TEST(ReopenedWindows, ASheetOpensWithNoControlFocusedOrOnTheFieldItIsForTyping) {
    OnPrivateDisplay display;
    testing::StoreFixture store;
    QWidget window;
    norvane::testing::showOnScreen(window, QSize(900, 700));
    SaveFolder saveFolder;
    struct Case {
        const char* name;
        std::function<Sheet*()> make;
        bool opensOnName;
    };
    AddProjectSheet* addProject = nullptr;
    for (const auto& [name, make, opensOnName] :
         {Case{"export", [&]() -> Sheet* { return new ExportSheet([] { return IndexExport{}; }, saveFolder); }, false},
          Case{"share",
               [&]() -> Sheet* { return new ShareSummarySheet([] { return ShareableMetrics{}; }, saveFolder); }, false},
          Case{"add project", [&]() -> Sheet* { return addProject = new AddProjectSheet(*store.state); }, true}}) {
        SCOPED_TRACE(name);
        QPointer<QDialog> sheet = SheetDialog::present(window, make());
        // Not qWaitForWindowActive: a sheet counts as active while the window it belongs to is, and
        // the keys pressed before the window system hands the sheet the keyboard went nowhere.
        ASSERT_TRUE(runEventsUntil([&] { return QGuiApplication::focusWindow() == sheet->windowHandle(); }));
        if (opensOnName) {
            EXPECT_EQ(QApplication::focusWidget(), &addProject->nameField());
        } else {
            pressKey(Qt::Key_Space);
            EXPECT_FALSE(sheet.isNull() || !sheet->isVisible()) << "Space closed the sheet";
            EXPECT_EQ(QApplication::activeModalWidget(), sheet.data()) << "Space opened a dialog over the sheet";
            if (sheet) expectFocusStartsAfresh(*sheet);
        }
        delete sheet;
    }
}

TEST(ReopenedWindows, AClickedButtonOfThePanelDoesNotKeepTheFocus) {
    PanelFixture fixture;
    fixture.open();
    QTest::mouseClick(&fixture.button("Open Dashboard"), Qt::LeftButton);
    QWidget* focused = QApplication::focusWidget();
    EXPECT_TRUE(focused == nullptr || ringDrawnAround(*focused)) << "a focused control shows its ring";
    fixture.panel.hide();
}

TEST(ReopenedWindows, SettingsForgetTheFocusThatSpaceWouldPress) {
    OnPrivateDisplay display;
    testing::SettingsFixture fixture;
    auto window = fixture.open(fixture.services());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    int wizards = 0;
    QObject::connect(window.get(), &SettingsView::setupWizardRequested, [&] { ++wizards; });
    ASSERT_TRUE(tabTo(window->generalTab().setupWizardButton()));
    EXPECT_TRUE(ringDrawnAround(window->generalTab().setupWizardButton()));
    pressKey(Qt::Key_Escape);
    ASSERT_TRUE(runEventsUntil([&] { return !window->isVisible(); }));

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    pressKey(Qt::Key_Space);
    EXPECT_EQ(wizards, 0);
    expectFocusStartsAfresh(*window);
}

} // namespace
} // namespace norvane::app
