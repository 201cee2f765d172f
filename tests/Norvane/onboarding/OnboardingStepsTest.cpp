#include <fstream>

#include <QComboBox>
#include <QLineEdit>

#include <gmock/gmock.h>

#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/onboarding/AddFirstProjectView.h"
#include "Norvane/onboarding/BusyButton.h"
#include "Norvane/onboarding/CLIInstallStepView.h"
#include "Norvane/onboarding/CompletionView.h"
#include "Norvane/onboarding/ErrorCaption.h"
#include "Norvane/onboarding/SchedulingStepView.h"
#include "Norvane/settings/GeneralTab.h"
#include "tests/Norvane/onboarding/OnboardingTestSupport.h"
#include "tests/support/RecordingProcessRunner.h"

namespace norvane::app {
namespace {

using Display = AddFirstProjectView::Display;
using norvane::testing::exitedWith;
using norvane::testing::RecordingProcessRunner;
using testing::eventually;

class OnboardingStepsTest : public testing::OnboardingTest {
protected:
    void typeProject(const QString& name, const std::filesystem::path& path) {
        auto& view = step<AddFirstProjectView>();
        testing::typeInto(view.nameField(), name);
        testing::typeInto(view.pathField(), QString::fromStdString(path.string()));
    }
};

// Leaving the step while the first collection runs and coming back shows that collection, not a
// form that would add the folder a second time; the added project shows its count.
TEST_F(OnboardingStepsTest, TheFirstProjectsAddOutlivesAVisitAndShowsItsCount) {
    const auto repository = makeRepository();
    auto& wizard = open(services());
    goTo(OnboardingStep::addProject);
    testing::typeInto(step<AddFirstProjectView>().pathField(), QString::fromStdString(home().string()));
    EXPECT_TRUE(step<AddFirstProjectView>().gitWarning().isVisible());
    EXPECT_FALSE(step<AddFirstProjectView>().addButton().isEnabled()) << "no name yet";
    typeProject("Atlas", repository->path());
    EXPECT_FALSE(step<AddFirstProjectView>().gitWarning().isVisible());
    QTest::mouseClick(&step<AddFirstProjectView>().addButton(), Qt::LeftButton);

    ASSERT_TRUE(eventually([&] { return step<AddFirstProjectView>().shownDisplay() == Display::progress; }));
    QTest::mouseClick(&wizard.backButton(), Qt::LeftButton);
    QTest::mouseClick(&wizard.forwardButton(), Qt::LeftButton);
    EXPECT_EQ(step<AddFirstProjectView>().shownDisplay(), Display::progress);
    EXPECT_EQ(wizard.forwardButton().text(), "Skip");

    ASSERT_TRUE(eventually([&] { return step<AddFirstProjectView>().shownDisplay() == Display::added; }));
    EXPECT_EQ(step<AddFirstProjectView>().addedCardTexts(),
              QStringList({"Atlas", QString::fromStdString(repository->pathString()), "12 lines", "4 files"}));
    EXPECT_EQ(wizard.forwardButton().text(), "Continue");
    EXPECT_EQ(kit().listProjects(true).size(), 1U);
    goTo(OnboardingStep::completion);
    EXPECT_TRUE(norvane::testing::showsText(*wizard.stepView(), "Atlas"));
    EXPECT_TRUE(
        norvane::testing::showsText(*wizard.stepView(), "Your dashboard is ready with your first project's metrics!"));
}

TEST_F(OnboardingStepsTest, AFailedFirstCollectionShowsItsErrorInsteadOfSuccess) {
    restartWithoutCounter();
    const auto repository = makeRepository();
    open(services());
    goTo(OnboardingStep::addProject);
    typeProject("Beacon", repository->path());
    QTest::mouseClick(&step<AddFirstProjectView>().addButton(), Qt::LeftButton);

    ASSERT_TRUE(eventually([&] { return step<AddFirstProjectView>().shownDisplay() == Display::failed; }));
    EXPECT_TRUE(step<AddFirstProjectView>().failureLabel().text().contains("'Beacon' is registered"));
    EXPECT_TRUE(norvane::testing::showsText(*wizard()->stepView(), step<AddFirstProjectView>().failureLabel().text()));
    EXPECT_FALSE(norvane::testing::showsText(*wizard()->stepView(), "Project Added!"));
    EXPECT_TRUE(kit().findProject("Beacon")) << "registered all the same";
}

// The step writes the units under the temporary home, and a systemctl stand-in answers. The tool
// is installed beside the program: no link is needed.
TEST_F(OnboardingStepsTest, EnablingAtTheDefaultHourCreatesTheTimerAndDisablingRemovesIt) {
    norvane::testing::SystemctlStandIn systemctl;
    installToolBesideTheProgram();
    auto& wizard = open(services());
    goTo(OnboardingStep::scheduling);
    auto& view = step<SchedulingStepView>();
    EXPECT_EQ(view.hourPicker().currentText(), "2:00 AM");
    ASSERT_TRUE(view.enableButton().isEnabled());
    QTest::mouseClick(&view.enableButton(), Qt::LeftButton);
    EXPECT_FALSE(wizard.backButton().isEnabled()) << "the wizard waits for the agent";
    ASSERT_TRUE(eventually([&] { return !view.isWorking(); }));

    const auto timer = home() / ".config/systemd/user/app.norvane.collect.timer";
    EXPECT_THAT(norvane::testing::readFile(timer), ::testing::HasSubstr("OnCalendar=*-*-* 02:00:00"));
    EXPECT_THAT(norvane::testing::readFile(home() / ".config/systemd/user/app.norvane.collect.service"),
                ::testing::HasSubstr("ExecStart=\"" + (programFolder() / "norvane").string() + "\""));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(toolPath())));
    EXPECT_EQ(view.statusText().text(), "Enabled - runs daily at 2:00 AM");
    EXPECT_TRUE(view.enabledBlock().isVisible());
    EXPECT_TRUE(wizard.model().schedulingEnabled());

