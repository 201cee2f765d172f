#pragma once

#include "platform/Date.h"
#include "platform/persistence/ModelContainer.h"

#include <memory>
#include <ostream>

namespace norvane::cli {

/// Everything the store holds as one JSON document: each project with its snapshots (with their
/// language rows) and daily activity, the per-model daily activity, the daily portfolio rows and
/// the settings. Keys are camelCase and sorted, the document indented by two spaces; moments are
/// ISO 8601 in UTC, calendar days "YYYY-MM-DD".
class FullDataExport {
public:
    FullDataExport() = delete;

    /// Writes the document to `out` as it reads the store, in one read transaction (a collection
    /// that commits meanwhile is in it whole or not at all). The rows are read in SQL one at a time
    /// and written at once, so what it holds does not grow with the store. Text that is not valid
    /// UTF-8 (a commit message in another encoding) is written with replacement characters.
    static void write(const std::shared_ptr<platform::ModelContainer>& store, platform::Date exportedAt,
                      std::ostream& out);
};

} // namespace norvane::cli
