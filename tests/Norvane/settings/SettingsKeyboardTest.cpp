#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>

#include <filesystem>
#include <fstream>

#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/CocomoTab.h"
#include "Norvane/settings/CostSettingsSync.h"
#include "Norvane/settings/DataTab.h"
#include "Norvane/settings/GeneralTab.h"
#include "Norvane/settings/IndexTab.h"
#include "Norvane/settings/LinkButton.h"
#include "Norvane/settings/PrivacyDetailsView.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/Norvane/settings/SettingsFixture.h"
#include "tests/support/RecordingProcessRunner.h"

namespace norvane::app {
namespace {

using norvane::testing::expectFocusedAndMarked;
using norvane::testing::keyboardGaps;
using norvane::testing::pressKey;
using norvane::testing::tabTo;
using testing::eventually;

/// Goes to the next tab as the keyboard does: Tab to the tab bar, then the right arrow.
void nextTab(const SettingsView& window) {
    ASSERT_TRUE(tabTo(*window.tabs().tabBar()));
    pressKey(Qt::Key_Right);
}

// Each tab of the window in turn: Tab reaches every control with the ring around it, and the
// keys set them.
TEST(SettingsKeyboard, EachTabIsReachedAndSetWithTheKeyboard) {
    norvane::testing::themedApplication();
    testing::SettingsFixture fixture;
    fixture.installToolBesideTheProgram();
    norvane::testing::RecordingProcessRunner systemctl([](const auto&) { return norvane::testing::exitedWith(0); });
    auto window = fixture.open(fixture.services(systemctl));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    auto& general = window->generalTab();
    EXPECT_EQ(keyboardGaps(*window).join(" | ").toStdString(), "") << "general";
    ASSERT_TRUE(tabTo(general.backgroundToggle()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !general.isBusy(); }));
    EXPECT_TRUE(fixture.services(systemctl).agent->isInstalled());
    ASSERT_TRUE(tabTo(general.collectionTimePicker()));
    pressKey(Qt::Key_Down);
    ASSERT_TRUE(eventually([&] { return !general.isBusy(); }));
    EXPECT_EQ(fixture.services(systemctl).agent->installedSchedule()->hour, 3);
    ASSERT_TRUE(tabTo(general.chartRangePicker()));
    pressKey(Qt::Key_Down);
    EXPECT_EQ(fixture.preferences.defaultChartRange(), 365);
    EXPECT_EQ(keyboardGaps(*window).join(" | ").toStdString(), "") << "general, collecting daily";

    nextTab(*window);
    auto& cocomo = window->cocomoTab();
    ASSERT_EQ(window->tabs().currentWidget(), &cocomo);
    EXPECT_EQ(keyboardGaps(*window).join(" | ").toStdString(), "") << "COCOMO";
    ASSERT_TRUE(tabTo(cocomo.overheadField()));
    cocomo.overheadField().selectAll();
    QTest::keyClicks(&cocomo.overheadField(), "3");
    pressKey(Qt::Key_Return);
    EXPECT_EQ(fixture.preferences.overhead(), 3.0);
    ASSERT_TRUE(tabTo(cocomo.moreButton()));
    pressKey(Qt::Key_Space);
    EXPECT_EQ(cocomo.headcountTitle(), "Team Headcount: 2");
    ASSERT_TRUE(tabTo(cocomo.hourlyRatePicker()));
    pressKey(Qt::Key_Down);
    EXPECT_NE(fixture.preferences.marketHourlyRate(), 150.0);

    nextTab(*window);
    auto& index = window->indexTab();
    ASSERT_EQ(window->tabs().currentWidget(), &index);
    EXPECT_EQ(keyboardGaps(*window).join(" | ").toStdString(), "") << "index";
    ASSERT_TRUE(tabTo(index.shareToggle()));
    pressKey(Qt::Key_Space);
    EXPECT_TRUE(fixture.preferences.shareAnonymousMetrics());
    EXPECT_EQ(keyboardGaps(*window).join(" | ").toStdString(), "") << "index, sharing";

