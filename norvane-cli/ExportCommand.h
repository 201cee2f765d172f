#pragma once

#include "norvane-cli/Command.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace norvane::cli {

/// `norvane export -o PATH`: writes everything the store holds, as one consistent copy, to one
/// JSON file, atomically, so that a reader never sees half a file; a leading "~" is the home
/// folder, as for `add`. `-o -` writes it to standard output, and fails when it could not all be
/// written.
class ExportCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;
    bool changesStore() const override { return false; }

private:
    static int exportToStandardOutput(const std::function<void(std::ostream&)>& exportTo, const Console& console);

    std::string output_;
};

} // namespace norvane::cli