    QTest::mouseClick(&view.disableButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return !view.isWorking(); }));
    EXPECT_FALSE(std::filesystem::exists(timer));
    EXPECT_FALSE(view.enabledBlock().isVisible());
    EXPECT_EQ(view.errorText(), "");
}

TEST_F(OnboardingStepsTest, AFailedDisableShowsItsErrorAndAnInstalledAgentShowsItsHour) {
    linkTool();
    RecordingProcessRunner systemctl([](const platform::ProcessRequest& request) {
        return request.arguments[1] == "disable" ? exitedWith(1, "Failed to connect to bus") : exitedWith(0);
    });
    const auto agent = services(systemctl).agent;
    agent->install(5, 30);
    auto& wizard = open(services(systemctl));
    goTo(OnboardingStep::scheduling);
    auto& view = step<SchedulingStepView>();
    EXPECT_EQ(view.statusText().text(), "Enabled - runs daily at 5:00 AM");

    QTest::mouseClick(&view.disableButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return !view.isWorking(); }));
    EXPECT_TRUE(view.enabledBlock().isVisible());
    EXPECT_EQ(view.errorText(), "systemctl failed: Failed to connect to bus");
    EXPECT_TRUE(wizard.model().schedulingEnabled());
}

TEST_F(OnboardingStepsTest, TheToolStepShowsNothingForACancelledPromptAndTheMessageOfAFailure) {
    // A file where the link's folder belongs: only the administrator could make room.
    std::filesystem::create_directories(toolPath().parent_path().parent_path());
    std::ofstream(toolPath().parent_path()) << "a file, not a folder";
    auto& wizard = open(services());
    goTo(OnboardingStep::cliInstall);
    auto& view = step<CLIInstallStepView>();
    const auto install = [&] {
        QTest::mouseClick(&view.installButton(), Qt::LeftButton);
        EXPECT_TRUE(view.installButton().isBusy());
        EXPECT_TRUE(eventually([&] { return !view.isInstalling(); }));
    };

    privileged.outcome = {PrivilegedRunner::Outcome::Kind::refused, {}};
    install();
    EXPECT_EQ(privileged.commands.size(), 1U);
    EXPECT_FALSE(view.errorLabel().isVisible());
    EXPECT_FALSE(view.installedRow().isVisible());

    privileged.outcome = {PrivilegedRunner::Outcome::Kind::failed, "  mkdir: Not a directory\n"};
    install();
    EXPECT_EQ(view.errorLabel().text(), "Installation failed: mkdir: Not a directory");
    EXPECT_TRUE(view.errorLabel().isVisible());

    std::filesystem::remove(toolPath().parent_path());
    install();
    EXPECT_FALSE(view.errorLabel().isVisible());
    EXPECT_TRUE(view.installedRow().isVisible());
    EXPECT_TRUE(wizard.model().cliInstalled());
    EXPECT_EQ(std::filesystem::read_symlink(toolPath()), testing::builtPrograms() / "norvane");
    EXPECT_TRUE(norvane::testing::showsText(view, "Installed at " + QString::fromStdString(toolPath().string())));
}

