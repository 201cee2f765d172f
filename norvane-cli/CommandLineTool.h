#pragma once

#include "norvane-cli/Command.h"
#include "norvane-cli/Console.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace norvane::cli {

/// The tool's command line: its subcommands, --help, `help [COMMAND]` (as `--help` and `COMMAND
/// --help`) and --version. Opens the store only once a subcommand was parsed, and turns every
/// failure of a command into one line on standard error; arguments it cannot take get the reason
/// and the usage line instead. Output that could not all be written is a failure too.
class CommandLineTool {
public:
    CommandLineTool();
    CommandLineTool(const CommandLineTool&) = delete;
    CommandLineTool& operator=(const CommandLineTool&) = delete;

    /// The exit status of a command line that the tool cannot take, as command-line tools use it.
    static constexpr int usageExitStatus = 2;

    /// Parses the arguments and runs the chosen subcommand; returns the exit status:
    /// `usageExitStatus` for arguments that do not parse, after the reason and the usage line;
    /// failure when standard output could not take all that was written to it.
    int run(int argc, const char* const* argv, const Console& console);

private:
    int parseAndRun(int argc, const char* const* argv, const Console& console);
    /// The help of the tool, or of the command that `help` names.
    int showHelp(const Console& console) const;
    void add(std::unique_ptr<Command> command);
    /// Whether the first argument names a command that the tool does not have.
    bool isUnknownCommand(std::string_view argument) const;
    /// The subcommand of that name, if there is one.
    std::vector<const CLI::App*> named(std::string_view name) const;
    /// Prints `message` and the usage line of `command` on standard error.
    int usageError(std::string_view message, const CLI::App& command, const Console& console) const;
    int runCommand(Command& command, const Console& console);

    CLI::App app_;
    CLI::App* helpCommand_ = nullptr;
    std::string helpTopic_;
    std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> commands_;
};

} // namespace norvane::cli
