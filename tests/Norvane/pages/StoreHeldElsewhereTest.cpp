#include <future>

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/CocomoTab.h"
#include "Norvane/settings/CostSettingsSync.h"
#include "Norvane/settings/SettingsView.h"
#include "core/models/NorvaneDatabase.h"
#include "core/models/StoredSettings.h"
#include "platform/persistence/ModelContext.h"
#include "tests/Norvane/pages/ControllerFixture.h"
#include "tests/Norvane/state/AppStateFakes.h"
#include "tests/support/StoreHolder.h"

namespace norvane::app {
namespace {

using norvane::testing::StoreHolder;

/// The salary in the store, read as another program reads it: off the window's thread.
double storedWage() {
    return std::async(std::launch::async,
                      [] {
                          platform::ModelContext context(NorvaneDatabase::makeContainer());
                          const auto stored = StoredSettings::find(context);
                          return stored ? stored->averageWage : 0.0;
                      })
        .get();
}

template <typename Window>
Window* shown() {
    for (auto* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) return window;
    }
    return nullptr;
}

// Found with a program that kept the store's write lock (a database browser with changes not yet
// written) while the window ran: the window's thread waited for it in the lock wait, a salary typed
// meanwhile froze the window twice, and once the wait ran out the salary never reached the store.
TEST(StoreHeldElsewhere, TheWindowGoesOnAndASalaryTypedMeanwhileLandsOnceTheOtherProgramLetsGo) {
    ControllerFixture fixture(false);
    auto& costs = *fixture.controller->costSettings();
    costs.waitForWrites();
    testing::CapturedWarnings warnings;
    std::optional<StoreHolder> browser;
    browser.emplace(NorvaneDatabase::containerURL(), nullptr, "BEGIN IMMEDIATE");

    fixture.controller->showSettingsWindow();
    auto* settings = shown<SettingsView>();
    ASSERT_NE(settings, nullptr);
    auto& tab = settings->cocomoTab();
    settings->tabs().setCurrentWidget(&tab);
    tab.salaryField().selectAll();
    QTest::keyClicks(&tab.salaryField(), "187000");
    QTest::keyClick(&tab.salaryField(), Qt::Key_Return);
    settings->close();

    // Three turns of the store's watch, a tenth of the lock wait that the write waits out meanwhile.
    int turns = 0;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&turns] { ++turns; });
    turn.start(100);

    ASSERT_TRUE(QTest::qWaitFor([&] { return turns >= 30; }, 60'000));
    fixture.controller->showSettingsWindow();
    EXPECT_TRUE(settings->isVisible());
    EXPECT_EQ(costs.lastFailure().toStdString(), "") << "the window waited until the write had waited in vain";

    // Said once it waited in vain, on the window too, and tried again until the store is free.
    ASSERT_TRUE(QTest::qWaitFor([&] { return tab.storeMessage().isVisibleTo(&tab); }, 60'000));
    EXPECT_NE(tab.storeMessage().text().indexOf("it is stored once the other program lets go"), -1);
    settings->close();
    browser.reset();
    EXPECT_TRUE(QTest::qWaitFor([&] { return costs.lastFailure().isEmpty(); }, 60'000));
    EXPECT_EQ(storedWage(), 187000.0);
    EXPECT_EQ(std::count_if(warnings.lines().begin(), warnings.lines().end(),
                            [](const QString& line) { return line.contains("cost parameters"); }),
              1);
}

} // namespace
} // namespace norvane::app
