#include "tests/core/collection/CollectionFixture.h"

namespace norvane::testing {

SccLookup builtInCounterOnly() { return {{}, builtProgram("no-such-which"), {builtProgram("norvane-count")}}; }

std::map<platform::Date, GitActivityStats> importedDays(const GitService& git, const std::string& path) {
    std::map<platform::Date, GitActivityStats> days;
    if (!git.isGitRepository(path)) {
        return days;
    }
    CommitBooking booking(platform::currentDate());
    for (const auto& [day, booked] : git.readHistory(path, git.readTips(path), booking).days) {
        days.emplace(day, booked.stats());
    }
    return days;
}

std::vector<GitCommit> importedCommits(const GitService& git, const std::string& path) {
    if (!git.isGitRepository(path)) {
        return {};
    }
    CommitBooking booking(platform::currentDate());
    return git.readHistory(path, git.readTips(path), booking).commits;
}

std::shared_ptr<Project> CollectionFixture::addProject(const std::string& name, const std::string& path,
                                                       ProjectType type) {
    auto project = Project::create(name, path, std::nullopt, type);
    context->insert(project);
    context->save();
    return project;
}

void CollectionFixture::execute(const std::string& sql) {
    container->withDatabase([&sql](platform::Database& database) { database.execute(sql); });
}

} // namespace norvane::testing
