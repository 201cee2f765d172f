#include "Norvane/pages/screenshots/OnboardingScreenshots.h"

#include <fstream>

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "Norvane/onboarding/AddFirstProjectView.h"
#include "Norvane/onboarding/BusyButton.h"
#include "Norvane/onboarding/CLIInstallStepView.h"
#include "Norvane/onboarding/NorvaneIndexOptInView.h"
#include "Norvane/onboarding/OnboardingWizard.h"
#include "Norvane/onboarding/SchedulingStepView.h"
#include "Norvane/pages/screenshots/AppScreenshots.h"
#include "Norvane/pages/screenshots/DemoRepository.h"
#include "Norvane/pages/screenshots/UnreachableSystemctl.h"
#include "core/collection/SccService.h"
#include "platform/LocalCalendar.h"
#include "platform/XdgPaths.h"

namespace norvane::app::OnboardingScreenshots {
namespace {

using AppScreenshots::settle;
using Take = std::function<void(const QString& name, QWidget& widget)>;

/// Answers the administrator's password dialog as a failure, so that no picture asks for it.
class FailingPrivilegedRunner final : public PrivilegedRunner {
public:
    Outcome runShellCommand(const std::string&) override {
        return {Outcome::Kind::failed, "Error executing command as another user: Not authorized"};
    }
};

std::filesystem::path toolPath() { return platform::XdgPaths::homeFolder() / "usr/local/bin/norvane"; }

OnboardingServices demoServices(AppState& appState, bool withBuiltInCounter) {
    static FailingPrivilegedRunner passwordDialog;
    static UnreachableSystemctl systemctl;
    const auto home = platform::XdgPaths::homeFolder();
    const auto programs = platform::XdgPaths::executableFolder();
    // The wizard runs as if from a folder without the tool, which the installer links from here
    // into a folder of PATH.
    const CommandLineTool tool{home, toolPath(), toolPath().parent_path().string()};
    // No login shell finds anything: scc is missing, git is at its usual place.
    DependencyCheck::Locations tools{{},
                                     {"/usr/bin/git"},
                                     withBuiltInCounter ? SccLookup::standard().builtInPaths
                                                        : std::vector<std::filesystem::path>{},
                                     "/bin/false"};
    return {
        &appState, std::make_shared<DependencyCheck>(tools),
        std::make_shared<CLIInstaller>(CLIInstaller::Locations{toolPath(), programs, home}, passwordDialog),
        std::make_shared<LaunchdManager>(LaunchdManager::Locations{platform::XdgPaths::configHome() / "systemd/user",
                                                                   platform::XdgPaths::stateHome() / "norvane", tool},
                                         systemctl),
        tool};
}

/// Takes the picture at once, with the layouts done but before any work answers.
void takeNow(const QString& name, OnboardingWizard& wizard, const Take& take) {
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    wizard.layout()->activate();
    take(name, wizard);
}

/// A small repository for the first project.
std::filesystem::path makeFirstProject() {
    const DemoRepository repository(platform::XdgPaths::homeFolder() / "repositories/orbit-cli");
    const auto today = platform::LocalCalendar::startOfDay(platform::currentDate());
    for (int week = 6; week >= 0; --week) {
        repository.writeFile("src/command" + std::to_string(week) + ".py",
                             "def run_" + std::to_string(week) + "(arguments):\n    return len(arguments) * " +
                                 std::to_string(week + 1) + "\n");
        repository.commit("Add command " + std::to_string(week),
                          platform::LocalCalendar::addingDays(today, -7 * week) - std::chrono::hours(3));
    }
    return repository.folder();
}

void stageDependencies(AppState& appState, QWidget& window, const Take& take) {
    QPointer wizard = new OnboardingWizard(demoServices(appState, false), window);
    wizard->open();
    wizard->model().goNext();
    settle([&] { return !wizard->model().isCheckingDependencies(); });
    take(QStringLiteral("onboarding-dependencies-scc-required.png"), *wizard);
    wizard->close();
}

void stageToolInstall(OnboardingWizard& wizard, const Take& take) {
    auto& step = *dynamic_cast<CLIInstallStepView*>(wizard.stepView());
    take(QStringLiteral("onboarding-cli-install.png"), wizard);
    // Beside the application the daily agent can run it, but no terminal finds it.
    const auto beside = platform::XdgPaths::homeFolder() / "norvane";
    std::filesystem::create_symlink(platform::XdgPaths::executableFolder() / "norvane", beside);
    wizard.model().readCliStatus();
    settle();
    take(QStringLiteral("onboarding-cli-not-on-path.png"), wizard);
    std::filesystem::remove(beside);
    wizard.model().readCliStatus();
    // A file where the link's folder belongs: only the administrator could make room.
    std::filesystem::create_directories(toolPath().parent_path().parent_path());
    std::ofstream(toolPath().parent_path()) << "not a folder";
    step.installButton().click();
    settle([&] { return !step.isInstalling(); });
    take(QStringLiteral("onboarding-cli-install-failed.png"), wizard);
    std::filesystem::remove(toolPath().parent_path());
    step.installButton().click();
    settle([&] { return !step.isInstalling(); });
    take(QStringLiteral("onboarding-cli-installed.png"), wizard);
}

void stageFirstProject(AppState& appState, OnboardingWizard& wizard, const Take& take) {
    const auto folder = makeFirstProject();
    auto& step = *dynamic_cast<AddFirstProjectView*>(wizard.stepView());
    step.nameField().setText(QStringLiteral("orbit-cli"));
    step.pathField().setText(QString::fromStdString(folder.parent_path().string()));
    settle([] { return true; });
    take(QStringLiteral("onboarding-add-project.png"), wizard);

    step.pathField().setText(QString::fromStdString(folder.string()));
    auto& adder = wizard.model().projectAdder();
    bool progressTaken = false;
    const auto connection = QObject::connect(&adder, &AddProjectController::changed, &wizard, [&] {
        if (progressTaken || adder.importProgress() <= 0.0 || adder.importProgress() >= 1.0) return;
        progressTaken = true;
        takeNow(QStringLiteral("onboarding-add-project-progress.png"), wizard, take);
    });
    settle([&] { return !appState.isCollecting(); });
    step.addButton().click();
    settle([&] { return wizard.model().addedProject().has_value(); });
    QObject::disconnect(connection);
    take(QStringLiteral("onboarding-add-project-added.png"), wizard);
}

/// Builds the current step anew, as a visit does.
void revisit(OnboardingWizard& wizard) {
    wizard.model().goBack();
    wizard.model().goNext();
    settle([] { return true; });
}

void stageScheduling(OnboardingWizard& wizard, const Take& take) {
    const auto link = std::filesystem::read_symlink(toolPath());
    std::filesystem::remove(toolPath());
    revisit(wizard);
    take(QStringLiteral("onboarding-scheduling-without-tool.png"), wizard);
    std::filesystem::create_symlink(link, toolPath());
    revisit(wizard);
    take(QStringLiteral("onboarding-scheduling.png"), wizard);
    auto* setUp = dynamic_cast<SchedulingStepView*>(wizard.stepView());
    setUp->enableButton().click();
    settle([&] { return !setUp->isWorking(); });
    take(QStringLiteral("onboarding-scheduling-enable-failed.png"), wizard);
    // An agent installed earlier, at 7 in the morning: the step starts from it.
    const auto& agent = *wizard.model().services().agent;
    std::filesystem::create_directories(agent.timerPath().parent_path());
    std::ofstream(agent.timerPath()) << agent.timerContent(7, 0);
    revisit(wizard);
    take(QStringLiteral("onboarding-scheduling-enabled.png"), wizard);
    auto& step = *dynamic_cast<SchedulingStepView*>(wizard.stepView());
    step.disableButton().click();
    settle([&] { return !step.isWorking(); });
    take(QStringLiteral("onboarding-scheduling-disable-failed.png"), wizard);
}

void stageBenchmark(OnboardingWizard& wizard, const Take& take) {
    take(QStringLiteral("onboarding-index.png"), wizard);
    dynamic_cast<NorvaneIndexOptInView*>(wizard.stepView())->enableButton().click();
    settle([] { return true; });
    take(QStringLiteral("onboarding-index-joined.png"), wizard);
}

} // namespace

void stage(AppState& appState, QWidget& window, const Take& take) {
    stageDependencies(appState, window, take);
    // The sharing switch as a new user has it.
    appState.preferences().setShareAnonymousMetrics(false);
    QPointer wizard = new OnboardingWizard(demoServices(appState, true), window);
    wizard->open();
    settle([] { return true; });
    take(QStringLiteral("onboarding-welcome.png"), *wizard);
    auto& model = wizard->model();
    const auto next = [&] {
        model.goNext();
        settle([] { return true; });
    };
    model.goNext();
    takeNow(QStringLiteral("onboarding-dependencies-checking.png"), *wizard, take);
    settle([&] { return !model.isCheckingDependencies(); });
    take(QStringLiteral("onboarding-dependencies.png"), *wizard);
    next();
    stageToolInstall(*wizard, take);
    next();
    stageFirstProject(appState, *wizard, take);
    next();
    stageScheduling(*wizard, take);
    next();
    stageBenchmark(*wizard, take);
    next();
    take(QStringLiteral("onboarding-completion.png"), *wizard);
    wizard->forwardButton().click();
}

} // namespace norvane::app::OnboardingScreenshots
