#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProcessRunner.h"
#include "platform/agents/LaunchAgent.h"

namespace norvane::platform {

/// How a launchctl command ended: a status (0 on success) and, on failure, one line of text for
/// standard error.
struct LaunchctlResult {
    int exitStatus = 0;
    std::string standardError;
};

/// Answers launchctl's "load PLIST" and "unload PLIST" with systemd user units: loading turns the
/// agent into a timer and a service of the same label and starts the timer; unloading stops,
/// disables and removes them.
class Launchctl {
public:
    /// `unitFolder` is the user's systemd unit folder ($XDG_CONFIG_HOME/systemd/user); systemctl
    /// runs through `runner`.
    Launchctl(ProcessRunner& runner, std::filesystem::path unitFolder);

    /// Runs a whole command line (without the program name); status 64 for a malformed one.
    LaunchctlResult run(const std::vector<std::string>& arguments);
    LaunchctlResult load(const std::filesystem::path& propertyList);
    LaunchctlResult unload(const std::filesystem::path& propertyList);

private:
    void writeUnits(const LaunchAgent& agent) const;
    void removeUnits(const std::string& label) const;
    void rollBack(const std::string& label) noexcept;
    void systemctl(const std::vector<std::string>& arguments);
    std::filesystem::path servicePath(const std::string& label) const;
    std::filesystem::path timerPath(const std::string& label) const;

    ProcessRunner& runner_;
    std::filesystem::path unitFolder_;
};

} // namespace norvane::platform
