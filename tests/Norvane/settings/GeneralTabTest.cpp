#include "Norvane/settings/GeneralTab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>

#include <fstream>

#include <gmock/gmock.h>

#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/IndexTab.h"
#include "Norvane/settings/PrivacyDetailsView.h"
#include "core/models/Snapshot.h"
#include "tests/Norvane/components/ComponentTestSupport.h"
#include "tests/Norvane/settings/SettingsFixture.h"
#include "tests/support/RecordingProcessRunner.h"

namespace norvane::app {
namespace {

using norvane::testing::exitedWith;
using norvane::testing::RecordingProcessRunner;
using norvane::testing::SystemctlStandIn;
using testing::eventually;

/// What a user's pick in the open list does.
void choose(QComboBox& picker, int index) {
    picker.setCurrentIndex(index);
    emit picker.activated(index);
}

struct GeneralTabFixture : testing::SettingsFixture {
    std::filesystem::path unitFolder = home.path() / ".config/systemd/user";

    std::string timer() const { return norvane::testing::readFile(unitFolder / "app.norvane.collect.timer"); }
    bool waitForAgent(const GeneralTab& tab) const {
        return eventually([&] { return !tab.isBusy(); });
    }
};

TEST(SettingsWindow, ReadsTheAgentAndTheToolFromTheDiskWhenMade) {
    GeneralTabFixture fixture;
    // A link whose target is gone is no tool.
    std::filesystem::create_directories(fixture.toolPath.parent_path());
    std::filesystem::create_symlink(fixture.home.path() / "gone", fixture.toolPath);
    auto window = fixture.open(fixture.services());
    auto& tab = window->generalTab();
    EXPECT_FALSE(tab.backgroundToggle().isChecked());
    EXPECT_FALSE(tab.backgroundToggle().isEnabled());
    EXPECT_EQ(tab.collectionTimePicker().currentText(), "2:00 AM");
    EXPECT_EQ(tab.toolStatus(), "Not installed");
    EXPECT_EQ(tab.backgroundFooter(), "Install the CLI tool first to enable background collection.");
    for (int index = 0; index < window->tabs().count(); ++index) {
        window->tabs().setCurrentIndex(index);
        EXPECT_EQ(window->size(), QSize(SettingsView::windowWidth, SettingsView::windowHeight));
    }

    // An agent whose timer has no daily calendar is on, at the default hour.
    std::filesystem::create_directories(fixture.unitFolder);
    std::ofstream(fixture.unitFolder / "app.norvane.collect.timer") << "[Timer]\nOnCalendar=weekly\n";
    std::filesystem::remove(fixture.toolPath);
    fixture.linkTool();
    auto again = fixture.open(fixture.services());
    EXPECT_TRUE(again->generalTab().backgroundToggle().isChecked());
    EXPECT_EQ(again->generalTab().collectionTimePicker().currentText(), "2:00 AM");
    EXPECT_EQ(again->generalTab().toolStatus(), "Installed at " + QString::fromStdString(fixture.toolPath.string()));
    EXPECT_EQ(again->generalTab().toolButton().text(), "Uninstall");
}

// As settings windows on Linux desktops do, it closes with Escape and with Ctrl+W, and its words
// are this desktop's: no other platform's account among what is never collected.
TEST(SettingsWindow, ClosesWithEscapeOrCtrlWAndSpeaksOfThisDesktop) {
    GeneralTabFixture fixture;
    auto window = fixture.open(fixture.services());
    for (const auto& [key, modifiers] :
         {std::pair(Qt::Key_Escape, Qt::NoModifier), std::pair(Qt::Key_W, Qt::ControlModifier)}) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(), key, modifiers);
        EXPECT_TRUE(eventually([&] { return !window->isVisible(); }))
            << QKeySequence(key | modifiers).toString().toStdString();
    }

    auto& index = window->indexTab();
    window->show();
    window->tabs().setCurrentWidget(&index);
    index.privacyDetails().disclosureButton().click();
    QStringList shown;
    for (const auto* label : index.findChildren<QLabel*>()) {
        if (label->isVisibleTo(window.get())) shown << label->text();
    }
    EXPECT_TRUE(shown.contains("User account or personal info")) << shown.join(" | ").toStdString();
    EXPECT_FALSE(shown.join(' ').contains("Apple"));
}

