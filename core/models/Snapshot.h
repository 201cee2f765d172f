#pragma once

#include "core/models/Project.h"
#include "core/models/SnapshotInfo.h"
#include "core/models/SnapshotType.h"

namespace norvane {

class SnapshotLanguage;

/// One stored measurement of a project: a code count ("scc") with its language rows, or a sampled
/// point of the history ("gitHistory") with running totals of churn, effort and cost.
class Snapshot : public platform::Model<Snapshot>, public SnapshotFields {
public:
    std::shared_ptr<Project> project;

    Snapshot() = default;
    static std::shared_ptr<Snapshot> create(const std::shared_ptr<Project>& project);
    static const platform::Entity<Snapshot>& entity();

    /// "gitHistory" only for exactly that text; every other text reads as `scc`.
    SnapshotType snapshotType() const;
    void setSnapshotType(SnapshotType type);

    /// The language rows (pending ones included), in no particular order.
    std::vector<std::shared_ptr<SnapshotLanguage>> languages() const;

    std::int64_t codeCategoryCode() const;
    std::int64_t codeCategoryComplexity() const;
    std::int64_t docsCategoryCode() const;
    std::int64_t testsCategoryCode() const;
    std::int64_t configCategoryCode() const;
    /// The language with the most code lines, of any output category; of equal ones, the first of
    /// `languages()`. None without rows.
    std::optional<std::string> languageWithMostCode() const;

    /// The stored fields and the figures of the language rows, as a plain value.
    SnapshotInfo info() const;
};

namespace SnapshotField {
inline constexpr platform::Field<Snapshot, platform::Uuid> id{"id", &Snapshot::id};
inline constexpr platform::Field<Snapshot, platform::Date> capturedAt{"capturedAt", &Snapshot::capturedAt};
inline constexpr platform::Field<Snapshot, std::string> snapshotTypeRaw{"snapshotTypeRaw", &Snapshot::snapshotTypeRaw};
inline constexpr platform::Field<Snapshot, std::int64_t> totalFiles{"totalFiles", &Snapshot::totalFiles};
inline constexpr platform::Field<Snapshot, std::int64_t> totalLines{"totalLines", &Snapshot::totalLines};
inline constexpr platform::Field<Snapshot, std::int64_t> codeLines{"codeLines", &Snapshot::codeLines};
inline constexpr platform::Field<Snapshot, std::int64_t> commentLines{"commentLines", &Snapshot::commentLines};
inline constexpr platform::Field<Snapshot, std::int64_t> blankLines{"blankLines", &Snapshot::blankLines};
inline constexpr platform::Field<Snapshot, std::int64_t> totalComplexity{"totalComplexity", &Snapshot::totalComplexity};
inline constexpr platform::Field<Snapshot, std::optional<std::string>> latestCommitHash{"latestCommitHash",
                                                                                        &Snapshot::latestCommitHash};
inline constexpr platform::Field<Snapshot, std::optional<std::string>> latestCommitMessage{
    "latestCommitMessage", &Snapshot::latestCommitMessage};
inline constexpr platform::Field<Snapshot, std::optional<std::string>> latestCommitAuthor{
    "latestCommitAuthor", &Snapshot::latestCommitAuthor};
inline constexpr platform::Field<Snapshot, std::optional<platform::Date>> latestCommitDate{"latestCommitDate",
                                                                                           &Snapshot::latestCommitDate};
inline constexpr platform::Field<Snapshot, std::optional<std::string>> analyzedCommitHash{
    "analyzedCommitHash", &Snapshot::analyzedCommitHash};
inline constexpr platform::Field<Snapshot, std::int64_t> cumulativeInsertions{"cumulativeInsertions",
                                                                              &Snapshot::cumulativeInsertions};
inline constexpr platform::Field<Snapshot, std::int64_t> cumulativeDeletions{"cumulativeDeletions",
                                                                             &Snapshot::cumulativeDeletions};
inline constexpr platform::Field<Snapshot, std::int64_t> cumulativeLinesChanged{"cumulativeLinesChanged",
                                                                                &Snapshot::cumulativeLinesChanged};
inline constexpr platform::Field<Snapshot, double> cumulativeEffortMonths{"cumulativeEffortMonths",
                                                                          &Snapshot::cumulativeEffortMonths};
inline constexpr platform::Field<Snapshot, double> cumulativeEstimatedCost{"cumulativeEstimatedCost",
                                                                           &Snapshot::cumulativeEstimatedCost};
inline constexpr platform::Field<Snapshot, std::shared_ptr<Project>> project{"project", &Snapshot::project};
} // namespace SnapshotField

} // namespace norvane
