#pragma once

#include "norvane-cli/Command.h"

#include <string>

namespace norvane::cli {

/// `norvane archive NAME`: keeps the project and its data but leaves it out of collections.
class ArchiveCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;

private:
    std::string name_;
};

} // namespace norvane::cli
