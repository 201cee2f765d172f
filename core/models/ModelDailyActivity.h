#pragma once

#include "core/models/AIModel.h"
#include "core/models/Project.h"

namespace norvane {

/// The commits attributed to one AI model in one project on one local day. The project link does
/// not own the row: deleting the project leaves the row without a project.
class ModelDailyActivity : public platform::Model<ModelDailyActivity> {
public:
    platform::Uuid id = platform::Uuid::random();
    platform::Date date{};
    std::string modelRaw = "unknown";
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
    std::int64_t commitCount = 0;
    std::int64_t filesChanged = 0;
    double estimatedEffortMonths = 0;
    double estimatedCost = 0;
    std::shared_ptr<Project> project;

    ModelDailyActivity() = default;
    static std::shared_ptr<ModelDailyActivity> create(const std::shared_ptr<Project>& project, platform::Date date,
                                                      AIModel model);
    static const platform::Entity<ModelDailyActivity>& entity();

    /// The model of `modelRaw`, or `unknown` for a text that names none.
    AIModel model() const;
    void setModel(AIModel model);
    std::int64_t linesChanged() const { return insertions + deletions; }
};

namespace ModelDailyActivityField {
inline constexpr platform::Field<ModelDailyActivity, platform::Uuid> id{"id", &ModelDailyActivity::id};
inline constexpr platform::Field<ModelDailyActivity, platform::Date> date{"date", &ModelDailyActivity::date};
inline constexpr platform::Field<ModelDailyActivity, std::string> modelRaw{"modelRaw", &ModelDailyActivity::modelRaw};
inline constexpr platform::Field<ModelDailyActivity, std::int64_t> insertions{"insertions",
                                                                              &ModelDailyActivity::insertions};
inline constexpr platform::Field<ModelDailyActivity, std::int64_t> deletions{"deletions",
                                                                             &ModelDailyActivity::deletions};
inline constexpr platform::Field<ModelDailyActivity, std::int64_t> commitCount{"commitCount",
                                                                               &ModelDailyActivity::commitCount};
inline constexpr platform::Field<ModelDailyActivity, std::int64_t> filesChanged{"filesChanged",
                                                                                &ModelDailyActivity::filesChanged};
inline constexpr platform::Field<ModelDailyActivity, double> estimatedEffortMonths{
    "estimatedEffortMonths", &ModelDailyActivity::estimatedEffortMonths};
inline constexpr platform::Field<ModelDailyActivity, double> estimatedCost{"estimatedCost",
                                                                           &ModelDailyActivity::estimatedCost};
inline constexpr platform::Field<ModelDailyActivity, std::shared_ptr<Project>> project{"project",
                                                                                       &ModelDailyActivity::project};
} // namespace ModelDailyActivityField

} // namespace norvane
