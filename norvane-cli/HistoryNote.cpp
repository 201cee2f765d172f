#include "norvane-cli/HistoryNote.h"

#include "platform/Iso8601.h"

#include <fmt/format.h>

namespace norvane::cli::HistoryNote {

std::string shallow(platform::Date from) {
    return fmt::format("Shallow clone: its history starts on {}; nothing before is counted",
                       platform::Iso8601::formatLocalDay(from));
}

std::string nothingToImport(HistoryImportResult::NothingToImport reason, const std::string& path) {
    switch (reason) {
    case HistoryImportResult::NothingToImport::pathNotFound: return "nothing exists at " + path;
    case HistoryImportResult::NothingToImport::unreadable: return path + " cannot be read";
    case HistoryImportResult::NothingToImport::notGitRepository: return path + " is not a git repository";
    case HistoryImportResult::NothingToImport::noCommits: return "the repository at " + path + " has no commits yet";
    case HistoryImportResult::NothingToImport::noCommitsOnBranch:
        return "the branch checked out at " + path + " has no commits yet, though other branches have";
    }
    return {};
}

} // namespace norvane::cli::HistoryNote
