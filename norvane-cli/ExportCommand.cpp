#include "norvane-cli/ExportCommand.h"

#include "norvane-cli/FullDataExport.h"

#include "core/models/ChosenFile.h"

#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>

namespace norvane::cli {
namespace {

/// Refuses an empty file name while the arguments are read, as a usage error.
CLI::Validator nonEmptyFileName() {
    return CLI::Validator(
        [](const std::string& value) {
            return value.empty() ? std::string("needs a file name, or - for standard output") : std::string();
        },
        "FILE");
}

} // namespace

CLI::App* ExportCommand::configure(CLI::App& tool) {
    auto* command = tool.add_subcommand("export", "Write all data to a JSON file");
    command->add_option("-o,--output", output_, "The file to write, or - for standard output")
        ->required()
        ->check(nonEmptyFileName());
    return command;
}

int ExportCommand::run(NorvaneKit& kit, const Console& console) {
    // Checked before anything is read or written: writing over the store would lose every project.
    std::optional<ChosenFile> destination;
    if (output_ != "-") {
        const auto& store = kit.container()->file();
        destination.emplace(output_, store ? StorePathGuard(*store) : StorePathGuard());
    }
    // Written as it is read, so the export holds no more memory for a large store than a small one.
    const auto exportTo = [&kit](std::ostream& out) {
        FullDataExport::write(kit.container(), platform::currentDate(), out);
    };
    if (!destination) {
        exportTo(console.out());
        console.out() << std::flush;
        return EXIT_SUCCESS;
    }
    destination->write(exportTo);
    console.printLine(fmt::format("Exported all data to {}", output_));
    return EXIT_SUCCESS;
}

} // namespace norvane::cli
