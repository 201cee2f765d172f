#include "norvane-cli/ArchiveCommand.h"

#include <fmt/format.h>

#include <cstdlib>
#include <ostream>

namespace norvane::cli {

CLI::App* ArchiveCommand::configure(CLI::App& tool) {
    auto* command = tool.add_subcommand("archive", "Stop collecting a project but keep its data");
    command->add_option("NAME", name_, "The project")->required();
    return command;
}

int ArchiveCommand::run(NorvaneKit& kit, const Console& console) {
    kit.archiveProject(requireProject(kit, name_));
    console.printLine(fmt::format("Archived {}", name_));
    return EXIT_SUCCESS;
}

} // namespace norvane::cli
