#pragma once

#include "norvane-cli/Console.h"

#include "core/facade/NorvaneKit.h"

#include <CLI/CLI.hpp>

namespace norvane::cli {

/// One subcommand of the tool: declares its arguments, then runs on the opened store.
class Command {
public:
    virtual ~Command() = default;

    /// Adds the subcommand with its arguments and options to the tool; returns it.
    virtual CLI::App* configure(CLI::App& tool) = 0;
    /// Runs after the arguments were parsed; returns the exit status. Errors that it throws
    /// are reported by the tool.
    virtual int run(NorvaneKit& kit, const Console& console) = 0;
    /// Whether the command stores what it does; such a command is refused at once on a store that
    /// may only be read, before it does any work that could not be kept.
    virtual bool changesStore() const { return true; }
    /// Whether the command stores what a new home has no store for yet (a new project): only such
    /// a command makes the store. The others change the store that exists, and on a new home work
    /// on an empty one that leaves nothing behind.
    virtual bool createsStore() const { return false; }
};

/// The project of that name; fails with NorvaneError projectNotFound.
std::shared_ptr<Project> requireProject(NorvaneKit& kit, const std::string& name);

} // namespace norvane::cli
