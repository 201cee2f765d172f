#pragma once

#include "norvane-cli/Command.h"

#include <string>

namespace norvane::cli {

/// `norvane collect [NAME]`: measures every project that is not archived, or the named one.
/// Prints one line per project for the log of the daily run; succeeds only when every project did
/// or was removed meanwhile.
class CollectCommand final : public Command {
public:
    CLI::App* configure(CLI::App& tool) override;
    int run(NorvaneKit& kit, const Console& console) override;

private:
    /// Prints the project's line, or why it has none.
    static void report(const CollectionResult& result, const AppSettings& settings, const Console& console);

    std::string name_;
    CLI::Option* nameOption_ = nullptr;
};

} // namespace norvane::cli
