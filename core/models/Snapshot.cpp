#include "core/models/Snapshot.h"

#include "core/models/SnapshotLanguage.h"
#include "platform/persistence/ModelContext.h"

#include <algorithm>

namespace norvane {

using platform::attribute;

std::shared_ptr<Snapshot> Snapshot::create(const std::shared_ptr<Project>& project) {
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->capturedAt = platform::currentDate();
    snapshot->project = project;
    return snapshot;
}

const platform::Entity<Snapshot>& Snapshot::entity() {
    static const platform::Entity<Snapshot> entity{
        "Snapshot",
        "snapshot",
        {
            attribute(SnapshotField::id, {.identity = true}),
            attribute(SnapshotField::capturedAt),
            attribute(SnapshotField::snapshotTypeRaw),
            attribute(SnapshotField::totalFiles),
            attribute(SnapshotField::totalLines),
            attribute(SnapshotField::codeLines),
            attribute(SnapshotField::commentLines),
            attribute(SnapshotField::blankLines),
            attribute(SnapshotField::totalComplexity),
            attribute(SnapshotField::latestCommitHash),
            attribute(SnapshotField::latestCommitMessage),
            attribute(SnapshotField::latestCommitAuthor),
            attribute(SnapshotField::latestCommitDate),
            attribute(SnapshotField::analyzedCommitHash),
            attribute(SnapshotField::cumulativeInsertions),
            attribute(SnapshotField::cumulativeDeletions),
            attribute(SnapshotField::cumulativeLinesChanged),
            attribute(SnapshotField::cumulativeEffortMonths),
            attribute(SnapshotField::cumulativeEstimatedCost),
            platform::relationship(SnapshotField::project, platform::DeleteRule::cascade),
        },
        // The last one holds all that the daily portfolio rows read of the history, in the order they
        // read it, so that their rebuild scans the index alone.
        {{{"project", "capturedAt"}, false},
         {{"capturedAt"}, false},
         {{"snapshotTypeRaw", "capturedAt", "project", "cumulativeEffortMonths"}, false}}};
    return entity;
}

SnapshotType Snapshot::snapshotType() const {
    return snapshotTypeRaw == platform::rawValue(SnapshotType::gitHistory) ? SnapshotType::gitHistory
                                                                           : SnapshotType::scc;
}

void Snapshot::setSnapshotType(SnapshotType type) { snapshotTypeRaw = std::string(platform::rawValue(type)); }

std::vector<std::shared_ptr<SnapshotLanguage>> Snapshot::languages() const {
    auto* context = modelContext();
    if (context == nullptr) return {};
    auto self = std::const_pointer_cast<Snapshot>(std::static_pointer_cast<const Snapshot>(shared_from_this()));
    return context->fetch<SnapshotLanguage>({.predicate = SnapshotLanguageField::snapshot == self});
}

namespace {

template <typename Value>
std::int64_t sumOver(const Snapshot& snapshot, OutputCategory category, Value value) {
    std::int64_t total = 0;
    for (const auto& row : snapshot.languages()) {
        if (row->effectiveCategory() == category) total += value(*row);
    }
    return total;
}

} // namespace

std::int64_t Snapshot::codeCategoryCode() const {
    return sumOver(*this, OutputCategory::code, [](const SnapshotLanguage& row) { return row.code; });
}

std::int64_t Snapshot::codeCategoryComplexity() const {
    return sumOver(*this, OutputCategory::code, [](const SnapshotLanguage& row) { return row.complexity; });
}

std::int64_t Snapshot::docsCategoryCode() const {
    return sumOver(*this, OutputCategory::docs, [](const SnapshotLanguage& row) { return row.code; });
}

std::int64_t Snapshot::testsCategoryCode() const {
    return sumOver(*this, OutputCategory::tests, [](const SnapshotLanguage& row) { return row.code; });
}

std::int64_t Snapshot::configCategoryCode() const {
    return sumOver(*this, OutputCategory::config, [](const SnapshotLanguage& row) { return row.code; });
}

std::optional<std::string> Snapshot::languageWithMostCode() const {
    auto languages = this->languages();
    if (languages.empty()) {
        return std::nullopt;
    }
    std::stable_sort(languages.begin(), languages.end(),
                     [](const auto& a, const auto& b) { return a->code > b->code; });
    return languages.front()->language;
}

SnapshotInfo Snapshot::info() const {
    SnapshotInfo info;
    static_cast<SnapshotFields&>(info) = *this;
    info.codeCategoryCode = codeCategoryCode();
    info.codeCategoryComplexity = codeCategoryComplexity();
    info.languageWithMostCode = languageWithMostCode();
    return info;
}

} // namespace norvane