// The settings write the units under the temporary home, and a systemctl stand-in answers. Installed
// with `cmake --install`, the tool is beside the program: the agent needs no link and no password,
// and the row says that a terminal does not find it.
TEST(GeneralTab, ChangingTheHourRewritesTheTimerAndTurningItOffRemovesIt) {
    GeneralTabFixture fixture;
    SystemctlStandIn systemctl;
    fixture.installToolBesideTheProgram();
    auto window = fixture.open(fixture.services());
    auto& tab = window->generalTab();
    const auto tool = fixture.programFolder / "norvane";
    EXPECT_EQ(tab.toolStatus(), "Not on PATH: " + QString::fromStdString(tool.string()));
    EXPECT_EQ(tab.toolButton().text(), "Install");
    EXPECT_TRUE(tab.toolButton().isEnabled());
    ASSERT_TRUE(tab.backgroundToggle().isEnabled());
    EXPECT_EQ(tab.backgroundFooter(), "Runs collection daily even when app isn't open.")
        << "the agent runs the tool beside the program: it requires no install";

    tab.backgroundToggle().click();
    ASSERT_TRUE(fixture.waitForAgent(tab));
    EXPECT_THAT(fixture.timer(), ::testing::HasSubstr("OnCalendar=*-*-* 02:00:00"));
    EXPECT_THAT(norvane::testing::readFile(fixture.unitFolder / "app.norvane.collect.service"),
                ::testing::HasSubstr("ExecStart=\"" + tool.string() + "\" \"collect\""));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(fixture.toolPath)));
    EXPECT_TRUE(fixture.privileged.commands.empty());
    EXPECT_TRUE(tab.collectionTimePicker().isVisibleTo(window.get()));

    choose(tab.collectionTimePicker(), 14);
    ASSERT_TRUE(fixture.waitForAgent(tab));
    EXPECT_THAT(fixture.timer(), ::testing::HasSubstr("OnCalendar=*-*-* 14:00:00"));
    EXPECT_TRUE(tab.agentError().isHidden());

    tab.backgroundToggle().click();
    ASSERT_TRUE(fixture.waitForAgent(tab));
    EXPECT_FALSE(std::filesystem::exists(fixture.unitFolder / "app.norvane.collect.timer"));
    EXPECT_FALSE(std::filesystem::exists(fixture.home.path() / "Library"));
    EXPECT_FALSE(tab.collectionTimePicker().isVisibleTo(window.get()));
}

TEST(GeneralTab, AFailedLoadPutsTheToggleBackOnceAndSaysWhy) {
    GeneralTabFixture fixture;
    fixture.linkTool();
    RecordingProcessRunner systemctl([](const platform::ProcessRequest&) { return exitedWith(1, "no session bus"); });
    auto window = fixture.open(fixture.services(systemctl));
    auto& tab = window->generalTab();

    tab.backgroundToggle().click();
    EXPECT_TRUE(tab.backgroundToggle().isChecked());
    EXPECT_FALSE(tab.backgroundToggle().isEnabled());
    ASSERT_TRUE(fixture.waitForAgent(tab));
    EXPECT_FALSE(tab.backgroundToggle().isChecked());
    EXPECT_EQ(tab.agentError().text(), "systemctl failed: no session bus");
    // Putting the toggle back ran nothing: one failed reload and its clean-up, no disable.
    EXPECT_EQ(systemctl.commandLines(), std::vector<std::string>(2, "systemctl --user daemon-reload"));
}

TEST(GeneralTab, InstallsAndRemovesTheToolAndShowsWhatWentWrong) {
    GeneralTabFixture fixture;
    auto window = fixture.open(fixture.services());
    auto& tab = window->generalTab();

    tab.toolButton().click();
    ASSERT_TRUE(eventually([&] { return tab.toolButton().isEnabled(); }));
    EXPECT_EQ(std::filesystem::read_symlink(fixture.toolPath), testing::builtPrograms() / "norvane");
    EXPECT_EQ(tab.toolButton().text(), "Uninstall");
    EXPECT_TRUE(tab.backgroundToggle().isEnabled());

    // The tab reads the disk again whenever its other loads end, so "Install" may show before the
    // removal has ended: the button comes back with its end.
    tab.toolButton().click();
    ASSERT_TRUE(eventually([&] { return tab.toolButton().isEnabled(); }));
    EXPECT_EQ(tab.toolButton().text(), "Install");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(fixture.toolPath)));

    // A folder where the link belongs cannot be made by the user's own rights: the password
    // dialog follows; dismissing it says nothing, a failure says what failed.
    std::filesystem::remove_all(fixture.toolPath.parent_path());
    std::ofstream(fixture.toolPath.parent_path()) << "a file, not a folder";
    fixture.privileged.outcome = {PrivilegedRunner::Outcome::Kind::refused, {}};
    tab.toolButton().click();
    ASSERT_TRUE(eventually([&] { return fixture.privileged.commands.size() == 1; }));
    ASSERT_TRUE(eventually([&] { return tab.toolButton().isEnabled(); }));
    EXPECT_TRUE(tab.toolError().isHidden());
    EXPECT_EQ(tab.toolStatus(), "Not installed");

    fixture.privileged.outcome = {PrivilegedRunner::Outcome::Kind::failed, "  mkdir: Not a directory\n"};
    tab.toolButton().click();
    ASSERT_TRUE(eventually([&] { return !tab.toolError().isHidden(); }));
    EXPECT_EQ(tab.toolError().text(), "Installation failed: mkdir: Not a directory");
    EXPECT_EQ(tab.toolStatus(), "Not installed");
}

