#include "core/models/ModelDailyActivity.h"

#include "platform/LocalCalendar.h"

namespace norvane {

using platform::attribute;

std::shared_ptr<ModelDailyActivity> ModelDailyActivity::create(const std::shared_ptr<Project>& project,
                                                               platform::Date date, AIModel model) {
    auto row = std::make_shared<ModelDailyActivity>();
    row->project = project;
    row->date = platform::LocalCalendar::startOfDay(date);
    row->setModel(model);
    return row;
}

const platform::Entity<ModelDailyActivity>& ModelDailyActivity::entity() {
    static const platform::Entity<ModelDailyActivity> entity{
        "ModelDailyActivity",
        "model_daily_activity",
        {
            attribute(ModelDailyActivityField::id, {.identity = true}),
            attribute(ModelDailyActivityField::date),
            attribute(ModelDailyActivityField::modelRaw),
            attribute(ModelDailyActivityField::insertions),
            attribute(ModelDailyActivityField::deletions),
            attribute(ModelDailyActivityField::commitCount),
            attribute(ModelDailyActivityField::filesChanged),
            attribute(ModelDailyActivityField::estimatedEffortMonths),
            attribute(ModelDailyActivityField::estimatedCost),
            // The rows outlive their project, which forgets them.
            platform::relationship(ModelDailyActivityField::project, platform::DeleteRule::nullify),
        },
        {{{"date"}, false}}};
    return entity;
}

AIModel ModelDailyActivity::model() const {
    return platform::fromRawValue<AIModel>(modelRaw).value_or(AIModel::unknown);
}

void ModelDailyActivity::setModel(AIModel model) { modelRaw = std::string(platform::rawValue(model)); }

} // namespace norvane
