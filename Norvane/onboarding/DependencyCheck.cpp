#include "Norvane/onboarding/DependencyCheck.h"

#include <algorithm>

#include <pwd.h>
#include <unistd.h>

#include "core/collection/SccService.h"
#include "platform/ExecutableFile.h"

namespace norvane::app {
namespace {

bool anyExecutable(const std::vector<std::filesystem::path>& paths) {
    return std::any_of(paths.begin(), paths.end(), [](const auto& path) { return platform::isExecutableFile(path); });
}

/// The time-out for coreutils' `timeout`, in seconds with a decimal point whatever the locale.
std::string seconds(std::chrono::milliseconds duration) {
    const auto fraction = std::to_string(1000 + duration.count() % 1000).substr(1);
    return std::to_string(duration.count() / 1000) + "." + fraction;
}

} // namespace

DependencyCheck::Locations DependencyCheck::Locations::standard() {
    const auto counter = SccLookup::standard();
    return {counter.installPaths, {"/usr/bin/git", "/usr/local/bin/git"}, counter.builtInPaths, userLoginShell()};
}

DependencyCheck::DependencyCheck(Locations locations, platform::ProcessRunner& runner)
    : locations_(std::move(locations)), runner_(runner) {}

bool DependencyCheck::isToolInstalled(const std::string& name) const {
    const auto* paths = name == "scc" ? &locations_.sccPaths : name == "git" ? &locations_.gitPaths : nullptr;
    if (paths && anyExecutable(*paths)) return true;
    return isFoundByLoginShell(name);
}

bool DependencyCheck::isFoundByLoginShell(const std::string& name) const {
    // `timeout` ends the shell and whatever its profile started once the time is up; the name
    // reaches the shell as "$1", so nothing in it is read as shell text.
    platform::ProcessRequest request{"timeout",
                                     {"--kill-after=1", seconds(locations_.timeout), locations_.loginShell.string(),
                                      "-l", "-c", "which \"$1\"", "norvane", name}};
    return runner_.run(request).succeeded();
}

DependencyCheck::Findings DependencyCheck::runChecks() const {
    Findings findings;
    findings.scc = isToolInstalled("scc");
    findings.git = isToolInstalled("git");
    findings.builtInCounter = hasBuiltInCounter();
    return findings;
}

bool DependencyCheck::hasBuiltInCounter() const { return anyExecutable(locations_.builtInCounterPaths); }

std::filesystem::path DependencyCheck::userLoginShell() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? std::size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_shell &&
        *found->pw_shell != '\0') {
        return found->pw_shell;
    }
    return "/bin/sh";
}

} // namespace norvane::app
