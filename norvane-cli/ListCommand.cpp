#include "norvane-cli/ListCommand.h"

#include "platform/RawValueEnum.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>

namespace norvane::cli {
namespace {

using Table = std::vector<std::vector<std::string>>;

/// Characters rather than bytes, so that names outside ASCII keep their columns straight.
std::size_t displayWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }));
}

/// The text with control characters (line breaks, escape sequences) written as escapes, so that a
/// name cannot break the table or drive the terminal.
std::string printable(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c1Control =
            byte == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (byte == '\n') {
            shown += "\\n";
        } else if (byte == '\t') {
            shown += "\\t";
        } else if (byte == '\r') {
            shown += "\\r";
        } else if (byte < 0x20 || byte == 0x7F) {
            shown += fmt::format("\\x{:02x}", byte);
        } else if (c1Control) {
            shown += fmt::format("\\u{:04x}", static_cast<unsigned char>(text[++i]));
        } else {
            shown += text[i];
        }
    }
    return shown;
}

void printColumns(const Table& table, std::ostream& out) {
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& row : table) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], displayWidth(row[column]));
        }
    }
    for (const auto& row : table) {
        std::string line;
        for (std::size_t column = 0; column + 1 < row.size(); ++column) {
            line += row[column] + std::string(widths[column] - displayWidth(row[column]) + 2, ' ');
        }
        out << line << row.back() << '\n';
    }
}

} // namespace

CLI::App* ListCommand::configure(CLI::App& tool) {
    return tool.add_subcommand("list", "List every project, archived ones included");
}

int ListCommand::run(NorvaneKit& kit, const Console& console) {
    const auto projects = kit.listProjects(true);
    if (projects.empty()) {
        console.out() << "No projects. Add one with: norvane add NAME [PATH]\n";
        return EXIT_SUCCESS;
    }
    Table table{{"NAME", "STATUS", "TYPE", "CODE LINES", "PATH"}};
    for (const auto& project : projects) {
        table.push_back(row(kit, project));
    }
    printColumns(table, console.out());
    return EXIT_SUCCESS;
}

std::vector<std::string> ListCommand::row(NorvaneKit& kit, const std::shared_ptr<Project>& project) {
    // The newest code count; history points hold churn, not code lines.
    const auto counts = kit.context()->fetch<Snapshot>(
        {.predicate = SnapshotField::project == project && SnapshotField::snapshotTypeRaw == std::string("scc"),
         .sortBy = {platform::descending(SnapshotField::capturedAt)},
         .limit = 1});
    const auto codeLines = counts.empty() ? std::string("-") : fmt::format("{}", counts.front()->codeLines);
    return {printable(project->name), std::string(platform::rawValue(project->status)),
            std::string(platform::rawValue(project->projectType)), codeLines, printable(project->path)};
}

} // namespace norvane::cli
