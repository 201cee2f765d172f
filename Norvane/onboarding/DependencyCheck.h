#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ProcessRunner.h"

namespace norvane::app {

/// Finds out whether the tools that collection uses are installed: at their usual places first,
/// then through the user's login shell, which knows the user's own search path. The shell gets the
/// tool's name as an argument, never inside its command text, and is given up on after a time-out,
/// so a profile that waits for ever cannot hold the check.
class DependencyCheck {
public:
    struct Findings {
        bool scc = false;
        bool git = false;
        /// The counter that ships with the application; it counts code when scc is missing.
        bool builtInCounter = false;
        bool operator==(const Findings&) const = default;
    };

    struct Locations {
        std::vector<std::filesystem::path> sccPaths;
        std::vector<std::filesystem::path> gitPaths;
        std::vector<std::filesystem::path> builtInCounterPaths;
        std::filesystem::path loginShell;
        std::chrono::milliseconds timeout{10'000};

        /// Where the collector looks for scc and for the built-in counter, git's usual places, and
        /// the user's login shell.
        static Locations standard();
    };

    explicit DependencyCheck(Locations locations = Locations::standard(),
                             platform::ProcessRunner& runner = platform::defaultProcessRunner());

    /// "scc" or "git" at one of its places, else a login shell's `which` that succeeds in time.
    bool isToolInstalled(const std::string& name) const;
    /// Whether the built-in counter is beside the program: file tests only, quick.
    bool hasBuiltInCounter() const;
    /// Both tools and the built-in counter; blocks while the shells run.
    Findings runChecks() const;

    /// The user's login shell from the password database; "/bin/sh" when it names none.
    static std::filesystem::path userLoginShell();

private:
    bool isFoundByLoginShell(const std::string& name) const;

    Locations locations_;
    platform::ProcessRunner& runner_;
};

} // namespace norvane::app