TEST(GeneralTab, ShowsTheNewestSnapshotOfTheProjectsThatAreNotArchived) {
    GeneralTabFixture fixture;
    const auto now = platform::currentDate();
    const auto snapshot = [&](const std::string& name, ProjectStatus status, std::chrono::minutes age) {
        auto project = testing::saveProject(*fixture.context, name, status);
        auto taken = Snapshot::create(project);
        taken->capturedAt = now - age;
        fixture.context->insert(taken);
        fixture.context->save();
    };
    snapshot("Atlas", ProjectStatus::active, std::chrono::hours(26));
    snapshot("Beacon", ProjectStatus::paused, std::chrono::hours(3));
    snapshot("Old", ProjectStatus::archived, std::chrono::minutes(5));
    fixture.linkTool();
    RecordingProcessRunner systemctl;
    auto window = fixture.open(fixture.services(systemctl));
    auto& tab = window->generalTab();
    EXPECT_EQ(tab.lastCollectionText(), "");

    tab.backgroundToggle().click();
    ASSERT_TRUE(eventually([&] { return !tab.lastCollectionText().isEmpty(); }));
    EXPECT_EQ(tab.lastCollectionText(), "Last collection: 3 hours ago");
}

TEST(GeneralTab, StoresTheChartRangeAndAsksForTheWizard) {
    GeneralTabFixture fixture;
    auto window = fixture.open(fixture.services());
    auto& tab = window->generalTab();
    EXPECT_EQ(tab.chartRangePicker().currentText(), "90 Days");
    choose(tab.chartRangePicker(), 3);
    EXPECT_EQ(fixture.preferences.defaultChartRange(), 0);
    EXPECT_EQ(fixture.settings->value("defaultChartRange").toInt(), 0);

    fixture.preferences.setHasCompletedOnboarding(true);
    QSignalSpy asked(window.get(), &SettingsView::setupWizardRequested);
    tab.setupWizardButton().click();
    EXPECT_EQ(asked.count(), 1);
    EXPECT_FALSE(fixture.preferences.hasCompletedOnboarding());
}

// Found with the tool at a 38-character path: the tab scrolled sideways and cut off Uninstall.
// Through a 70-character folder, the path's third line ended in an ellipsis.
TEST(GeneralTab, ALongToolPathWrapsWithinTheWindow) {
    GeneralTabFixture fixture;
    fixture.toolPath = fixture.home.path() / testing::longFolderName / "usr/local/bin/norvane";
    fixture.linkTool();
    auto window = fixture.open(fixture.services());
    auto& tab = window->generalTab();
    EXPECT_EQ(tab.toolStatus().toStdString(), "Installed at " + fixture.toolPath.string());
    const auto* form = tab.findChild<QScrollArea*>();
    ASSERT_NE(form, nullptr);
    const auto outOfView = [&] { return norvane::testing::partsOutOfView(*window).join(" | ").toStdString(); };
    // Once the window has grown to hold the lines.
    EXPECT_TRUE(eventually([&] { return outOfView().empty() && form->widget()->width() <= form->viewport()->width(); }))
        << outOfView() << "; nothing to scroll sideways";
    const QStringList lines = tab.findChild<ElidedLabel*>()->shownLines();
    EXPECT_GE(lines.size(), 4);
    EXPECT_FALSE(lines.join("").contains(QChar(0x2026))) << "the whole path, over lines";
}

// Found with systemd's answer on a desktop without a user session: its lines pushed "Run Setup
// Wizard Again" below the window's edge, behind a scroll bar.
TEST(GeneralTab, TheAgentsMessageMakesRoomAndEveryControlStaysInSight) {
    // In the application's own fonts and sizes.
    norvane::testing::themedApplication();
    GeneralTabFixture fixture;
    fixture.linkTool();
    bool sessionUp = false;
    RecordingProcessRunner systemctl([&sessionUp](const platform::ProcessRequest&) {
        return sessionUp ? exitedWith(0)
                         : exitedWith(1, "System has not been booted with systemd as init system (PID 1). Can't "
                                         "operate.\nFailed to connect to bus: Host is down");
    });
    auto window = fixture.open(fixture.services(systemctl));
    auto& tab = window->generalTab();
    const auto outOfView = [&] { return norvane::testing::partsOutOfView(*window).join(" | ").toStdString(); };
    EXPECT_TRUE(eventually([&] { return outOfView().empty(); })) << outOfView();

    tab.backgroundToggle().click();
    ASSERT_TRUE(fixture.waitForAgent(tab));
    ASSERT_FALSE(tab.agentError().isHidden());
    EXPECT_TRUE(eventually([&] { return outOfView().empty(); })) << outOfView();
    EXPECT_GT(window->height(), SettingsView::windowHeight);

    // Turned on at the next try: the message goes, the hour's row comes, and nothing is hidden.
    sessionUp = true;
    tab.backgroundToggle().click();
    ASSERT_TRUE(fixture.waitForAgent(tab));
    EXPECT_TRUE(tab.agentError().isHidden());
    EXPECT_TRUE(tab.collectionTimePicker().isVisible());
    EXPECT_TRUE(eventually([&] { return outOfView().empty(); })) << outOfView();
}

} // namespace
} // namespace norvane::app
