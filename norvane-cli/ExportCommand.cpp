#include "norvane-cli/ExportCommand.h"

#include "norvane-cli/FullDataExport.h"
#include "platform/AtomicFile.h"

#include <fmt/format.h>

#include <cstdlib>
#include <ostream>

namespace norvane::cli {

CLI::App* ExportCommand::configure(CLI::App& tool) {
    auto* command = tool.add_subcommand("export", "Write all data to a JSON file");
    command->add_option("-o,--output", output_, "The file to write")->required();
    return command;
}

int ExportCommand::run(NorvaneKit& kit, const Console& console) {
    const auto document = FullDataExport::document(*kit.context(), platform::currentDate());
    // Text that is not valid UTF-8 (a commit message in another encoding) must not stop the export.
    const auto text = document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    platform::AtomicFile::write(output_, text);
    console.out() << fmt::format("Exported all data to {}\n", output_);
    return EXIT_SUCCESS;
}

} // namespace norvane::cli
