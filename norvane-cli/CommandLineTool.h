#pragma once

#include "norvane-cli/Command.h"
#include "norvane-cli/Console.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace norvane::cli {

/// The tool's command line: its subcommands, --help and --version. Opens the store only once a
/// subcommand was parsed, and turns every error into one line on standard error.
class CommandLineTool {
public:
    CommandLineTool();
    CommandLineTool(const CommandLineTool&) = delete;
    CommandLineTool& operator=(const CommandLineTool&) = delete;

    /// Parses the arguments and runs the chosen subcommand; returns the exit status.
    int run(int argc, const char* const* argv, const Console& console);

private:
    void add(std::unique_ptr<Command> command);
    /// Whether the first argument names a command that the tool does not have.
    bool isUnknownCommand(std::string_view argument) const;
    int runCommand(Command& command, const Console& console);

    CLI::App app_;
    std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> commands_;
};

} // namespace norvane::cli
