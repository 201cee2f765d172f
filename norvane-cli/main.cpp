#include "norvane-cli/CommandLineTool.h"
#include "norvane-cli/Console.h"

#include "platform/ChildProcesses.h"
#include "platform/PrivateFiles.h"
#include "platform/XdgPaths.h"

namespace {

/// The application's settings file holds the anonymous device id: what an earlier version left
/// open to others is closed by whichever program starts first, the application or the tool.
void keepApplicationSettingsPrivate() {
    const auto folder = norvane::platform::XdgPaths::configHome() / "Norvane";
    norvane::platform::PrivateFiles::tighten(folder);
    norvane::platform::PrivateFiles::tighten(folder / "Norvane.conf");
}

} // namespace

int main(int argc, char** argv) {
    // Stopping the tool, by Ctrl-C, kill or timeout, stops the counter and git that it started.
    norvane::platform::ChildProcesses::stopOnTerminationSignals();
    keepApplicationSettingsPrivate();
    norvane::cli::CommandLineTool tool;
    return tool.run(argc, argv, norvane::cli::Console::standard());
}
