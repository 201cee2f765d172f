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
    // Listing here rather than through collectAll, so that a store that cannot be read fails
    // the run instead of passing for a run without projects.
    const auto projects =
        nameOption_->count() > 0 ? std::vector{requireProject(kit, name_)} : kit.collector().projectsToCollect();
    const auto settings = kit.collector().fetchAppSettings();
    // The code counter is looked for once, not for each project.
    const auto counter = kit.scc().withCounterFound();
    bool allSucceeded = true;
    for (const auto& project : projects) {
        const auto result = kit.collector().collectOne(project, counter);
        allSucceeded = report(*project, result, *settings, console) && allSucceeded;
    }
    return allSucceeded ? EXIT_SUCCESS : EXIT_FAILURE;
}

bool CollectCommand::report(const Project& project, const CollectionResult& result, const AppSettings& settings,
                            const Console& console) {
    if (result.snapshot) {
        const auto estimate = CocomoEstimate::calculate(result.snapshot->codeLines, project.projectType,
                                                        settings.averageWage, settings.overhead);
        console.printLine(fmt::format("{}: {} code lines, {:.2f} person-months, ${:.0f}", project.name,
                                      result.snapshot->codeLines, estimate.effortMonths, estimate.estimatedCost));
    }
    if (result.warning) {
        console.printWarning(fmt::format("{}: {}", project.name, *result.warning));
    }
    if (result.error) {
        console.printError(fmt::format("{}: {}", project.name, result.error->message));
    }
    return result.isSuccess();
}

} // namespace norvane::cli
