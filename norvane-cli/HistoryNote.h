#pragma once

#include "core/collection/HistoryImportResult.h"

#include "platform/Date.h"

#include <string>

namespace norvane::cli {

/// What the history commands tell about a history they could not take whole.
namespace HistoryNote {

/// The line that says a shallow clone's history starts late, and that nothing before is counted.
std::string shallow(platform::Date from);

/// Why a project's folder gave no history to import.
std::string nothingToImport(HistoryImportResult::NothingToImport reason, const std::string& path);

} // namespace HistoryNote
} // namespace norvane::cli
