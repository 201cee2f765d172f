#include "norvane-cli/ExportCommand.h"

#include "norvane-cli/FullDataExport.h"

#include "core/models/StorePathGuard.h"
#include "platform/AtomicFile.h"

#include <fmt/format.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>

namespace norvane::cli {
namespace {

/// The file that writing to `path` should replace: a symbolic link is followed to its target, so
/// that the link stays and the file it names gets the export. Anything but a regular file (a
/// folder, a FIFO, a device) is refused rather than replaced.
std::filesystem::path regularFileTarget(const std::filesystem::path& path) {
    constexpr int maximumLinks = 40;
    auto target = path;
    for (int links = 0; std::filesystem::is_symlink(target); ++links) {
        if (links == maximumLinks) {
            throw std::runtime_error(fmt::format("Cannot write {}: too many levels of symbolic links", path.string()));
        }
        const auto next = std::filesystem::read_symlink(target);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    std::error_code error;
    const auto status = std::filesystem::status(target, error);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        throw std::runtime_error(fmt::format("Cannot write {}: it is not a regular file", path.string()));
    }
    return target;
}

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
    std::optional<std::filesystem::path> target;
    if (output_ != "-") {
        target = regularFileTarget(output_);
        if (const auto& store = kit.container()->file()) {
            StorePathGuard(*store).requireOtherFile(output_);
        }
    }
    // Written as it is read, so the export holds no more memory for a large store than a small one.
    const auto exportTo = [&kit](std::ostream& out) {
        FullDataExport::write(kit.container(), platform::currentDate(), out);
    };
    if (!target) {
        exportTo(console.out());
        console.out() << std::flush;
        return EXIT_SUCCESS;
    }
    platform::AtomicFile::write(*target, exportTo);
    console.printLine(fmt::format("Exported all data to {}", output_));
    return EXIT_SUCCESS;
}

} // namespace norvane::cli
