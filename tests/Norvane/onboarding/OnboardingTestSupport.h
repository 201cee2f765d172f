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

/// The wizard over the application state of a temporary home: the tool's link and the agent's
/// units stay in that home, and the wizard's program runs from a folder of it, without the tool
/// until the test puts it there; the tools are found where the test says.
class OnboardingTest : public SheetTest {
protected:
    std::filesystem::path home() const { return platform::XdgPaths::homeFolder(); }
    std::filesystem::path toolPath() const { return home() / longFolderName / "usr/local/bin/norvane"; }
    std::filesystem::path programFolder() const { return home() / longFolderName / "programs"; }
    /// The link's folder stands in for /usr/local/bin, which PATH holds.
    CommandLineTool tool() const { return {programFolder(), toolPath(), toolPath().parent_path().string()}; }

    /// git at its usual place, scc nowhere, and the built-in counter among the built programs when
    /// `builtInCounter` holds; no login shell finds anything.
    static DependencyCheck::Locations tools(bool builtInCounter) {
        return {{},
                {"/usr/bin/git"},
                builtInCounter ? std::vector<std::filesystem::path>{builtPrograms() / "norvane-count"}
                               : std::vector<std::filesystem::path>{},
                "/bin/false"};
    }

    OnboardingServices services(platform::ProcessRunner& systemctl = platform::defaultProcessRunner(),
                                DependencyCheck::Locations found = tools(true)) {
        return {
            &appState(), std::make_shared<DependencyCheck>(std::move(found)),
            std::make_shared<CLIInstaller>(CLIInstaller::Locations{toolPath(), builtPrograms(), home()}, privileged),
            std::make_shared<LaunchdManager>(
                LaunchdManager::Locations{home() / ".config/systemd/user", home() / ".local/state/norvane", tool()},
                systemctl),
            tool()};
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
    /// Puts the built tool beside the wizard's program, as `cmake --install` does.
    void installToolBesideTheProgram() const { linkBuiltTool(programFolder() / "norvane"); }

    norvane::testing::ScopedEnvironment configHome{"XDG_CONFIG_HOME", (home() / ".config").string()};
    norvane::testing::FakePrivilegedRunner privileged;

private:
    std::unique_ptr<QWidget> window_;
    QPointer<OnboardingWizard> wizard_;
};

} // namespace norvane::app::testing
