#pragma once

#include "core/models/DailyActivityInfo.h"
#include "core/models/Project.h"

namespace norvane {

/// One project's version-control activity on one local calendar day. One row per (project, day).
class DailyActivity : public platform::Model<DailyActivity>, public DailyActivityInfo {
public:
    std::shared_ptr<Project> project;

    DailyActivity() = default;
    /// A new row for the local day that contains `date`.
    static std::shared_ptr<DailyActivity> create(const std::shared_ptr<Project>& project, platform::Date date);
    /// A new row for the local day that starts at `dayStart`, as LocalCalendar::startOfDay gives it.
    static std::shared_ptr<DailyActivity> startingAt(const std::shared_ptr<Project>& project, platform::Date dayStart);
    static const platform::Entity<DailyActivity>& entity();

    /// The stored fields as a plain value.
    DailyActivityInfo info() const { return *this; }
};

namespace DailyActivityField {
inline constexpr platform::Field<DailyActivity, platform::Uuid> id{"id", &DailyActivity::id};
inline constexpr platform::Field<DailyActivity, platform::Date> date{"date", &DailyActivity::date};
inline constexpr platform::Field<DailyActivity, std::int64_t> totalInsertions{"totalInsertions",
                                                                              &DailyActivity::totalInsertions};
inline constexpr platform::Field<DailyActivity, std::int64_t> totalDeletions{"totalDeletions",
                                                                             &DailyActivity::totalDeletions};
inline constexpr platform::Field<DailyActivity, std::int64_t> linesTouched{"linesTouched",
                                                                           &DailyActivity::linesTouched};
inline constexpr platform::Field<DailyActivity, std::int64_t> commitCount{"commitCount", &DailyActivity::commitCount};
inline constexpr platform::Field<DailyActivity, std::int64_t> filesChanged{"filesChanged",
                                                                           &DailyActivity::filesChanged};
inline constexpr platform::Field<DailyActivity, std::int64_t> codeLinesInserted{"codeLinesInserted",
                                                                                &DailyActivity::codeLinesInserted};
inline constexpr platform::Field<DailyActivity, std::int64_t> codeLinesDeleted{"codeLinesDeleted",
                                                                               &DailyActivity::codeLinesDeleted};
inline constexpr platform::Field<DailyActivity, std::int64_t> docsLinesInserted{"docsLinesInserted",
                                                                                &DailyActivity::docsLinesInserted};
inline constexpr platform::Field<DailyActivity, std::int64_t> docsLinesDeleted{"docsLinesDeleted",
                                                                               &DailyActivity::docsLinesDeleted};
inline constexpr platform::Field<DailyActivity, std::int64_t> testLinesInserted{"testLinesInserted",
                                                                                &DailyActivity::testLinesInserted};
inline constexpr platform::Field<DailyActivity, std::int64_t> testLinesDeleted{"testLinesDeleted",
                                                                               &DailyActivity::testLinesDeleted};
inline constexpr platform::Field<DailyActivity, std::int64_t> configLinesInserted{"configLinesInserted",
                                                                                  &DailyActivity::configLinesInserted};
inline constexpr platform::Field<DailyActivity, std::int64_t> configLinesDeleted{"configLinesDeleted",
                                                                                 &DailyActivity::configLinesDeleted};
inline constexpr platform::Field<DailyActivity, double> estimatedEffortMonths{"estimatedEffortMonths",
                                                                              &DailyActivity::estimatedEffortMonths};
inline constexpr platform::Field<DailyActivity, double> estimatedCost{"estimatedCost", &DailyActivity::estimatedCost};
inline constexpr platform::Field<DailyActivity, std::shared_ptr<Project>> project{"project", &DailyActivity::project};
} // namespace DailyActivityField

} // namespace norvane
