#pragma once

#include "norvane-cli/Command.h"

#include <string>
#include <vector>

namespace norvane::cli {

/// `norvane list`: every project, archived ones included, with its status, mode, latest code
/// count and folder, in columns.
class ListCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;
    bool changesStore() const override { return false; }

private:
    static std::vector<std::string> row(NorvaneKit& kit, const std::shared_ptr<Project>& project);
};

} // namespace norvane::cli
