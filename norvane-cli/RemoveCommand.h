#pragma once

#include "norvane-cli/Command.h"

#include <string>

namespace norvane::cli {

/// `norvane remove NAME [--yes]`: deletes the project with its snapshots and daily activity,
/// after a confirmation when a person is at the terminal.
class RemoveCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;

private:
    bool confirmed(const Console& console) const;

    std::string name_;
    bool yes_ = false;
};

} // namespace norvane::cli
