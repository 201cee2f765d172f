#include "norvane-cli/CollectCommand.h"

#include "core/collection/CocomoEstimate.h"

#include <fmt/format.h>

#include <cstdlib>
#include <ostream>

namespace norvane::cli {

CLI::App* CollectCommand::configure(CLI::App& tool) {
    auto* command = tool.add_subcommand(
        "collect", "Measure every project that is not archived (and finish an interrupted add), or the named one");
    nameOption_ = command->add_option("NAME", name_, "The project to collect");
    return command;
}

int CollectCommand::run(NorvaneKit& kit, const Console& console) {
    const auto results =
        nameOption_->count() > 0 ? std::vector{kit.collector().collectOne(requireProject(kit, name_))} : kit.collect();
    const auto settings = kit.collector().fetchAppSettings();
    bool anyFailed = false;
    for (const auto& result : results) {
        report(result, *settings, console);
        anyFailed = anyFailed || result.isFailure();
    }
    return anyFailed ? EXIT_FAILURE : EXIT_SUCCESS;
}

void CollectCommand::report(const CollectionResult& result, const AppSettings& settings, const Console& console) {
    if (result.snapshot && result.project) {
        const auto estimate = CocomoEstimate::calculate(result.snapshot->codeLines, result.project->projectType,
                                                        settings.averageWage, settings.overhead);
        console.printLine(fmt::format("{}: {} code lines, {:.2f} person-months, ${:.0f}", result.projectName,
                                      result.snapshot->codeLines, estimate.effortMonths, estimate.estimatedCost));
    }
    if (result.projectRemoved) {
        console.printLine(fmt::format("{}: removed while it was collected; nothing stored", result.projectName));
    }
    if (result.warning) {
        console.printWarning(fmt::format("{}: {}", result.projectName, *result.warning));
    }
    if (result.error) {
        console.printError(fmt::format("{}: {}", result.projectName, result.error->message));
    }
}

} // namespace norvane::cli
