#pragma once

#include <filesystem>
#include <memory>

#include <QPointer>
#include <QTest>
#include <QWidget>

#include "Norvane/onboarding/OnboardingWizard.h"
#include "platform/XdgPaths.h"
#include "tests/Norvane/settings/SettingsFixture.h"
#include "tests/Norvane/sheets/SheetTestSupport.h"

namespace norvane::app::testing {

/// The wizard over the application state of a temporary home: the tool's link, the agent's files
/// and the systemd units all stay in that home; the tools are found where the test says.
class OnboardingTest : public SheetTest {
protected:
    std::filesystem::path home() const { return platform::XdgPaths::homeFolder(); }
    std::filesystem::path toolPath() const { return home() / "usr/local/bin/norvane"; }

    /// git at its usual place, scc nowhere, and the built-in counter among the built programs when
    /// `builtInCounter` holds; no login shell finds anything.
    static DependencyCheck::Locations tools(bool builtInCounter) {
        return {{},
                {"/usr/bin/git"},
                builtInCounter ? std::vector<std::filesystem::path>{builtPrograms() / "norvane-count"}
                               : std::vector<std::filesystem::path>{},
                "/bin/false"};
    }

    OnboardingServices services(platform::ProcessRunner& launchctl = platform::defaultProcessRunner(),
                                DependencyCheck::Locations found = tools(true)) {
        return {
            &appState(), std::make_shared<DependencyCheck>(std::move(found)),
            std::make_shared<CLIInstaller>(CLIInstaller::Locations{toolPath(), builtPrograms(), home()}, privileged),
            std::make_shared<LaunchdManager>(
                LaunchdManager::Locations{home(), toolPath(), builtPrograms() / "norvane-launchctl"}, launchctl),
            toolPath()};
    }

    /// The wizard, open over a window of its own.
    OnboardingWizard& open(OnboardingServices with) {
        window_ = std::make_unique<QWidget>();
        window_->show();
        wizard_ = new OnboardingWizard(std::move(with), *window_);
        wizard_->open();
        QCoreApplication::processEvents();
        return *wizard_;
    }

    const QPointer<OnboardingWizard>& wizard() const { return wizard_; }

    /// Clicks "Continue" (or "Skip") until `step` is on screen.
    void goTo(OnboardingStep step) {
        while (wizard_->model().currentStep() != step) QTest::mouseClick(&wizard_->forwardButton(), Qt::LeftButton);
    }

    template <typename View>
    View& step() const {
        return *dynamic_cast<View*>(wizard_->stepView());
    }

    void linkTool() const { linkBuiltTool(toolPath()); }

    norvane::testing::ScopedEnvironment configHome{"XDG_CONFIG_HOME", (home() / ".config").string()};
    norvane::testing::FakePrivilegedRunner privileged;

private:
    std::unique_ptr<QWidget> window_;
    QPointer<OnboardingWizard> wizard_;
};

} // namespace norvane::app::testing
