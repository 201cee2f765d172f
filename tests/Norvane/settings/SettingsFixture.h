#pragma once

#include <filesystem>
#include <memory>

#include <QCoreApplication>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

#include "Norvane/settings/CostSettingsSync.h"
#include "Norvane/settings/SettingsServices.h"
#include "Norvane/settings/SettingsView.h"
#include "core/models/NorvaneDatabase.h"
#include "platform/ProcessRunner.h"
#include "tests/Norvane/state/AppStateFakes.h"
#include "tests/Norvane/state/FakePrivilegedRunner.h"
#include "tests/Norvane/state/SystemctlStandIn.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app::testing {

using norvane::testing::builtPrograms;

/// A folder name as long as some users give theirs: a path through it takes more than a line of
/// the settings window or of the wizard.
inline const std::string longFolderName = "client-work-for-the-harbour-authority-ledger-migration-2024-and-beyond";

/// Makes `link` point at the built tool, as the installer would.
inline void linkBuiltTool(const std::filesystem::path& link) {
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(builtPrograms() / "norvane", link);
}

/// Waits, with the event loop running, until `done` holds.
template <typename Done>
bool eventually(Done done) {
    return QTest::qWaitFor(done, 15'000);
}

/// A temporary home with a real store file and preferences of its own. The agent writes its units
/// into the home and runs systemctl through the process runner the test picks; the window's
/// program runs from a folder of the home, without the tool until the test puts it there; the
/// installer looks for the tool among the built programs and links it into the home; the
/// benchmark client is a fake unless the test hands in another.
struct SettingsFixture {
    norvane::testing::TemporaryHome home;
    norvane::testing::ScopedEnvironment configHome{"XDG_CONFIG_HOME", (home.path() / ".config").string()};
    std::filesystem::path toolPath = home.path() / "usr/local/bin/norvane";
    std::filesystem::path programFolder = home.path() / "programs";
    std::shared_ptr<platform::ModelContainer> store =
        NorvaneDatabase::makeContainer(home.dataHome() / "Norvane/norvane.store");
    std::shared_ptr<platform::ModelContext> context = std::make_shared<platform::ModelContext>(store);
    std::shared_ptr<QSettings> settings = std::make_shared<QSettings>(
        QString::fromStdString((home.path() / "settings.ini").string()), QSettings::IniFormat);
    Preferences preferences{settings};
    norvane::testing::FakePrivilegedRunner privileged;
    std::shared_ptr<FakeIndexClient> index = std::make_shared<FakeIndexClient>();

    SettingsFixture() { norvane::testing::testApplication(); }

    SettingsServices services(platform::ProcessRunner& agentRunner = platform::defaultProcessRunner(),
                              std::shared_ptr<IndexClient> indexClient = nullptr) {
        return {
            &preferences,
            store,
            std::make_shared<CostSettingsSync>(preferences, store),
            std::make_shared<LaunchdManager>(LaunchdManager::Locations{home.path() / ".config/systemd/user",
                                                                       home.path() / ".local/state/norvane", tool()},
                                             agentRunner),
            std::make_shared<CLIInstaller>(CLIInstaller::Locations{toolPath, builtPrograms(), home.path()}, privileged),
            indexClient ? std::move(indexClient) : index,
            tool()};
    }

    /// The link's folder stands in for /usr/local/bin, which PATH holds.
    CommandLineTool tool() const { return {programFolder, toolPath, toolPath.parent_path().string()}; }

    /// The window over `services`, shown.
    std::unique_ptr<SettingsView> open(SettingsServices services) {
        auto window = std::make_unique<SettingsView>(std::move(services));
        window->show();
        QCoreApplication::processEvents();
        return window;
    }

    void linkTool() const { linkBuiltTool(toolPath); }
    /// Puts the built tool beside the window's program, as `cmake --install` does.
    void installToolBesideTheProgram() const { linkBuiltTool(programFolder / "norvane"); }
};

} // namespace norvane::app::testing