    nextTab(*window);
    ASSERT_EQ(window->tabs().currentWidget(), &window->dataTab());
    EXPECT_EQ(keyboardGaps(*window).join(" | ").toStdString(), "") << "data";
    window->costSettings().waitForWrites();
}

// Found with the focus on the default chart range: Ctrl+Tab did nothing, as the box took the key to
// look for an item, and Ctrl+Page Down chose the box's next item instead of the next tab.
TEST(SettingsKeyboard, TheTabsKeysChangeTheTabWhereverTheFocusIs) {
    norvane::testing::themedApplication();
    testing::SettingsFixture fixture;
    auto window = fixture.open(fixture.services());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto& range = window->generalTab().chartRangePicker();
    const int chosen = range.currentIndex();
    const std::vector<std::pair<QKeyCombination, int>> keys{{Qt::CTRL | Qt::Key_Tab, 1},
                                                            {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 3},
                                                            {Qt::CTRL | Qt::Key_PageDown, 1},
                                                            {Qt::CTRL | Qt::Key_PageUp, 3},
                                                            {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, 3}};
    for (const auto& [key, tab] : keys) {
        window->tabs().setCurrentIndex(0);
        ASSERT_TRUE(tabTo(range));
        QTest::keyClick(&range, key.key(), key.keyboardModifiers());
        EXPECT_EQ(window->tabs().currentIndex(), tab) << QKeySequence(key).toString().toStdString();
        EXPECT_EQ(range.currentIndex(), chosen) << QKeySequence(key).toString().toStdString();
    }
}

// Tab stops only where a key acts: a tab's form is a stop, where the arrows scroll it, only while it
// holds more than its view shows.
TEST(SettingsKeyboard, AFormIsATabStopOnlyWhileItScrolls) {
    norvane::testing::themedApplication();
    testing::SettingsFixture fixture;
    auto window = fixture.open(fixture.services());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // The benchmark tab's details make it longer than the window.
    window->indexTab().privacyDetails().disclosureButton().click();
    for (int tab = 0; tab < window->tabs().count(); ++tab) {
        window->tabs().setCurrentIndex(tab);
        QStringList idle;
        for (const auto& stop : norvane::testing::tabAround()) {
            const auto* area = qobject_cast<const QAbstractScrollArea*>(stop.widget);
            if (area && area->verticalScrollBar()->maximum() == 0) idle << window->tabs().tabText(tab);
        }
        EXPECT_TRUE(idle.isEmpty()) << idle.join(", ").toStdString();
    }
}

// Space on a control that starts work: the control waits while the work runs, and when the work
// fails the focus is still on it, so the next Space tries again rather than acting elsewhere.
TEST(SettingsKeyboard, AFailureLeavesTheFocusWhereTheUserActed) {
    norvane::testing::themedApplication();
    testing::SettingsFixture fixture;
    fixture.linkTool();
    norvane::testing::RecordingProcessRunner systemctl(
        [](const auto&) { return norvane::testing::exitedWith(1, "no session bus"); });
    auto window = fixture.open(fixture.services(systemctl));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto& general = window->generalTab();

    ASSERT_TRUE(tabTo(general.backgroundToggle()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !general.isBusy(); }));
    ASSERT_FALSE(general.agentError().isHidden());
    expectFocusedAndMarked(general.backgroundToggle());

    // Uninstalled, then installed where a file stands in the link's folder: the install fails.
    ASSERT_TRUE(tabTo(general.toolButton()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !general.isBusy() && general.toolButton().text() == "Install"; }));
    expectFocusedAndMarked(general.toolButton());
    std::filesystem::remove_all(fixture.toolPath.parent_path());
    std::ofstream(fixture.toolPath.parent_path()) << "a file, not a folder";
    fixture.privileged.outcome = {PrivilegedRunner::Outcome::Kind::failed, "mkdir: Not a directory"};
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !general.isBusy() && !general.toolError().isHidden(); }));
    expectFocusedAndMarked(general.toolButton());
}

} // namespace
} // namespace norvane::app
