#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/collection/CollectionResult.h"

namespace norvane::app {

/// The collector as the application uses it. Every call runs on the collection worker thread and
/// throws when the store behind it cannot be opened; a collection's own failures travel in its
/// results.
class CollectionService {
public:
    /// Place among the sampled commits (1-based) and their number.
    using HistoryProgress = std::function<void(int current, int total)>;

    virtual ~CollectionService() = default;

    virtual std::vector<CollectionResult> collectAll() = 0;
    virtual CollectionResult collectProject(const std::string& name) = 0;
    /// Imports the named project's history, keeping one commit in every `intervalDays` days;
    /// throws the import's failure.
    virtual void collectHistory(const std::string& name, int intervalDays, const HistoryProgress& progress) = 0;
};

} // namespace norvane::app
