#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Norvane/state/CommandLineTool.h"
#include "platform/ProcessRunner.h"

namespace norvane::app {

/// The per-user agent that runs "norvane collect" daily while the application is closed: a
/// systemd user service and its timer, written under $XDG_CONFIG_HOME/systemd/user and started and
/// stopped with `systemctl --user`. The timer's calendar is the one record of the installed hour.
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

    struct SystemctlResult {
        std::int32_t status = 0;
        std::string output;
        std::string error;
    };

    struct Schedule {
        int hour = 0;
        int minute = 0;
        bool operator==(const Schedule&) const = default;
    };

    /// Where the units, the logs and the tool are; tests point them into temporary folders.
    struct Locations {
        std::filesystem::path unitFolder;
        std::filesystem::path logFolder;
        CommandLineTool tool;

        /// $XDG_CONFIG_HOME/systemd/user, $XDG_STATE_HOME/norvane and the tool where the installer
        /// finds it.
        static Locations standard();
    };

    static constexpr std::string_view agentLabel = "app.norvane.collect";

    /// The standard locations and the process-wide runner.
    LaunchdManager();
    LaunchdManager(Locations locations, platform::ProcessRunner& runner);

    std::filesystem::path servicePath() const;
    std::filesystem::path timerPath() const;
    /// Where the service appends its output and its errors.
    std::filesystem::path outputLogPath() const;
    std::filesystem::path errorLogPath() const;
    const std::filesystem::path& logFolder() const { return locations_.logFolder; }

    /// Whether the timer's unit file exists.
    bool isInstalled() const;
    /// The oneshot service that runs `tool` with "collect", its output appended to the two logs.
    /// Throws `std::invalid_argument` for a path that a unit file cannot hold (a control character).
    std::string serviceContent(const std::filesystem::path& tool) const;
    /// The timer: daily at `hour`:`minute` local time; a run missed while the machine was off is
    /// made up at the next start. Enabling it does not run the service.
    std::string timerContent(int hour, int minute) const;
    /// `systemctl --user` with `arguments`; status -1 and the reason when it cannot be started.
    SystemctlResult runSystemctl(const std::vector<std::string>& arguments) const;
    /// Writes the units and the empty logs for the user alone (folders it makes too). Throws
    /// `LaunchdError`, `std::filesystem::filesystem_error` when a folder or a log cannot be made,
    /// `std::system_error` when a unit cannot be written, or `std::invalid_argument` (see
    /// `serviceContent`).
    void install(int hour, int minute) const;
    /// Takes others' rights from the log folder, the logs and the units, as an earlier version
    /// made them.
    void keepFilesPrivate() const;
    /// Throws `LaunchdError`, or `std::filesystem::filesystem_error` when a unit cannot be removed.
    void uninstall() const;
    /// The timer's hour and minute; none without a timer or with a calendar of another form.
    std::optional<Schedule> installedSchedule() const;

private:
    /// Runs `systemctl --user` and throws `launchctlFailed` with its error output unless it
    /// succeeds or, when `unknownUnitIsFine`, only says that the unit is unknown.
    void systemctl(const std::vector<std::string>& arguments, bool unknownUnitIsFine = false) const;
    void removeUnits() const;

    Locations locations_;
    platform::ProcessRunner& runner_;
};

} // namespace norvane::app
