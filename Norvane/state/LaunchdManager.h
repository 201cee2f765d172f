#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ProcessRunner.h"

namespace norvane::app {

/// The per-user agent that runs "norvane collect" daily while the application is closed: writes
/// its property list into ~/Library/LaunchAgents, loads and unloads it with launchctl (on Linux
/// our norvane-launchctl, which turns it into a systemd user timer) and reads the time back.
class LaunchdManager {
public:
    /// Thrown by `install` and `uninstall`; `what()` is the message the user sees.
    class LaunchdError : public std::exception {
    public:
        enum class Kind { launchctlFailed, cliNotInstalled };

        static LaunchdError launchctlFailed(std::string text);
        static LaunchdError cliNotInstalled();

        Kind kind() const { return kind_; }
        const std::string& errorDescription() const { return message_; }
        const char* what() const noexcept override { return message_.c_str(); }

    private:
        LaunchdError(Kind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

        Kind kind_;
        std::string message_;
    };

    struct LaunchctlResult {
        std::int32_t status = 0;
        std::string output;
        std::string error;
    };

    struct Schedule {
        int hour = 0;
        int minute = 0;
        bool operator==(const Schedule&) const = default;
    };

    /// Where the agent's files and programs are; tests point them into temporary folders.
    struct Locations {
        std::filesystem::path homeFolder;
        std::filesystem::path toolPath;
        std::filesystem::path launchctlProgram;

        /// The user's home, "/usr/local/bin/norvane", and norvane-launchctl beside this program.
        static Locations standard();
    };

    static constexpr std::string_view agentLabel = "app.norvane.collect";

    /// The standard locations and the process-wide runner.
    LaunchdManager();
    LaunchdManager(Locations locations, platform::ProcessRunner& runner);

    std::filesystem::path plistPath() const;
    std::filesystem::path logFolder() const;

    bool isInstalled() const;
    std::string plistContent(int hour, int minute) const;
    LaunchctlResult runLaunchctl(const std::vector<std::string>& arguments) const;
    /// Throws `LaunchdError`, `std::filesystem::filesystem_error` when a folder cannot be made, or
    /// `std::system_error` when the file cannot be written.
    void install(int hour, int minute) const;
    /// Throws `LaunchdError`, or `std::filesystem::filesystem_error` when the file cannot be removed.
    void uninstall() const;
    std::optional<Schedule> installedSchedule() const;

private:
    Locations locations_;
    platform::ProcessRunner& runner_;
};

} // namespace norvane::app
