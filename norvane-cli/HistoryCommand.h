#pragma once

#include "norvane-cli/Command.h"

#include <string>

namespace norvane::cli {

/// `norvane history NAME [--interval DAYS]`: replaces the project's history series from its git
/// log, one point per sampled commit (every commit without an interval).
class HistoryCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;

private:
    std::string name_;
    int interval_ = 0;
    CLI::Option* intervalOption_ = nullptr;
};

} // namespace norvane::cli
