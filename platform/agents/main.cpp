// norvane-launchctl: launchctl's "load PLIST" and "unload PLIST" over systemd user units.
#include <iostream>
#include <string>
#include <vector>

#include "platform/ProcessRunner.h"
#include "platform/XdgPaths.h"
#include "platform/agents/Launchctl.h"

int main(int argc, char** argv) {
    using namespace norvane::platform;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    Launchctl launchctl(defaultProcessRunner(), XdgPaths::configHome() / "systemd" / "user");
    const LaunchctlResult result = launchctl.run(arguments);
    if (!result.standardError.empty()) {
        std::cerr << result.standardError << '\n';
    }
    return result.exitStatus;
}
