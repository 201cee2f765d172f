#pragma once

#include "core/collection/GitCommit.h"
#include "core/models/AIModel.h"

#include "platform/Date.h"
#include "platform/LocalDayStarts.h"

#include <cstdint>
#include <map>
#include <utility>

namespace norvane {

/// The lines of one model's attributed commits on one local day.
struct ModelDayTotals {
    int64_t insertions = 0;
    int64_t deletions = 0;
    int64_t filesChanged = 0;
    int64_t commitCount = 0;
};

/// Attributed commits' totals by the start of their local day and their model.
using ModelAttribution = std::map<std::pair<platform::Date, AIModel>, ModelDayTotals>;

/// Attributes commits one at a time, as a log reads them: commits without a tag or an AI marker are
/// left out; a marker in the subject without a tag counts for `unknown`; a commit dated after `now`
/// counts on now's day.
class ModelAttributionTally {
public:
    explicit ModelAttributionTally(platform::Date now) : now_(now) {}

    void add(const GitCommit& commit);
    const ModelAttribution& totals() const { return totals_; }

private:
    platform::Date now_;
    platform::LocalDayStarts dayStarts_;
    ModelAttribution totals_;
};

} // namespace norvane
