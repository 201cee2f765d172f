#pragma once

#include "core/models/Project.h"

namespace norvane {

/// One project's version-control activity on one local calendar day. One row per (project, day).
class DailyActivity : public platform::Model<DailyActivity> {
public:
    platform::Uuid id = platform::Uuid::random();
    platform::Date date{};
    std::int64_t totalInsertions = 0;
    std::int64_t totalDeletions = 0;
    std::int64_t linesTouched = 0;
    std::int64_t commitCount = 0;
    std::int64_t filesChanged = 0;
    std::int64_t codeLinesInserted = 0;
    std::int64_t codeLinesDeleted = 0;
    std::int64_t docsLinesInserted = 0;
    std::int64_t docsLinesDeleted = 0;
    std::int64_t testLinesInserted = 0;
    std::int64_t testLinesDeleted = 0;
    std::int64_t configLinesInserted = 0;
    std::int64_t configLinesDeleted = 0;
    double estimatedEffortMonths = 0;
    double estimatedCost = 0;
    std::shared_ptr<Project> project;

    DailyActivity() = default;
    /// A new row for the local day that contains `date`.
    static std::shared_ptr<DailyActivity> create(const std::shared_ptr<Project>& project, platform::Date date);
    static const platform::Entity<DailyActivity>& entity();

    std::int64_t codeLinesChanged() const { return codeLinesInserted + codeLinesDeleted; }
    std::int64_t docsLinesChanged() const { return docsLinesInserted + docsLinesDeleted; }
    std::int64_t testLinesChanged() const { return testLinesInserted + testLinesDeleted; }
    std::int64_t configLinesChanged() const { return configLinesInserted + configLinesDeleted; }
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
