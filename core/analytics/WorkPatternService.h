#pragma once

#include "core/analytics/WorkPatterns.h"
#include "platform/Date.h"
#include "platform/persistence/ModelContext.h"

#include <memory>
#include <vector>

namespace norvane {

/// Counts the history snapshots (one per imported commit) of all projects by local hour and
/// weekday.
class WorkPatternService {
public:
    explicit WorkPatternService(std::shared_ptr<platform::ModelContext> context,
                                platform::Clock clock = platform::systemClock())
        : context_(std::move(context)), clock_(std::move(clock)) {}
    virtual ~WorkPatternService() = default;

    /// The commits from `days` calendar days before now on. Throws the store's fetch error.
    virtual WorkPatterns analyzePatterns(int days) const;
    /// The patterns of commits made at `moments`.
    static WorkPatterns patternsOf(const std::vector<platform::Date>& moments);

    const std::shared_ptr<platform::ModelContext>& context() const { return context_; }

private:
    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
};

} // namespace norvane
