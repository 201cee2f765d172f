#include "norvane-cli/AddCommand.h"

#include "norvane-cli/HistoryNote.h"
#include "norvane-cli/InitialCollectionPrinter.h"

#include "core/collection/AddCompletion.h"
#include "core/models/ProjectInput.h"

#include "platform/RawValueEnum.h"
#include "platform/persistence/StoreError.h"

#include <fmt/format.h>

#include <cstdlib>
#include <ostream>

namespace norvane::cli {

CLI::App* AddCommand::configure(CLI::App& tool) {
    auto* command = tool.add_subcommand("add", "Track a project folder and run its first collection");
    command->add_option("NAME", name_, "The project's name")->required();
    command->add_option("PATH", path_, "The project's folder (default: the current folder)");
    descriptionOption_ = command->add_option("--description", description_, "A short description");
    typeOption_ = command->add_option("--type", type_, "The COCOMO mode (default: the one in the settings)")
                      ->check(CLI::IsMember({"organic", "semiDetached", "embedded"}));
    return command;
}

int AddCommand::run(NorvaneKit& kit, const Console& console) {
    ProjectInput::checkName(name_);
    const auto path = ProjectInput::absoluteFolder(path_);
    auto project = unfinishedAdd(kit, path);
    if (project && AddCompletion::isRunning(*kit.context(), *project)) {
        console.printError(fmt::format("The add of {} still runs in another program, which imports its history; "
                                       "`norvane list` shows it as adding until it ends",
                                       project->name));
        return EXIT_FAILURE;
    }
    if (project) {
        console.printLine(fmt::format("Finishing the add of {} ({})", project->name, project->path));
    } else {
        const auto description = descriptionOption_->count() > 0 ? std::optional(description_) : std::nullopt;
        project = kit.addProject(name_, path, description, projectType(kit));
        console.printLine(fmt::format("Adding {} ({})", project->name, project->path));
    }

    ProgressPrinter progress(console);
    InitialCollectionPrinter printer(console.out(), progress);
    const auto result = kit.collector().collectInitialData(
        project, [&printer](const InitialCollectionProgress& stage) { printer.print(stage); });
    if (result.warning) {
        console.printWarning(fmt::format("{}: {}", project->name, *result.warning));
    }
    if (result.shallowHistoryFrom) {
        console.printLine(HistoryNote::shallow(*result.shallowHistoryFrom));
    }
    if (result.error) {
        // A project whose first collection failed is not kept: the add can be run again once the
        // cause is mended.
        try {
            kit.deleteProject(project);
        } catch (const platform::StoreError& failure) {
            // The store left the path meanwhile: the project stays where its own row went.
            console.printError(fmt::format("The first collection of {} failed, and it could not be taken back: {}",
                                           project->name, failure.what()));
            return EXIT_FAILURE;
        }
        console.printError(fmt::format("The first collection of {} failed, so it was not added: {}", project->name,
                                       result.error->message));
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}

std::shared_ptr<Project> AddCommand::unfinishedAdd(NorvaneKit& kit, const std::string& path) const {
    const auto existing = kit.findProject(name_);
    if (existing && existing->path == path && kit.collector().hasUnfinishedAdd(existing)) {
        return existing;
    }
    return nullptr;
}

ProjectType AddCommand::projectType(NorvaneKit& kit) const {
    if (typeOption_->count() > 0) {
        return platform::fromRawValue<ProjectType>(type_).value();
    }
    return kit.collector().fetchAppSettings()->defaultProjectType;
}

} // namespace norvane::cli
