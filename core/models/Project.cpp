#include "core/models/Project.h"

#include "core/models/DailyActivity.h"
#include "core/models/Snapshot.h"
#include "platform/persistence/ModelContext.h"

#include <algorithm>

namespace norvane {

using platform::attribute;

std::shared_ptr<Project> Project::create(std::string name, std::string path, std::optional<std::string> description,
                                         ProjectType projectType) {
    auto project = std::make_shared<Project>();
    project->name = std::move(name);
    project->path = std::move(path);
    project->projectDescription = std::move(description);
    project->projectType = projectType;
    project->createdAt = platform::currentDate();
    project->updatedAt = platform::currentDate();
    return project;
}

const platform::Entity<Project>& Project::entity() {
    static const platform::Entity<Project> entity{"Project",
                                                  "project",
                                                  {
                                                      attribute(ProjectField::id, {.identity = true}),
                                                      attribute(ProjectField::name, {.unique = true}),
                                                      attribute(ProjectField::path),
                                                      attribute(ProjectField::projectDescription),
                                                      attribute(ProjectField::status),
                                                      attribute(ProjectField::projectType),
                                                      attribute(ProjectField::firstCommitAt),
                                                      attribute(ProjectField::latestCommitAt),
                                                      attribute(ProjectField::createdAt),
                                                      attribute(ProjectField::updatedAt),
                                                      attribute(ProjectField::baselineVelocity),
                                                      attribute(ProjectField::baselineCalculatedAt),
                                                  }};
    return entity;
}

std::vector<std::shared_ptr<Snapshot>> Project::snapshots() const {
    auto* context = modelContext();
    if (context == nullptr) return {};
    auto self = std::const_pointer_cast<Project>(std::static_pointer_cast<const Project>(shared_from_this()));
    return context->fetch<Snapshot>({.predicate = SnapshotField::project == self});
}

std::vector<std::shared_ptr<DailyActivity>> Project::dailyActivities() const {
    auto* context = modelContext();
    if (context == nullptr) return {};
    auto self = std::const_pointer_cast<Project>(std::static_pointer_cast<const Project>(shared_from_this()));
    return context->fetch<DailyActivity>({.predicate = DailyActivityField::project == self});
}

std::optional<CommitSummary> Project::latestCommitSummary() const {
    auto candidates = snapshots();
    std::erase_if(candidates, [](const auto& snapshot) { return !snapshot->latestCommitHash; });
    if (candidates.empty()) return std::nullopt;
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a->capturedAt > b->capturedAt; });
    const auto& snapshot = candidates.front();
    return commitSummaryOf(*snapshot->latestCommitHash, snapshot->latestCommitMessage);
}

std::shared_ptr<Snapshot> Project::newestMeasurement() const {
    auto candidates = snapshots();
    std::erase_if(candidates,
                  [](const auto& snapshot) { return snapshot->snapshotType() == SnapshotType::gitHistory; });
    if (candidates.empty()) return nullptr;
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const auto& a, const auto& b) { return a->capturedAt > b->capturedAt; });
    return candidates.front();
}

ProjectSizeBucket Project::sizeBucket() const {
    const auto newest = newestMeasurement();
    return newest ? sizeBucketForLines(newest->codeCategoryCode()) : ProjectSizeBucket::greenfield;
}

MaturityMultiplier Project::maturityMultiplier(platform::Date now) const {
    const auto newest = newestMeasurement();
    const std::int64_t codeLines = newest ? newest->codeCategoryCode() : 0;
    const std::int64_t complexity = newest ? newest->codeCategoryComplexity() : 0;
    return MaturityMultiplier::calculate(codeLines, complexity, firstCommitAt, now);
}

} // namespace norvane
