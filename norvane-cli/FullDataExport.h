#pragma once

#include "platform/Date.h"
#include "platform/persistence/ModelContext.h"

#include <nlohmann/json.hpp>

namespace norvane::cli {

/// Everything the store holds as one JSON document: each project with its snapshots (with their
/// language rows) and daily activity, the per-model daily activity, the daily portfolio rows and
/// the settings. Keys are camelCase; moments are ISO 8601 in UTC, calendar days "YYYY-MM-DD".
class FullDataExport {
public:
    FullDataExport() = delete;

    static nlohmann::json document(platform::ModelContext& context, platform::Date exportedAt);
};

} // namespace norvane::cli
