#include "Norvane/state/CLIInstaller.h"

#include <vector>

#include "Norvane/state/CommandLineTool.h"
#include "Norvane/state/PkexecRunner.h"
#include "platform/ExecutableFile.h"
#include "platform/TextTrimming.h"
#include "platform/UnicodeText.h"
#include "platform/XdgPaths.h"

namespace norvane::app {
namespace {

constexpr std::string_view buildCommand =
    "cmake -S .. -B ../build/release -DCMAKE_BUILD_TYPE=Release && cmake --build ../build/release --target norvane";

// The developers' build outputs, relative to the home folder, in the order they are tried.
constexpr std::string_view developerBuilds[] = {
    "Development/shareware/norvane/build/debug/bin/norvane",
    "Development/shareware/norvane/build/release/bin/norvane",
    "norvane/build/debug/bin/norvane",
};

PrivilegedRunner& standardPrivilegedRunner() {
    static PkexecRunner runner(platform::defaultProcessRunner());
    return runner;
}

bool isLinkOrFile(std::filesystem::file_status status) {
    return std::filesystem::is_symlink(status) || std::filesystem::is_regular_file(status);
}

} // namespace

std::optional<std::string> CLIInstaller::InstallError::errorDescription() const {
    switch (kind_) {
    case Kind::installFailed: return "Installation failed: " + message_;
    case Kind::cliNotFound:
        return "CLI tool not found. Please build it first:\ncd norvane-cli && " + std::string(buildCommand);
    case Kind::userCancelled: return std::nullopt;
    }
    return std::nullopt;
}

CLIInstaller::Locations CLIInstaller::Locations::standard() { return of(CommandLineTool::standard()); }

CLIInstaller::Locations CLIInstaller::Locations::of(const CommandLineTool& tool) {
    return {tool.linkPath, tool.programFolder, platform::XdgPaths::homeFolder()};
}

CLIInstaller::CLIInstaller(Locations locations) : CLIInstaller(std::move(locations), standardPrivilegedRunner()) {}

CLIInstaller::CLIInstaller(Locations locations, PrivilegedRunner& privilegedRunner)
    : locations_(std::move(locations)), privilegedRunner_(privilegedRunner) {}

CLIInstaller::InstallResult CLIInstaller::install() const {
    const auto tool = findCLI();
    std::error_code error;
    if (!tool || !std::filesystem::exists(*tool, error)) {
        return InstallResult::failure(InstallError::cliNotFound());
    }
    if (auto refusal = checkReplaceable()) {
        return InstallResult::failure(std::move(*refusal));
    }
    // Installed into the install bin folder itself, the tool already is where the link would go;
    // replacing it by a link would leave a link to itself.
    if (std::filesystem::equivalent(*tool, locations_.linkPath, error)) {
        return InstallResult::success();
    }
    if (installSymlink(*tool)) {
        return InstallResult::success();
    }
    return installWithAdministratorPrivileges(*tool);
}

CLIInstaller::InstallResult CLIInstaller::uninstall() const {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(locations_.linkPath, error);
    if (!std::filesystem::exists(status)) {
        return InstallResult::success();
    }
    if (auto refusal = checkReplaceable()) {
        return InstallResult::failure(std::move(*refusal));
    }
    // Installed into the install bin folder itself, the tool is no link of the installer's: the
    // application and its daily agent run it.
    if (!std::filesystem::is_symlink(status) && locations_.resourceFolder &&
        std::filesystem::equivalent(locations_.linkPath, *locations_.resourceFolder / "norvane", error)) {
        return InstallResult::failure(
            InstallError::installFailed(locations_.linkPath.string() + " is the installed tool, not a link"));
    }
    if (std::filesystem::remove(locations_.linkPath, error)) {
        return InstallResult::success();
    }
    return uninstallWithAdministratorPrivileges();
}

std::optional<std::filesystem::path> CLIInstaller::findCLI() const {
    std::vector<std::filesystem::path> candidates;
    if (locations_.resourceFolder) {
        candidates.push_back(*locations_.resourceFolder / "norvane");
    }
    for (const auto build : developerBuilds) {
        candidates.push_back(locations_.homeFolder / build);
    }
    for (const auto& candidate : candidates) {
        if (platform::isExecutableFile(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool CLIInstaller::installSymlink(const std::filesystem::path& tool) const {
    std::error_code error;
    std::filesystem::create_directories(locations_.linkPath.parent_path(), error);
    if (error) {
        return false;
    }
    const auto existing = std::filesystem::symlink_status(locations_.linkPath, error);
    if (std::filesystem::exists(existing)) {
        if (!isLinkOrFile(existing) || !std::filesystem::remove(locations_.linkPath, error)) {
            return false;
        }
    }
    std::filesystem::create_symlink(tool, locations_.linkPath, error);
    return !error;
}

CLIInstaller::InstallResult CLIInstaller::installWithAdministratorPrivileges(const std::filesystem::path& tool) const {
    const std::string link = shellQuoted(locations_.linkPath.string());
    return runPrivileged("mkdir -p " + shellQuoted(locations_.linkPath.parent_path().string()) + " && rm -f " + link +
                         " && ln -s " + shellQuoted(tool.string()) + " " + link);
}

CLIInstaller::InstallResult CLIInstaller::uninstallWithAdministratorPrivileges() const {
    return runPrivileged("rm -f " + shellQuoted(locations_.linkPath.string()));
}

std::string CLIInstaller::shellQuoted(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Only a link or a regular file at the link path is ever replaced or removed, never a folder.
std::optional<CLIInstaller::InstallError> CLIInstaller::checkReplaceable() const {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(locations_.linkPath, error);
    if (!std::filesystem::exists(status) || isLinkOrFile(status)) {
        return std::nullopt;
    }
    return InstallError::installFailed(locations_.linkPath.string() + " is not a link or a file");
}

CLIInstaller::InstallResult CLIInstaller::runPrivileged(const std::string& command) const {
    const auto outcome = privilegedRunner_.runShellCommand(command);
    switch (outcome.kind) {
    case PrivilegedRunner::Outcome::Kind::succeeded: return InstallResult::success();
    case PrivilegedRunner::Outcome::Kind::refused: return InstallResult::failure(InstallError::userCancelled());
    case PrivilegedRunner::Outcome::Kind::launchFailed:
        return InstallResult::failure(InstallError::installFailed(outcome.text));
    case PrivilegedRunner::Outcome::Kind::failed: break;
    }
    const std::string text = platform::UnicodeText::isValidUtf8(outcome.text)
                                 ? std::string(platform::trimmed(outcome.text))
                                 : "Unknown error";
    return InstallResult::failure(InstallError::installFailed(text));
}

} // namespace norvane::app
