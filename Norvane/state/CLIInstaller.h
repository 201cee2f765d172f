#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "Norvane/state/PrivilegedRunner.h"

namespace norvane::app {

struct CommandLineTool;

/// Puts the link to the command-line tool in the install bin folder (by default /usr/local/bin) in
/// place and takes it away: first with the user's own rights, else with administrator rights
/// through a password dialog.
class CLIInstaller {
public:
    class InstallError {
    public:
        enum class Kind { installFailed, cliNotFound, userCancelled };

        static InstallError installFailed(std::string message) { return {Kind::installFailed, std::move(message)}; }
        static InstallError cliNotFound() { return {Kind::cliNotFound, {}}; }
        static InstallError userCancelled() { return {Kind::userCancelled, {}}; }

        Kind kind() const { return kind_; }
        /// The message of `installFailed`; empty otherwise.
        const std::string& message() const { return message_; }
        /// The text for the user; none for `userCancelled`, which no caller shows.
        std::optional<std::string> errorDescription() const;

        bool operator==(const InstallError&) const = default;

    private:
        InstallError(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

        Kind kind_;
        std::string message_;
    };

    /// Success, or the error that stopped the operation.
    class InstallResult {
    public:
        static InstallResult success() { return InstallResult(std::nullopt); }
        static InstallResult failure(InstallError error) { return InstallResult(std::move(error)); }

        bool succeeded() const { return !error_; }
        /// The error of a failure; only valid when `succeeded()` is false.
        const InstallError& error() const { return *error_; }

    private:
        explicit InstallResult(std::optional<InstallError> error) : error_(std::move(error)) {}

        std::optional<InstallError> error_;
    };

    /// Where the link goes and where the tool is looked for; tests use temporary folders.
    struct Locations {
        std::filesystem::path linkPath;
        /// The folder the application ships the tool in; none when there is no such folder.
        std::optional<std::filesystem::path> resourceFolder;
        std::filesystem::path homeFolder;

        /// The command-line tool's link and the running program's folder, and the user's home.
        static Locations standard();
        /// `tool`'s link and program folder, and the user's home.
        static Locations of(const CommandLineTool& tool);
    };

    /// `locations` with pkexec over the process-wide runner.
    explicit CLIInstaller(Locations locations = Locations::standard());
    CLIInstaller(Locations locations, PrivilegedRunner& privilegedRunner);

    InstallResult install() const;
    InstallResult uninstall() const;

    std::optional<std::filesystem::path> findCLI() const;
    bool installSymlink(const std::filesystem::path& tool) const;
    InstallResult installWithAdministratorPrivileges(const std::filesystem::path& tool) const;
    InstallResult uninstallWithAdministratorPrivileges() const;

    /// `text` in single quotes for sh, each ' written as '\''; nothing inside is special then.
    static std::string shellQuoted(std::string_view text);

private:
    std::optional<InstallError> checkReplaceable() const;
    InstallResult runPrivileged(const std::string& command) const;

    Locations locations_;
    PrivilegedRunner& privilegedRunner_;
};

} // namespace norvane::app
