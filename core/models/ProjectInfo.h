#pragma once

#include "core/models/ProjectEnums.h"
#include "platform/Date.h"
#include "platform/Uuid.h"

#include <optional>
#include <string>
#include <utility>

namespace norvane {

/// The short hash and subject of a project's newest recorded commit.
using CommitSummary = std::pair<std::string, std::string>;

/// The first 7 characters of the hash and the first line of the message; none without a message.
std::optional<CommitSummary> commitSummaryOf(const std::string& hash, const std::optional<std::string>& message);

/// A project's stored fields as a plain value, with what follows from them alone. The record
/// `Project` holds them; what the pages read is a copy, which reaches no snapshot.
struct ProjectInfo {
    using Status = ProjectStatus;
    using Type = ProjectType;
    using Temperature = ProjectTemperature;

    platform::Uuid id = platform::Uuid::random();
    std::string name;
    std::string path;
    std::optional<std::string> projectDescription;
    ProjectStatus status = ProjectStatus::active;
    ProjectType projectType = ProjectType::organic;
    std::optional<platform::Date> firstCommitAt;
    std::optional<platform::Date> latestCommitAt;
    platform::Date createdAt = platform::currentDate();
    platform::Date updatedAt = platform::currentDate();
    std::optional<double> baselineVelocity;
    std::optional<platform::Date> baselineCalculatedAt;

    std::optional<int> daysSinceLastCommit(platform::Date now = platform::currentDate()) const;
    ProjectTemperature temperature(platform::Date now = platform::currentDate()) const;
    std::optional<int> commitSpanDays() const;
};

} // namespace norvane
