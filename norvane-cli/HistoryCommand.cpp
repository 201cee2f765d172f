#include "norvane-cli/HistoryCommand.h"

#include "norvane-cli/HistoryNote.h"
#include "norvane-cli/ProgressPrinter.h"

#include <fmt/format.h>

#include <cstdlib>
#include <limits>
#include <ostream>

namespace norvane::cli {

CLI::App* HistoryCommand::configure(CLI::App& tool) {
    auto* command = tool.add_subcommand("history", "Import a project's history from its git log");
    command->add_option("NAME", name_, "The project")->required();
    intervalOption_ =
        command->add_option("--interval", interval_, "Keep one commit per this many days (default: every commit)")
            ->type_name("DAYS")
            ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    return command;
}

int HistoryCommand::run(NorvaneKit& kit, const Console& console) {
    const auto interval = intervalOption_->count() > 0 ? std::optional(interval_) : std::nullopt;
    const auto path = requireProject(kit, name_)->path;
    ProgressPrinter progress(console);
    const auto result =
        kit.collectHistory(name_, interval, [&progress](int current, int total, const GitCommit& commit) {
            progress.update(current, total, commit.message);
        });
    progress.finish();
    if (result.nothingToImport) {
        console.printError(fmt::format("No history stored for {}: {}", name_,
                                       HistoryNote::nothingToImport(*result.nothingToImport, path)));
        return EXIT_FAILURE;
    }
    console.printLine(fmt::format("Stored {} history snapshots for {}", result.snapshotCount, name_));
    if (result.shallowFrom) {
        console.printLine(HistoryNote::shallow(*result.shallowFrom));
    }
    return EXIT_SUCCESS;
}

} // namespace norvane::cli
