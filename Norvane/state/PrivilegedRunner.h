#pragma once

#include <string>

namespace norvane::app {

/// Runs one shell command line with administrator rights, asking the user for them first.
class PrivilegedRunner {
public:
    struct Outcome {
        enum class Kind {
            succeeded,
            refused,      ///< the user dismissed the password dialog
            launchFailed, ///< `text` describes why the runner could not start
            failed,       ///< `text` holds the command's standard error, as raw bytes
        };
        Kind kind = Kind::succeeded;
        std::string text;
    };

    virtual ~PrivilegedRunner() = default;
    virtual Outcome runShellCommand(const std::string& command) = 0;
};

} // namespace norvane::app
