#pragma once

#include "core/collection/GitCommit.h"
#include "core/collection/ModelAttributionSummary.h"
#include "core/collection/ModelAttributionTally.h"
#include "core/models/ModelDailyActivity.h"

#include "platform/Date.h"
#include "platform/persistence/ModelContext.h"

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace norvane {

/// One point of a model's rolling leverage.
struct ModelLeveragePoint {
    platform::Date date;
    double leverage = 0;

    bool operator==(const ModelLeveragePoint&) const = default;
};

/// Turns the AI-model markers of commit messages into per-project, per-day, per-model rows, and
/// summarises those rows per model. Store errors pass to the caller unchanged.
class ModelAttributionService {
public:
    explicit ModelAttributionService(std::shared_ptr<platform::ModelContext> context,
                                     platform::Clock clock = platform::systemClock());

    /// Records the commits' lines per (local day, model) in the project's rows, replacing the
    /// figures of each pair the commits produce, and saves once.
    void processCommitsForAttribution(const std::shared_ptr<Project>& project, const std::vector<GitCommit>& commits);
    /// The commits' lines per (local day, model), as ModelAttributionTally counts them.
    static ModelAttribution attributeCommits(const std::vector<GitCommit>& commits, platform::Date now);
    /// Writes `attribution` into the project's rows, replacing the figures of each pair it holds,
    /// and saves once.
    void storeAttribution(const std::shared_ptr<Project>& project, const ModelAttribution& attribution);
    /// The same without saving, so that the rows are saved with the rest of an import.
    void stageAttribution(const std::shared_ptr<Project>& project, const ModelAttribution& attribution);
    /// The project's rows of the last `days` days, or all of them.
    ModelAttributionSummary getProjectSummary(const std::shared_ptr<Project>& project, std::optional<int> days);
    /// Every row of the last `days` days, or all of them, whatever its project.
    ModelAttributionSummary getPortfolioSummary(std::optional<int> days);
    /// For each model, the effort of its rows over the 14 days up to each row, per month.
    std::map<AIModel, std::vector<ModelLeveragePoint>> getLeverageSeriesByModel(int days);

private:
    ModelAttributionSummary modelMetrics(const std::vector<std::shared_ptr<ModelDailyActivity>>& rows,
                                         std::optional<int> days) const;

    std::shared_ptr<platform::ModelContext> context_;
    platform::Clock clock_;
};

} // namespace norvane
