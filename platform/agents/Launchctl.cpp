#include "platform/agents/Launchctl.h"

#include <stdexcept>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/TextTrimming.h"
#include "platform/agents/PropertyListReader.h"
#include "platform/agents/SystemdUnitFiles.h"

namespace norvane::platform {
namespace {

constexpr int failureStatus = 1;
constexpr int usageStatus = 64;
constexpr const char* notFoundMessage = "Could not find specified service";

class LaunchctlFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

LaunchctlResult failure(const std::string& message) { return {failureStatus, message}; }

ProcessRequest systemctlRequest(const std::vector<std::string>& arguments) {
    ProcessRequest request;
    request.executable = "systemctl";
    request.arguments = {"--user"};
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    return request;
}

} // namespace

Launchctl::Launchctl(ProcessRunner& runner, std::filesystem::path unitFolder)
    : runner_(runner), unitFolder_(std::move(unitFolder)) {}

LaunchctlResult Launchctl::run(const std::vector<std::string>& arguments) {
    if (arguments.size() == 2 && arguments[0] == "load") {
        return load(arguments[1]);
    }
    if (arguments.size() == 2 && arguments[0] == "unload") {
        return unload(arguments[1]);
    }
    return {usageStatus, "usage: norvane-launchctl load PLIST | unload PLIST"};
}

LaunchctlResult Launchctl::load(const std::filesystem::path& propertyList) {
    try {
        const LaunchAgent agent = LaunchAgent::fromPropertyList(PropertyListReader::readFile(propertyList));
        try {
            writeUnits(agent);
            systemctl({"daemon-reload"});
            systemctl({"enable", "--now", SystemdUnitFiles::timerName(agent.label)});
        } catch (const LaunchctlFailure&) {
            rollBack(agent.label);
            throw;
        }
        return {};
    } catch (const LaunchAgentError& error) {
        return failure(propertyList.string() + ": " + error.what());
    } catch (const std::runtime_error& error) {
        return failure(error.what());
    }
}

LaunchctlResult Launchctl::unload(const std::filesystem::path& propertyList) {
    try {
        const std::string label = LaunchAgent::labelOf(PropertyListReader::readFile(propertyList));
        const bool hasTimer = std::filesystem::exists(timerPath(label));
        const bool hasService = std::filesystem::exists(servicePath(label));
        if (!hasTimer && !hasService) {
            return failure(notFoundMessage);
        }
        if (hasTimer) {
            systemctl({"disable", "--now", SystemdUnitFiles::timerName(label)});
        }
        if (hasService) {
            systemctl({"stop", SystemdUnitFiles::serviceName(label)});
        }
        removeUnits(label);
        systemctl({"daemon-reload"});
        return {};
    } catch (const LaunchAgentError& error) {
        return failure(propertyList.string() + ": " + error.what());
    } catch (const std::runtime_error& error) {
        return failure(error.what());
    }
}

void Launchctl::writeUnits(const LaunchAgent& agent) const {
    const std::string service = SystemdUnitFiles::serviceUnit(agent);
    const std::string timer = SystemdUnitFiles::timerUnit(agent);
    std::error_code error;
    std::filesystem::create_directories(unitFolder_, error);
    if (error) {
        throw LaunchctlFailure("cannot create " + unitFolder_.string() + ": " + error.message());
    }
    // Written aside and renamed, so systemd never reads half a unit.
    try {
        AtomicFile::write(servicePath(agent.label), service);
        AtomicFile::write(timerPath(agent.label), timer);
    } catch (const std::system_error& writeError) {
        throw LaunchctlFailure(writeError.what());
    }
}

void Launchctl::removeUnits(const std::string& label) const {
    for (const auto& path : {timerPath(label), servicePath(label)}) {
        std::error_code error;
        std::filesystem::remove(path, error);
        if (error) {
            throw LaunchctlFailure("cannot remove " + path.string() + ": " + error.message());
        }
    }
}

void Launchctl::rollBack(const std::string& label) noexcept {
    // Leave nothing half-loaded behind: the caller treats the agent as absent. Best effort, as the
    // failure being reported matters more than one found while cleaning up.
    std::error_code ignored;
    std::filesystem::remove(timerPath(label), ignored);
    std::filesystem::remove(servicePath(label), ignored);
    try {
        runner_.run(systemctlRequest({"daemon-reload"}));
    } catch (...) {}
}

void Launchctl::systemctl(const std::vector<std::string>& arguments) {
    const ProcessRequest request = systemctlRequest(arguments);
    const ProcessResult result = runner_.run(request);
    if (!result.started()) {
        throw LaunchctlFailure("systemctl: " + *result.startError);
    }
    if (result.exitStatus != 0) {
        std::string command = "systemctl";
        for (const auto& argument : request.arguments) {
            command += " " + argument;
        }
        const std::string detail(trimmed(result.standardError));
        throw LaunchctlFailure(command + ": " +
                               (detail.empty() ? "exited with status " + std::to_string(result.exitStatus) : detail));
    }
}

std::filesystem::path Launchctl::servicePath(const std::string& label) const {
    return unitFolder_ / SystemdUnitFiles::serviceName(label);
}

std::filesystem::path Launchctl::timerPath(const std::string& label) const {
    return unitFolder_ / SystemdUnitFiles::timerName(label);
}

} // namespace norvane::platform
