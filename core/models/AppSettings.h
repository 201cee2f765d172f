#pragma once

#include "core/models/ProjectEnums.h"
#include "platform/Date.h"
#include "platform/persistence/Entity.h"

#include <memory>
#include <optional>

namespace norvane {

/// The cost parameters of the COCOMO estimates. The store keeps one such record by convention.
class AppSettings : public platform::Model<AppSettings> {
public:
    /// The yearly wage and the overhead factor until the user sets others, in US dollars.
    static constexpr double defaultAverageWage = 150000.0;
    static constexpr double defaultOverhead = 2.4;

    platform::Uuid id = platform::Uuid::random();
    double averageWage = defaultAverageWage;
    double overhead = defaultOverhead;
    std::int64_t headcount = 1;
    ProjectType defaultProjectType = ProjectType::organic;
    std::optional<double> peakThroughput;
    std::optional<platform::Date> peakThroughputStartDate;
    std::optional<platform::Date> peakThroughputEndDate;
    std::optional<platform::Date> peakCalculatedAt;

    AppSettings() = default;
    /// A new record with the default values, not inserted anywhere.
    static std::shared_ptr<AppSettings> defaults() { return std::make_shared<AppSettings>(); }
    static const platform::Entity<AppSettings>& entity();
};

namespace AppSettingsField {
inline constexpr platform::Field<AppSettings, platform::Uuid> id{"id", &AppSettings::id};
inline constexpr platform::Field<AppSettings, double> averageWage{"averageWage", &AppSettings::averageWage};
inline constexpr platform::Field<AppSettings, double> overhead{"overhead", &AppSettings::overhead};
inline constexpr platform::Field<AppSettings, std::int64_t> headcount{"headcount", &AppSettings::headcount};
inline constexpr platform::Field<AppSettings, ProjectType> defaultProjectType{"defaultProjectType",
                                                                              &AppSettings::defaultProjectType};
inline constexpr platform::Field<AppSettings, std::optional<double>> peakThroughput{"peakThroughput",
                                                                                    &AppSettings::peakThroughput};
inline constexpr platform::Field<AppSettings, std::optional<platform::Date>> peakThroughputStartDate{
    "peakThroughputStartDate", &AppSettings::peakThroughputStartDate};
inline constexpr platform::Field<AppSettings, std::optional<platform::Date>> peakThroughputEndDate{
    "peakThroughputEndDate", &AppSettings::peakThroughputEndDate};
inline constexpr platform::Field<AppSettings, std::optional<platform::Date>> peakCalculatedAt{
    "peakCalculatedAt", &AppSettings::peakCalculatedAt};
} // namespace AppSettingsField

} // namespace norvane