// The wizard's step, its summary and the settings' row tell one status: installed once a terminal
// finds the tool; beside the program only the daily agent runs it, and the install is offered. The
// first project's step tells the command a terminal runs: by its full path beside the program,
// none without the tool.
TEST_F(OnboardingStepsTest, TheToolStepTellsWhetherATerminalFindsTheTool) {
    const struct {
        const char* name;
        bool beside;
        bool linked;
        QString shown;
        bool offersInstall;
        QString summary;
        QString settings;
        QString command;
    } cases[] = {
        {"on PATH", true, true, "Installed at " + QString::fromStdString(toolPath().string()), false, "Installed",
         "Installed at " + QString::fromStdString(toolPath().string()), "norvane add {name}"},
        {"beside only", true, false, "Not on PATH: " + QString::fromStdString((programFolder() / "norvane").string()),
         true, "Not on PATH", "Not on PATH: " + QString::fromStdString((programFolder() / "norvane").string()),
         QString::fromStdString((programFolder() / "norvane").string()) + " add {name}"},
        {"neither", false, false, "", true, "Not installed", "Not installed", ""},
    };
    for (const auto& row : cases) {
        std::filesystem::remove_all(programFolder());
        std::filesystem::remove_all(toolPath().parent_path());
        if (row.beside) installToolBesideTheProgram();
        if (row.linked) linkTool();
        auto& wizard = open(services());
        goTo(OnboardingStep::cliInstall);
        auto& view = step<CLIInstallStepView>();
        EXPECT_EQ(view.shownStatus(), row.shown) << row.name;
        EXPECT_EQ(view.installButton().isVisible(), row.offersInstall) << row.name;
        EXPECT_TRUE(row.shown.isEmpty() || norvane::testing::showsText(view, row.shown)) << row.name;
        EXPECT_EQ(GeneralTab::toolStatusText(wizard.model().cliStatus()), row.settings) << row.name;

        goTo(OnboardingStep::addProject);
        const QString hint = step<AddFirstProjectView>().shownToolHint();
        EXPECT_EQ(hint.isEmpty(), row.command.isEmpty()) << row.name;
        EXPECT_TRUE(row.command.isEmpty() || hint.contains("<code>" + row.command + "</code>"))
            << row.name << ": " << hint.toStdString();

        goTo(OnboardingStep::completion);
        const auto summary = CompletionView::summary(std::nullopt, wizard.model().cliStatus().reach, false, false);
        EXPECT_EQ(summary.front().label, "CLI Tool") << row.name;
        EXPECT_EQ(summary.front().value, row.summary) << row.name;
        EXPECT_TRUE(norvane::testing::showsText(*wizard.stepView(), row.summary)) << row.name;
        wizard.close();
    }
}

} // namespace
} // namespace norvane::app
