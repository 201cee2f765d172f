#include "norvane-cli/RemoveCommand.h"

#include "norvane-cli/TerminalText.h"

#include <fmt/format.h>

#include <cstdlib>
#include <istream>
#include <ostream>

namespace norvane::cli {

CLI::App* RemoveCommand::configure(CLI::App& tool) {
    auto* command = tool.add_subcommand("remove", "Delete a project with all its snapshots and activity");
    command->add_option("NAME", name_, "The project")->required();
    command->add_flag("-y,--yes", yes_, "Do not ask for confirmation");
    return command;
}

int RemoveCommand::run(NorvaneKit& kit, const Console& console) {
    const auto project = requireProject(kit, name_);
    if (!yes_ && !console.inputIsTerminal()) {
        // Nobody can be asked (a script, cron): removing needs an explicit --yes.
        console.printError(
            fmt::format("Not removing {}: no terminal to confirm on; run with --yes to remove it", name_));
        return EXIT_FAILURE;
    }
    if (!yes_ && !confirmed(console)) {
        console.printLine("Nothing removed");
        return EXIT_FAILURE;
    }
    kit.deleteProject(project);
    console.printLine(fmt::format("Removed {}", name_));
    return EXIT_SUCCESS;
}

bool RemoveCommand::confirmed(const Console& console) const {
    // Asked on standard error, so that the question shows even when the output goes to a file.
    console.err() << fmt::format("Remove {} with all its snapshots and activity? [y/N] ",
                                 TerminalText::printable(name_))
                  << std::flush;
    std::string answer;
    if (!std::getline(console.in(), answer)) {
        console.err() << '\n';
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" || answer == "YES";
}

} // namespace norvane::cli
