#pragma once

#include "core/collection/SccOutput.h"
#include "core/models/NorvaneError.h"

#include "platform/ProcessRunner.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace norvane {

/// Where the code counter is looked for, in order: fixed install paths, the system's `which`,
/// then the built-in counter. Tests substitute their own places.
struct SccLookup {
    std::vector<std::filesystem::path> installPaths;
    std::filesystem::path whichProgram;
    std::vector<std::filesystem::path> builtInPaths;

    /// "~/go/bin/scc", "/usr/local/bin/scc", "/usr/bin/scc", "/usr/bin/which", and
    /// "norvane-count" beside the running program, then in the folder the programs install to.
    static SccLookup standard();
};

/// Finds the code counter and runs it over a folder. Holds no state between calls: the tool is
/// looked for anew each time.
class SccService {
public:
    /// Counters take seconds on the largest trees; one that runs for half an hour is stuck, and it
    /// is ended so that the collection does not wait for ever.
    static constexpr std::chrono::minutes standardTimeLimit{30};

    explicit SccService(SccLookup lookup = SccLookup::standard(),
                        platform::ProcessRunner& runner = platform::defaultProcessRunner(),
                        std::chrono::milliseconds timeLimit = standardTimeLimit);

    /// The first executable of the install paths, else what `which` finds, else the built-in
    /// counter; none when there is no counter at all.
    std::optional<std::filesystem::path> findSccPath() const;

    bool isAvailable() const { return findSccPath().has_value(); }

    /// The same service with the counter that it finds now as its one place to look, for a
    /// collection of many folders that should not search again for each; unchanged when there is
    /// none, so that each folder then fails as it would.
    SccService withCounterFound() const;

    /// Runs the counter with "--format", "json" and the path. Throws NorvaneError: sccNotFound,
    /// pathNotFound, or sccFailed (builtInCounterFailed for the built-in counter) when it cannot
    /// start, runs past the time limit, exits non-zero or prints what is not a list of rows. Empty output is a list
    /// without rows. What a successful counter writes on standard error becomes the output's warning.
    SccOutput collectMetrics(const std::string& path) const;

    /// The path that `which scc` prints, trimmed; none when it fails or prints nothing.
    std::optional<std::filesystem::path> whichScc() const;

private:
    /// A counter found, and whether it is the built-in one, which its failures then name.
    struct Counter {
        std::filesystem::path path;
        bool builtIn = false;
    };

    std::optional<Counter> findCounter() const;
    std::optional<std::filesystem::path> builtInCounter() const;
    /// `sccFailed`, or the built-in counter's failure when that is what ran.
    static NorvaneError failure(const Counter& counter, const std::string& detail);

    SccLookup lookup_;
    platform::ProcessRunner& runner_;
    std::chrono::milliseconds timeLimit_;
};

} // namespace norvane
