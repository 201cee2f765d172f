#include "Norvane/onboarding/OnboardingWizard.h"

#include <QLabel>
#include <QPushButton>
#include <QThreadPool>

#include "Norvane/cards/kit/CapsuleBadge.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/onboarding/CompletionView.h"
#include "Norvane/onboarding/DependencyCheckView.h"
#include "Norvane/onboarding/NorvaneIndexOptInView.h"
#include "Norvane/onboarding/WelcomeStepView.h"
#include "tests/Norvane/onboarding/OnboardingTestSupport.h"

namespace norvane::app {
namespace {

using testing::eventually;

class OnboardingWizardTest : public testing::OnboardingTest {};

/// What the navigation bar offers: the left control, the right button's title and whether it
/// can be pressed.
QString navigation(OnboardingWizard& wizard) {
    const QString left = wizard.skipSetupButton().isVisible() ? "Skip Setup"
                         : wizard.backButton().isVisible()    ? "Back"
                                                              : "-";
    const auto& forward = wizard.forwardButton();
    return left + " | " + forward.text() + (forward.isEnabled() ? "" : " (disabled)");
}

TEST_F(OnboardingWizardTest, WalksThroughTheStepsAndOnlyItsOwnButtonsEndIt) {
    auto& wizard = open(services());
    auto& model = wizard.model();
    EXPECT_EQ(wizard.size(), QSize(OnboardingWizard::wizardWidth, OnboardingWizard::wizardHeight));
    EXPECT_FALSE(step<WelcomeStepView>().icon().pixmap().isNull()) << "the application's icon";
    EXPECT_TRUE(wizard.setupHint().isVisible());

    QStringList bars;
    for (int index = 0; index < onboardingStepCount; ++index) {
        bars << navigation(wizard);
        EXPECT_TRUE(model.isStepReached(OnboardingStep(index)));
        EXPECT_EQ(model.isStepReached(OnboardingStep(index + 1)), false) << index;
        QTest::keyClick(&wizard, Qt::Key_Escape);
        ASSERT_TRUE(wizard.isVisible()) << "Escape never closes the wizard";
        if (index < onboardingStepCount - 1) QTest::mouseClick(&wizard.forwardButton(), Qt::LeftButton);
    }
    EXPECT_EQ(bars, QStringList({"Skip Setup | Continue", "Back | Continue", "Back | Continue", "Back | Skip",
                                 "Back | Continue", "Back | Continue", "- | Get Started"}));
    EXPECT_TRUE(model.isConnectionComplete(OnboardingStep::dataCollection));

    QTest::mouseClick(&wizard.backButton(), Qt::LeftButton);
    EXPECT_EQ(model.currentStep(), OnboardingStep::dataCollection);
    goTo(OnboardingStep::completion);
    EXPECT_FALSE(appState().preferences().hasCompletedOnboarding());
    QTest::mouseClick(&wizard.forwardButton(), Qt::LeftButton);
    EXPECT_TRUE(appState().preferences().hasCompletedOnboarding());
    EXPECT_TRUE(eventually([&] { return !this->wizard(); })) << "the wizard closes and goes";
}

TEST_F(OnboardingWizardTest, TheCloseButtonSkipsTheSetupAsSkipSetupDoes) {
    auto& wizard = open(services());
    goTo(OnboardingStep::cliInstall);
    wizard.close();
    EXPECT_TRUE(appState().preferences().hasCompletedOnboarding());
    EXPECT_TRUE(eventually([&] { return !this->wizard(); }));

    appState().preferences().setHasCompletedOnboarding(false);
    auto& again = open(services());
    QTest::mouseClick(&again.skipSetupButton(), Qt::LeftButton);
    EXPECT_TRUE(appState().preferences().hasCompletedOnboarding());
    EXPECT_TRUE(eventually([&] { return !this->wizard(); }));
}

TEST_F(OnboardingWizardTest, WithoutSccTheBuiltInCounterLetsTheUserContinue) {
    auto& wizard = open(services(platform::defaultProcessRunner(), tools(true)));
    goTo(OnboardingStep::dependencies);
    auto& view = step<DependencyCheckView>();
    ASSERT_TRUE(eventually([&] { return !wizard.model().isCheckingDependencies(); }));
    EXPECT_EQ(view.sccRow().symbol->symbolName(), "minus.circle.fill");
    EXPECT_EQ(view.sccRow().badge->text(), "Optional");
    EXPECT_EQ(view.gitRow().symbol->symbolName(), "checkmark.circle.fill");
    EXPECT_FALSE(view.installBox().isVisible());
    EXPECT_EQ(navigation(wizard), "Back | Continue");
}

TEST_F(OnboardingWizardTest, WithNothingToCountCodeOnlyTheDependencyStepHoldsBack) {
    auto& wizard = open(services(platform::defaultProcessRunner(), tools(false)));
    goTo(OnboardingStep::dependencies);
    EXPECT_EQ(navigation(wizard), "Back | Continue") << "enabled while the first check runs";
    ASSERT_TRUE(eventually([&] { return !wizard.model().isCheckingDependencies(); }));
    auto& view = step<DependencyCheckView>();
    EXPECT_EQ(view.sccRow().symbol->symbolName(), "xmark.circle.fill");
    EXPECT_EQ(view.sccRow().badge->text(), "Required");
    EXPECT_FALSE(view.sccRow().hint->text().contains("brew")) << "no macOS-only tool";
    EXPECT_TRUE(view.installBox().isVisible());
    EXPECT_EQ(navigation(wizard), "Back | Continue (disabled)");

    QTest::mouseClick(&wizard.backButton(), Qt::LeftButton);
    EXPECT_EQ(navigation(wizard), "Skip Setup | Continue");
}

// The first check's shell answers after the second check has started; the second's answers
// later still. The first to finish must not end the second's spinner nor write its findings.
TEST_F(OnboardingWizardTest, OverlappingChecksKeepTheNewest) {
    norvane::testing::TemporaryFolder folder;
    const auto started = [&](int check) { return std::filesystem::exists(folder.path() / std::to_string(check)); };
    const auto answer = [&](int check) { folder.writeFile("answer" + std::to_string(check), ""); };
    // The n-th shell notes its start, waits until the test lets it answer, then finds scc on the
    // first check only.
    const auto shell = folder.writeFile("login-shell", "#!/bin/sh\ncd '" + folder.path().string() +
                                                           "'\nn=1\nwhile [ -e $n ]; do n=$((n + 1)); done\n"
                                                           "touch $n\nwhile [ ! -e answer$n ]; do sleep 0.01; done\n"
                                                           "[ $n = 1 ]\n");
    std::filesystem::permissions(shell, std::filesystem::perms::owner_all);
    auto found = tools(false);
    found.loginShell = shell;
    auto& wizard = open(services(platform::defaultProcessRunner(), found));
    auto& model = wizard.model();
    goTo(OnboardingStep::dependencies);
    ASSERT_TRUE(eventually([&] { return started(1); }));
    QTest::mouseClick(&wizard.backButton(), Qt::LeftButton);
    QTest::mouseClick(&wizard.forwardButton(), Qt::LeftButton);
    ASSERT_TRUE(eventually([&] { return started(2); }));

    answer(1);
    // The first check's work has ended once the second's is the only one left, and it hands its
    // answer over before it ends.
    ASSERT_TRUE(eventually([] { return QThreadPool::globalInstance()->activeThreadCount() == 1; }));
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(model.isCheckingDependencies()) << "the first check has answered, the second has not";
    EXPECT_FALSE(model.dependencies().scc);
    answer(2);
    ASSERT_TRUE(eventually([&] { return !model.isCheckingDependencies(); }));
    EXPECT_FALSE(model.dependencies().scc) << "the second check's findings";
    EXPECT_EQ(navigation(wizard), "Back | Continue (disabled)");
}

TEST_F(OnboardingWizardTest, TheBenchmarkStepStoresTheChoiceAndTheSummaryShowsIt) {
    auto& wizard = open(services());
    auto& preferences = appState().preferences();
    goTo(OnboardingStep::dataCollection);
    QTest::mouseClick(&step<NorvaneIndexOptInView>().enableButton(), Qt::LeftButton);
    const auto deviceId = preferences.anonymousDeviceId();
    EXPECT_EQ(deviceId.size(), 36);
    EXPECT_EQ(deviceId, deviceId.toUpper());
    EXPECT_TRUE(preferences.shareAnonymousMetrics());
    EXPECT_TRUE(step<NorvaneIndexOptInView>().joinedBlock().isVisible());

    QTest::mouseClick(&step<NorvaneIndexOptInView>().optOutButton(), Qt::LeftButton);
    EXPECT_FALSE(preferences.shareAnonymousMetrics());
    EXPECT_EQ(preferences.anonymousDeviceId(), deviceId) << "leaving keeps the id";
    preferences.setShareAnonymousMetrics(true);
    QTest::mouseClick(&wizard.backButton(), Qt::LeftButton);
    QTest::mouseClick(&wizard.forwardButton(), Qt::LeftButton);
    EXPECT_TRUE(step<NorvaneIndexOptInView>().joinedBlock().isVisible()) << "a choice made elsewhere shows";

    goTo(OnboardingStep::completion);
    const auto summary = CompletionView::summary(std::nullopt, CommandLineTool::Reach::missing, false,
                                                 wizard.model().dataCollectionEnabled());
    ASSERT_EQ(summary.size(), 3U);
    EXPECT_EQ(summary[0].symbol, "terminal");
    EXPECT_EQ(summary[0].value, "Not installed");
    EXPECT_EQ(summary[2].symbol, "chart.bar.doc.horizontal.fill");
    EXPECT_EQ(summary[2].value, "Contributing");
    EXPECT_TRUE(norvane::testing::showsText(*wizard.stepView(), "Add a project from the dashboard to start tracking"));
}

} // namespace
} // namespace norvane::app
