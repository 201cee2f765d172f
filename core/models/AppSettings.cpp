#include "core/models/AppSettings.h"

namespace norvane {

using platform::attribute;

const platform::Entity<AppSettings>& AppSettings::entity() {
    static const platform::Entity<AppSettings> entity{"AppSettings",
                                                      "app_settings",
                                                      {
                                                          attribute(AppSettingsField::id, {.identity = true}),
                                                          attribute(AppSettingsField::averageWage),
                                                          attribute(AppSettingsField::overhead),
                                                          attribute(AppSettingsField::headcount),
                                                          attribute(AppSettingsField::defaultProjectType),
                                                          attribute(AppSettingsField::peakThroughput),
                                                          attribute(AppSettingsField::peakThroughputStartDate),
                                                          attribute(AppSettingsField::peakThroughputEndDate),
                                                          attribute(AppSettingsField::peakCalculatedAt),
                                                      }};
    return entity;
}

} // namespace norvane
