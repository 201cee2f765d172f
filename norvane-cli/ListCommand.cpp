#include "norvane-cli/ListCommand.h"

#include "norvane-cli/TerminalText.h"

#include "core/collection/AddCompletion.h"

#include "platform/RawValueEnum.h"
#include "platform/UnicodeText.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <ostream>
#include <string_view>
#include <utility>

namespace norvane::cli {
namespace {

using Table = std::vector<std::vector<std::string>>;

/// The statuses of a project whose add did not finish, each with what it means: the add still
/// runs, or it was interrupted.
constexpr std::string_view addingStatus = "adding";
constexpr std::string_view unfinishedStatus = "unfinished";
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> unfinishedAdds{{
    {addingStatus, "the add still runs; it imports the history before it ends"},
    {unfinishedStatus, "the add was interrupted before the history was imported; `norvane collect` finishes it"},
}};

/// The columns of the text as it prints, escapes included, so that names in any script (wide
/// characters, combining marks) keep the columns straight.
std::size_t displayWidth(const std::string& text) {
    return platform::UnicodeText::displayWidth(TerminalText::printable(text));
}

void printColumns(const Table& table, const Console& console) {
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
        console.printLine(line + row.back());
    }
}

} // namespace

CLI::App* ListCommand::configure(CLI::App& tool) {
    return tool.add_subcommand("list", "List every project, archived ones included");
}

int ListCommand::run(NorvaneKit& kit, const Console& console) {
    const auto projects = kit.listProjects(true);
    if (projects.empty()) {
        console.printLine("No projects. Add one with: norvane add NAME [PATH]");
        return EXIT_SUCCESS;
    }
    Table table{{"NAME", "STATUS", "TYPE", "CODE LINES", "PATH"}};
    for (const auto& project : projects) table.push_back(row(kit, project));
    printColumns(table, console);
    for (const auto& [status, meaning] : unfinishedAdds) {
        const bool shown = std::any_of(table.begin(), table.end(), [&](const auto& row) { return row[1] == status; });
        if (shown) console.printLine(fmt::format("{}: {}", status, meaning));
    }
    return EXIT_SUCCESS;
}

std::vector<std::string> ListCommand::row(NorvaneKit& kit, const std::shared_ptr<Project>& project) {
    // The newest code count; history points hold churn, not code lines.
    const auto counts = kit.context()->fetch<Snapshot>(
        {.predicate = SnapshotField::project == project && SnapshotField::snapshotTypeRaw == std::string("scc"),
         .sortBy = {platform::descending(SnapshotField::capturedAt)},
         .limit = 1});
    const auto codeLines = counts.empty() ? std::string("-") : fmt::format("{}", counts.front()->codeLines);
    auto status = std::string(platform::rawValue(project->status));
    if (kit.collector().hasUnfinishedAdd(project)) {
        status = AddCompletion::isRunning(*kit.context(), *project) ? addingStatus : unfinishedStatus;
    }
    return {project->name, status, std::string(platform::rawValue(project->projectType)), codeLines, project->path};
}

} // namespace norvane::cli
