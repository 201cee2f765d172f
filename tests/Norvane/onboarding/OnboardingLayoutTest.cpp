#include <fstream>

#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/onboarding/AddFirstProjectView.h"
#include "Norvane/onboarding/BusyButton.h"
#include "Norvane/onboarding/CLIInstallStepView.h"
#include "Norvane/onboarding/ErrorCaption.h"
#include "Norvane/onboarding/NorvaneIndexOptInView.h"
#include "Norvane/onboarding/PlainButton.h"
#include "Norvane/onboarding/SchedulingStepView.h"
#include "tests/Norvane/onboarding/OnboardingTestSupport.h"
#include "tests/support/RecordingProcessRunner.h"

namespace norvane::app {
namespace {

using norvane::testing::exitedWith;
using norvane::testing::partsOutOfView;
using norvane::testing::RecordingProcessRunner;
using testing::eventually;

/// The texts of the wrapped labels in `window` that do not show whole, as a label of fewer lines
/// than its text takes cuts its last line with an ellipsis.
QStringList cutTexts(const QWidget& window) {
    QStringList cut;
    for (const auto* label : window.findChildren<ElidedLabel*>()) {
        const QString shown = label->shownLines().join("").remove(' ');
        if (label->isVisible() && shown != QString(label->text()).remove(' ')) cut << label->text();
    }
    return cut;
}

/// Every step, in each of its states, shows all its controls and texts in the wizard, at its usual
/// size or grown for a long path: nothing lies below the fold, is cut at the navigation bar, or is
/// cut short.
class OnboardingLayoutTest : public testing::OnboardingTest {
protected:
    void expectWhole(const char* state) {
        QCoreApplication::processEvents();
        EXPECT_EQ(partsOutOfView(*wizard()).join(" | ").toStdString(), "") << state;
        EXPECT_EQ(cutTexts(*wizard()).join(" | ").toStdString(), "") << state;
        EXPECT_EQ(wizard()->findChild<QScrollArea*>()->verticalScrollBar()->maximum(), 0) << state;
    }

    /// Builds the current step anew, as a visit does.
    void revisit() {
        QTest::mouseClick(&wizard()->backButton(), Qt::LeftButton);
        QTest::mouseClick(&wizard()->forwardButton(), Qt::LeftButton);
    }
};

// The tool's paths run through a long folder: each shows whole, over lines.
TEST_F(OnboardingLayoutTest, TheFirstStepsFitInEachState) {
    installToolBesideTheProgram();
    auto& wizard = open(services(platform::defaultProcessRunner(), tools(false)));
    expectWhole("welcome");
    goTo(OnboardingStep::dependencies);
    ASSERT_TRUE(eventually([&] { return !wizard.model().isCheckingDependencies(); }));
    expectWhole("dependencies, scc required");

    // A file where the link's folder belongs: only the administrator could make room.
    std::filesystem::create_directories(toolPath().parent_path().parent_path());
    std::ofstream(toolPath().parent_path()) << "a file, not a folder";
    privileged.outcome = {PrivilegedRunner::Outcome::Kind::failed,
                          "Error executing command as another user: Not authorized"};
    QTest::mouseClick(&wizard.backButton(), Qt::LeftButton);
    wizard.model().goNext();
    wizard.model().goNext();
    auto& tool = step<CLIInstallStepView>();
    ASSERT_TRUE(tool.besideApplicationRow().isVisible());
    expectWhole("tool beside the program");
    QTest::mouseClick(&tool.installButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return !tool.isInstalling(); }));
    expectWhole("tool beside the program, failed");
    std::filesystem::remove(toolPath().parent_path());
    QTest::mouseClick(&tool.installButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return !tool.isInstalling(); }));
    expectWhole("tool, installed");
}

TEST_F(OnboardingLayoutTest, TheFirstProjectStepFitsInEachState) {
    const auto repository = makeRepository();
    auto& wizard = open(services());
    goTo(OnboardingStep::addProject);
    auto& view = step<AddFirstProjectView>();
    testing::typeInto(view.nameField(), "Atlas");
    testing::typeInto(view.pathField(), QString::fromStdString(home().string()));
    ASSERT_TRUE(view.gitWarning().isVisible());
    expectWhole("form with the git warning");

    testing::typeInto(view.pathField(), QString::fromStdString((home() / "missing").string()));
    QTest::mouseClick(&view.addButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return view.errorMessage().isVisible(); }));
    expectWhole("form with a refusal");

    testing::typeInto(view.pathField(), QString::fromStdString(repository->pathString()));
    QTest::mouseClick(&view.addButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return view.shownDisplay() == AddFirstProjectView::Display::added; }));
    expectWhole("added");
    EXPECT_EQ(wizard.model().currentStep(), OnboardingStep::addProject);
}

TEST_F(OnboardingLayoutTest, TheSchedulingStepFitsInEachState) {
    bool loads = false;
    // What systemctl says on a machine whose session has no systemd: two lines, three once wrapped.
    RecordingProcessRunner launchctl([&loads](const platform::ProcessRequest&) {
        return loads ? exitedWith(0)
                     : exitedWith(1, "System has not been booted with systemd as init system (PID 1). Can't operate.\n"
                                     "Failed to connect to bus: Host is down");
    });
    open(services(launchctl));
    goTo(OnboardingStep::scheduling);
    expectWhole("without the tool");

    linkTool();
    revisit();
    auto* view = &step<SchedulingStepView>();
    QTest::mouseClick(&view->enableButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return !view->isWorking(); }));
    ASSERT_FALSE(view->errorText().isEmpty());
    expectWhole("set-up with a failed enable");

    loads = true;
    QTest::mouseClick(&view->enableButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return !view->isWorking(); }));
    expectWhole("enabled");
    loads = false;
    QTest::mouseClick(&view->disableButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return !view->isWorking(); }));
    ASSERT_FALSE(view->errorText().isEmpty());
    expectWhole("enabled with a failed disable");
}

TEST_F(OnboardingLayoutTest, TheLastStepsFitInEachState) {
    open(services());
    goTo(OnboardingStep::dataCollection);
    expectWhole("benchmark, not joined");
    QTest::mouseClick(&step<NorvaneIndexOptInView>().enableButton(), Qt::LeftButton);
    expectWhole("benchmark, joined");
    goTo(OnboardingStep::completion);
    expectWhole("completion");
}

} // namespace
} // namespace norvane::app
