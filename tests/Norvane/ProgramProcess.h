#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

struct sqlite3;

namespace norvane::testing {

/// What the programs run with as a user whose home is `home`, with the freedesktop folders in it,
/// and whose runtime folder, private by definition, is `runtime`: offscreen, unless `display`
/// names an X display.
std::map<std::string, std::string> userEnvironment(const std::filesystem::path& home,
                                                   const std::filesystem::path& runtime,
                                                   const std::string& display = {});

/// The command line that runs the built `program` with `arguments` under umask 022, as a login
/// shell usually starts it.
std::vector<std::string> underUmask022(const std::string& program, const std::vector<std::string>& arguments = {});

/// What the built tool printed, run with `arguments` as `underUmask022` runs it; a test fails when
/// the tool does.
std::string runTool(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment);

/// Makes the store at `store` with the built tool, run in `environment`, and keeps it with a
/// connection of this process that holds it, readers too, as a program that holds its store alone
/// does, until the connection is closed.
sqlite3* keepStoreAlone(const std::filesystem::path& store, const std::map<std::string, std::string>& environment);

/// A built program, the application or the tool, started as a user starts it (under umask 022, with
/// the ending signals as a terminal gives them) in its own process, its output dropped and its
/// standard error written to `standardError` when one is named; killed when this goes while it
/// still runs.
class ProgramProcess {
public:
    ProgramProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment,
                   const std::filesystem::path& standardError = {});
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    pid_t id() const { return id_; }
    /// How it ended, as waitpid tells, once it has, up to a minute; -1 when it still runs then.
    int waitForEnd();

private:
    pid_t id_ = 0;
};

} // namespace norvane::testing
