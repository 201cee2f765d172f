#pragma once

#include "core/models/NorvaneDatabase.h"
#include "core/models/Project.h"

#include "tests/core/collection/GitTestRepository.h"
#include "tests/support/TemporaryFolder.h"

#include "platform/persistence/ModelContext.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace norvane::testing {

/// How one run of the tool ended.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

/// What a run may change besides its arguments.
struct CliRunOptions {
    std::optional<std::filesystem::path> workingFolder;
    std::optional<std::string> standardInput;
    std::map<std::string, std::string> environment; ///< added to, or replacing, the fixture's
    /// A program, with its arguments, that runs the tool (such as setpriv, to run it as another user).
    std::vector<std::string> launcher;
    /// The width that the terminal of `atTerminal` says it has; 0 for one that says none.
    unsigned short terminalColumns = 0;
    /// A file that `atTerminal` sends standard output to, as `> FILE` at a shell does.
    std::optional<std::filesystem::path> outputFile;
};

/// Runs the built `norvane` against a temporary home, as the daily agent would: no terminal,
/// an environment of its own. The test reads the same store file through its own containers.
class CliTest : public ::testing::Test {
protected:
    CliRun norvane(const std::vector<std::string>& arguments, const CliRunOptions& options = {}) const;
    /// Runs the tool with a terminal for its input and outputs, as a person at a shell would (TERM
    /// "xterm" unless the options say otherwise); its standard output and error are read together,
    /// as the terminal shows them, unless standard output goes to the options' file.
    CliRun atTerminal(const std::vector<std::string>& arguments, const CliRunOptions& options = {}) const;
    /// Starts the tool without waiting for it, its output dropped, for runs that the test ends
    /// itself; returns its process id.
    pid_t start(const std::vector<std::string>& arguments, const CliRunOptions& options = {}) const;
    /// Adds a project and expects the whole first collection to succeed.
    void addProject(const std::string& name, const std::filesystem::path& folder) const;

    /// A repository of three commits: "Initial commit" and "Add the helper [claude]" at fixed
    /// dates in 2024, and "Tidy the helper" now.
    std::unique_ptr<GitTestRepository> makeRepository() const;

    /// A context on a container of its own over the tool's store file, as the application has.
    static std::shared_ptr<platform::ModelContext> openStore();
    /// What the store holds now, read through a fresh container.
    template <typename R>
    static std::vector<std::shared_ptr<R>> stored() {
        return openStore()->fetch<R>();
    }
    /// The stored project of that name, or null.
    static std::shared_ptr<Project> storedProject(const std::string& name);
    static std::filesystem::path storeFile() { return NorvaneDatabase::containerURL(); }
    /// How many snapshots of one type ("scc", "gitHistory") the named project has.
    static std::size_t storedSnapshots(const std::string& projectName, const std::string& type);
    std::map<std::string, std::string> environmentFor(const CliRunOptions& options) const;

    TemporaryHome home;
    ScopedEnvironment noSystemConfig{"GIT_CONFIG_NOSYSTEM", "1"};
};

/// The number of lines of a text that ends with a line break.
std::size_t lineCount(const std::string& text);

} // namespace norvane::testing
