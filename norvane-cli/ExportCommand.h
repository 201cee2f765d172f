#pragma once

#include "norvane-cli/Command.h"

#include <string>

namespace norvane::cli {

/// `norvane export -o PATH`: writes everything the store holds, as one consistent copy, to one
/// JSON file, atomically, so that a reader never sees half a file; `-o -` writes it to standard
/// output.
class ExportCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;
    bool changesStore() const override { return false; }

private:
    std::string output_;
};

} // namespace norvane::cli
