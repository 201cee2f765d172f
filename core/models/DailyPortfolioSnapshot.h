#pragma once

#include "platform/Date.h"
#include "platform/persistence/Entity.h"

#include <memory>
#include <string>
#include <vector>

namespace norvane {

/// The whole portfolio on one local calendar day. Derived data: rebuilt from the history snapshots.
class DailyPortfolioSnapshot : public platform::Model<DailyPortfolioSnapshot> {
public:
    platform::Uuid id = platform::Uuid::random();
    platform::Date date{};
    std::int64_t activeProjectCount = 0;
    std::int64_t totalInsertions = 0;
    std::int64_t totalDeletions = 0;
    std::int64_t totalLinesChanged = 0;
    double dailyEffortMonths = 0;
    double cumulativeEffortMonths = 0;
    std::int64_t headcount = 1;
    std::int64_t totalCommits = 0;
    /// Names joined with "," (no escaping).
    std::string activeProjectNames;

    DailyPortfolioSnapshot() = default;
    /// A new row for the local day that contains `date`.
    static std::shared_ptr<DailyPortfolioSnapshot> create(platform::Date date);
    static const platform::Entity<DailyPortfolioSnapshot>& entity();

    /// The names split at every comma; the empty text gives no names.
    std::vector<std::string> activeProjects() const { return splitNames(activeProjectNames); }
    static std::vector<std::string> splitNames(const std::string& joined);
    void setActiveProjects(const std::vector<std::string>& names);
};

namespace DailyPortfolioSnapshotField {
inline constexpr platform::Field<DailyPortfolioSnapshot, platform::Uuid> id{"id", &DailyPortfolioSnapshot::id};
inline constexpr platform::Field<DailyPortfolioSnapshot, platform::Date> date{"date", &DailyPortfolioSnapshot::date};
inline constexpr platform::Field<DailyPortfolioSnapshot, std::int64_t> activeProjectCount{
    "activeProjectCount", &DailyPortfolioSnapshot::activeProjectCount};
inline constexpr platform::Field<DailyPortfolioSnapshot, std::int64_t> totalInsertions{
    "totalInsertions", &DailyPortfolioSnapshot::totalInsertions};
inline constexpr platform::Field<DailyPortfolioSnapshot, std::int64_t> totalDeletions{
    "totalDeletions", &DailyPortfolioSnapshot::totalDeletions};
inline constexpr platform::Field<DailyPortfolioSnapshot, std::int64_t> totalLinesChanged{
    "totalLinesChanged", &DailyPortfolioSnapshot::totalLinesChanged};
inline constexpr platform::Field<DailyPortfolioSnapshot, double> dailyEffortMonths{
    "dailyEffortMonths", &DailyPortfolioSnapshot::dailyEffortMonths};
inline constexpr platform::Field<DailyPortfolioSnapshot, double> cumulativeEffortMonths{
    "cumulativeEffortMonths", &DailyPortfolioSnapshot::cumulativeEffortMonths};
inline constexpr platform::Field<DailyPortfolioSnapshot, std::int64_t> headcount{"headcount",
                                                                                 &DailyPortfolioSnapshot::headcount};
inline constexpr platform::Field<DailyPortfolioSnapshot, std::int64_t> totalCommits{
    "totalCommits", &DailyPortfolioSnapshot::totalCommits};
inline constexpr platform::Field<DailyPortfolioSnapshot, std::string> activeProjectNames{
    "activeProjectNames", &DailyPortfolioSnapshot::activeProjectNames};
} // namespace DailyPortfolioSnapshotField

} // namespace norvane
