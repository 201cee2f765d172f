#pragma once

#include "tests/core/collection/CollectionFixture.h"
#include "tests/core/collection/GitLoggedDays.h"
#include "tests/support/LocalDate.h"
#include "tests/support/ManualClock.h"
#include "tests/support/RecordingProcessRunner.h"
#include "tests/support/ScopedTimeZone.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace norvane::testing {

/// A day as the tests compare it: commits, lines inserted and deleted, files changed, and code
/// lines inserted (every file these tests write is code).
using DayFigures = std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t, std::int64_t>;
using DayTable = std::map<platform::Date, DayFigures>;

/// Prints a table of days one a line, with local dates, for failure messages.
std::string describe(const DayTable& days);

/// A repository in Berlin's time zone (unless a test names another), its project, and a collector
/// whose clock the test moves.
class DailyRowsFixture : public CollectionFixture {
protected:
    DailyRowsFixture();

    /// Writes `count` new lines, unlike any other, into `file` and commits them.
    std::string commitLines(const std::string& file, int count, std::optional<platform::Date> authored = std::nullopt,
                            std::optional<platform::Date> committed = std::nullopt);
    /// Runs git in the repository with both of a new commit's dates at the clock's moment.
    std::string git(const std::vector<std::string>& arguments, const std::optional<std::string>& input = std::nullopt);
    /// Moves the clock to `when` and collects the project, expecting success; the first time as
    /// its add does.
    void collectAt(platform::Date when);
    /// The project's rows; a second row of one day fails the test.
    DayTable storedDays();
    /// The days of every commit that HEAD or a local branch reaches, as git shows them; a commit
    /// named in `bookedOn` counts on that moment's day.
    DayTable gitDays(const std::map<std::string, platform::Date>& bookedOn = {});

    ScopedTimeZone berlin{"Europe/Berlin"};
    GitTestRepository repository;
    ManualClock clock{localDate(2025, 11, 1, 8)};
    /// Every run of git that the collector makes.
    RecordingProcessRunner gitRuns{runningForReal()};
    Collector pinned{context, SccService(builtInCounterOnly()), GitService(gitRuns), clock.clock()};
    std::shared_ptr<Project> project;
    int linesWritten = 0;
    bool added = false;
};

} // namespace norvane::testing
