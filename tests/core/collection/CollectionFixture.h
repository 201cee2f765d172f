#pragma once

#include "core/collection/Collector.h"
#include "core/models/NorvaneDatabase.h"

#include "tests/core/collection/GitTestRepository.h"

#include "platform/LocalCalendar.h"
#include "platform/persistence/ModelContext.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace norvane::testing {

/// The built-in counter of this build, found through NORVANE_TEST_BIN, and nothing else.
SccLookup builtInCounterOnly();

/// The activity of each day of the repository as a history import books it now; none for a folder
/// that is not a repository.
std::map<platform::Date, GitActivityStats> importedDays(const GitService& git, const std::string& path);
/// HEAD's commits with their line counts and whole messages, oldest first, as a history import
/// reads them; none for a folder that is not a repository.
std::vector<GitCommit> importedCommits(const GitService& git, const std::string& path);

/// An in-memory store, a collector over it that counts with the built-in counter, and git kept
/// away from the real configuration.
class CollectionFixture : public ::testing::Test {
protected:
    std::shared_ptr<Project> addProject(const std::string& name, const std::string& path,
                                        ProjectType type = ProjectType::organic);
    /// Runs SQL on the store directly, for example to make saves fail.
    void execute(const std::string& sql);
    /// Every row of a record type, read through a fresh context: what the store really holds.
    template <typename R>
    std::vector<std::shared_ptr<R>> stored() {
        return platform::ModelContext(container).fetch<R>();
    }

    static platform::Date today() { return platform::LocalCalendar::startOfDay(platform::currentDate()); }
    static platform::Date daysFromToday(int days, int hour = 10) {
        return platform::LocalCalendar::addingDays(today(), days) + std::chrono::hours(hour);
    }

    IsolatedGitEnvironment environment;
    std::shared_ptr<platform::ModelContainer> container = NorvaneDatabase::makeInMemoryContainer();
    std::shared_ptr<platform::ModelContext> context = std::make_shared<platform::ModelContext>(container);
    Collector collector{context, SccService(builtInCounterOnly())};
};

} // namespace norvane::testing
