#pragma once

#include "core/models/MaturityMultiplier.h"
#include "core/models/ProjectInfo.h"
#include "core/models/ProjectSizeBucket.h"
#include "platform/Date.h"
#include "platform/persistence/Entity.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace norvane {

class Snapshot;
class DailyActivity;

/// A tracked folder, normally a git repository: the stored record of its `ProjectInfo`. Owns its
/// snapshots and daily activity rows: deleting the project deletes them.
class Project : public platform::Model<Project>, public ProjectInfo {
public:
    Project() = default;
    static std::shared_ptr<Project> create(std::string name, std::string path, std::optional<std::string> description,
                                           ProjectType projectType);
    static const platform::Entity<Project>& entity();

    /// The stored fields as a plain value.
    ProjectInfo info() const { return *this; }

    /// The project's snapshots (pending ones included), in no particular order.
    std::vector<std::shared_ptr<Snapshot>> snapshots() const;
    std::vector<std::shared_ptr<DailyActivity>> dailyActivities() const;

    /// (short hash, first line of the message) of the newest snapshot that carries a commit hash.
    std::optional<CommitSummary> latestCommitSummary() const;
    ProjectSizeBucket sizeBucket() const;
    MaturityMultiplier maturityMultiplier(platform::Date now = platform::currentDate()) const;

private:
    std::shared_ptr<Snapshot> newestMeasurement() const;
};

/// The fields of `Project`, for predicates and sort orders.
namespace ProjectField {
inline constexpr platform::Field<Project, platform::Uuid> id{"id", &Project::id};
inline constexpr platform::Field<Project, std::string> name{"name", &Project::name};
inline constexpr platform::Field<Project, std::string> path{"path", &Project::path};
inline constexpr platform::Field<Project, std::optional<std::string>> projectDescription{"projectDescription",
                                                                                         &Project::projectDescription};
inline constexpr platform::Field<Project, ProjectStatus> status{"status", &Project::status};
inline constexpr platform::Field<Project, ProjectType> projectType{"projectType", &Project::projectType};
inline constexpr platform::Field<Project, std::optional<platform::Date>> firstCommitAt{"firstCommitAt",
                                                                                       &Project::firstCommitAt};
inline constexpr platform::Field<Project, std::optional<platform::Date>> latestCommitAt{"latestCommitAt",
                                                                                        &Project::latestCommitAt};
inline constexpr platform::Field<Project, platform::Date> createdAt{"createdAt", &Project::createdAt};
inline constexpr platform::Field<Project, platform::Date> updatedAt{"updatedAt", &Project::updatedAt};
inline constexpr platform::Field<Project, std::optional<double>> baselineVelocity{"baselineVelocity",
                                                                                  &Project::baselineVelocity};
inline constexpr platform::Field<Project, std::optional<platform::Date>> baselineCalculatedAt{
    "baselineCalculatedAt", &Project::baselineCalculatedAt};
} // namespace ProjectField

} // namespace norvane
