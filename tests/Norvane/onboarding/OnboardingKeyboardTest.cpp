#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <filesystem>
#include <fstream>

#include "Norvane/onboarding/AddFirstProjectView.h"
#include "Norvane/onboarding/BusyButton.h"
#include "Norvane/onboarding/CLIInstallStepView.h"
#include "Norvane/onboarding/ErrorCaption.h"
#include "Norvane/onboarding/NorvaneIndexOptInView.h"
#include "Norvane/onboarding/SchedulingStepView.h"
#include "tests/Norvane/onboarding/OnboardingTestSupport.h"
#include "tests/support/RecordingProcessRunner.h"

namespace norvane::app {
namespace {

using norvane::testing::exitedWith;
using norvane::testing::expectFocusedAndMarked;
using norvane::testing::keyboardGaps;
using norvane::testing::pressKey;
using norvane::testing::tabTo;
using testing::eventually;

class OnboardingKeyboardTest : public testing::OnboardingTest {
protected:
    /// Tab reaches every control of the step on screen, with the ring around each.
    void expectReached(const char* state) { EXPECT_EQ(keyboardGaps(*wizard()).join(" | ").toStdString(), "") << state; }

    void forward() {
        ASSERT_TRUE(tabTo(wizard()->forwardButton()));
        pressKey(Qt::Key_Space);
    }
};

// Each step in turn, from the first to the dashboard, with Tab, the arrows and Space alone.
TEST_F(OnboardingKeyboardTest, EveryStepIsWalkedWithTheKeyboardAlone) {
    const auto repository = makeRepository();
    norvane::testing::RecordingProcessRunner systemctl([](const auto&) { return exitedWith(0); });
    auto& wizard = open(services(systemctl));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
    const auto& model = wizard.model();
    expectReached("welcome");
    forward();

    ASSERT_TRUE(eventually([&] { return !model.isCheckingDependencies(); }));
    expectReached("dependencies");
    forward();

    auto& tool = step<CLIInstallStepView>();
    expectReached("tool");
    ASSERT_TRUE(tabTo(tool.installButton()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !tool.isInstalling(); }));
    EXPECT_TRUE(model.cliInstalled());
    expectReached("tool, installed");
    forward();

    auto& project = step<AddFirstProjectView>();
    ASSERT_TRUE(tabTo(project.nameField()));
    testing::typeInto(project.nameField(), "Atlas");
    pressKey(Qt::Key_Tab);
    testing::typeInto(*QApplication::focusWidget(), QString::fromStdString(repository->pathString()));
    expectReached("first project");
    ASSERT_TRUE(tabTo(project.addButton()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return model.addedProject().has_value(); }));
    expectReached("first project, added");
    forward();

    auto& scheduling = step<SchedulingStepView>();
    expectReached("scheduling");
    ASSERT_TRUE(tabTo(scheduling.hourPicker()));
    const int hour = scheduling.collectionHour();
    pressKey(Qt::Key_Down);
    EXPECT_EQ(scheduling.collectionHour(), hour + 1);
    ASSERT_TRUE(tabTo(scheduling.enableButton()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !scheduling.isWorking(); }));
    EXPECT_TRUE(model.schedulingEnabled());
    expectReached("scheduling, enabled");
    forward();

    auto& index = step<NorvaneIndexOptInView>();
    expectReached("benchmark");
    ASSERT_TRUE(tabTo(index.enableButton()));
    pressKey(Qt::Key_Space);
    EXPECT_TRUE(model.dataCollectionEnabled());
    expectReached("benchmark, joined");
    forward();

    expectReached("completion");
    forward();
    EXPECT_TRUE(eventually([this] { return !this->wizard() || !this->wizard()->isVisible(); }));
    EXPECT_TRUE(appState().preferences().hasCompletedOnboarding());
}

// A failed install and a failed enable, each started with Space: the focus stays on the button,
// not on whatever followed it while the step waited.
TEST_F(OnboardingKeyboardTest, AFailureLeavesTheFocusWhereTheUserActed) {
    std::filesystem::create_directories(toolPath().parent_path().parent_path());
    std::ofstream(toolPath().parent_path()) << "a file, not a folder";
    privileged.outcome = {PrivilegedRunner::Outcome::Kind::failed, "mkdir: Not a directory"};
    installToolBesideTheProgram();
    norvane::testing::RecordingProcessRunner systemctl([](const auto&) { return exitedWith(1, "no session bus"); });
    auto& wizard = open(services(systemctl));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
    goTo(OnboardingStep::cliInstall);
    auto& tool = step<CLIInstallStepView>();
    ASSERT_TRUE(tabTo(tool.installButton()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !tool.isInstalling(); }));
    ASSERT_TRUE(tool.errorLabel().isVisible());
    expectFocusedAndMarked(tool.installButton());

    goTo(OnboardingStep::scheduling);
    auto& scheduling = step<SchedulingStepView>();
    ASSERT_TRUE(tabTo(scheduling.enableButton()));
    pressKey(Qt::Key_Space);
    ASSERT_TRUE(eventually([&] { return !scheduling.isWorking(); }));
    ASSERT_EQ(scheduling.errorText(), "systemctl failed: no session bus");
    expectFocusedAndMarked(scheduling.enableButton());
}

// The wizard opened on "Skip Setup", which Space pressed, and each step on the button that led to
// it. Each step opens with no control focused, so that Space and Return do nothing; the first
// project's step, whose first job is typing, opens on its name.
TEST_F(OnboardingKeyboardTest, EachStepOpensWithNoControlFocusedAndTheFirstProjectOnItsName) {
    norvane::testing::RecordingProcessRunner systemctl([](const auto&) { return exitedWith(0); });
    auto& wizard = open(services(systemctl));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
    for (int step = int(OnboardingStep::welcome); step <= int(OnboardingStep::completion); ++step) {
        goTo(OnboardingStep(step));
        SCOPED_TRACE(step);
        QCoreApplication::processEvents();
        if (OnboardingStep(step) == OnboardingStep::addProject) {
            EXPECT_EQ(QApplication::focusWidget(), &this->step<AddFirstProjectView>().nameField());
            continue;
        }
        EXPECT_EQ(QApplication::focusWidget(), &wizard);
        for (const auto key : {Qt::Key_Space, Qt::Key_Return}) pressKey(key);
        EXPECT_EQ(wizard.model().currentStep(), OnboardingStep(step));
        ASSERT_TRUE(wizard.isVisible());
    }
}

} // namespace
} // namespace norvane::app
