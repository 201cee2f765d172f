#include "norvane-cli/ExportCommand.h"

#include "norvane-cli/FullDataExport.h"

#include "core/models/ChosenFile.h"

#include "platform/XdgPaths.h"

#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ios>
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
    // Written as it is read, so the export holds no more memory for a large store than a small one.
    const auto exportTo = [&kit](std::ostream& out) {
        FullDataExport::write(kit.container(), platform::currentDate(), out);
    };
    if (output_ == "-") {
        return exportToStandardOutput(exportTo, console);
    }
    // Checked before anything is read or written: writing over the store would lose every project.
    const auto path = platform::XdgPaths::expandingHome(output_);
    const auto& store = kit.container()->file();
    const ChosenFile destination(path, store ? StorePathGuard(*store) : StorePathGuard());
    destination.write(exportTo);
    console.printLine(fmt::format("Exported all data to {}", path.string()));
    return EXIT_SUCCESS;
}

int ExportCommand::exportToStandardOutput(const std::function<void(std::ostream&)>& exportTo, const Console& console) {
    auto& out = console.out();
    // The first write that fails ends the export, rather than reading the rest of the store for
    // nothing; the tool then says why the output was cut.
    out.exceptions(std::ios::badbit);
    bool written = true;
    try {
        exportTo(out);
        out.flush();
    } catch (const std::ios_base::failure&) {
        written = false;
    }
    out.exceptions(std::ios::goodbit);
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}

} // namespace norvane::cli
