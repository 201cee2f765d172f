#include "tests/Norvane/ProgramProcess.h"

#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/ProcessRunner.h"
#include "tests/support/ProcessWatch.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::testing {

std::map<std::string, std::string> userEnvironment(const std::filesystem::path& home,
                                                   const std::filesystem::path& runtime, const std::string& display) {
    const char* path = std::getenv("PATH");
    std::map<std::string, std::string> variables{{"HOME", home.string()},
                                                 {"XDG_DATA_HOME", (home / ".local/share").string()},
                                                 {"XDG_CONFIG_HOME", (home / ".config").string()},
                                                 {"XDG_STATE_HOME", (home / ".local/state").string()},
                                                 {"XDG_CACHE_HOME", (home / ".cache").string()},
                                                 {"XDG_RUNTIME_DIR", runtime.string()},
                                                 {"QT_QPA_PLATFORM", "offscreen"},
                                                 {"GIT_CONFIG_NOSYSTEM", "1"},
                                                 {"PATH", path != nullptr ? path : "/usr/bin:/bin"}};
    if (!display.empty()) {
        variables["QT_QPA_PLATFORM"] = "xcb";
        variables["DISPLAY"] = display;
    }
    return variables;
}

std::vector<std::string> underUmask022(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> command{"/bin/sh", "-c", "umask 022 && exec \"$0\" \"$@\"", builtProgram(program)};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

std::string runTool(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment) {
    const auto command = underUmask022("norvane", arguments);
    const auto result =
        platform::PosixProcessRunner().run({.executable = command.front(),
                                            .arguments = std::vector(command.begin() + 1, command.end()),
                                            .environment = environment});
    EXPECT_EQ(result.exitStatus, 0) << result.standardOutput << result.standardError;
    return result.standardOutput;
}

sqlite3* keepStoreAlone(const std::filesystem::path& store, const std::map<std::string, std::string>& environment) {
    const TemporaryFolder project;
    runTool({"add", "demo", project.path().string()}, environment);
    sqlite3* holder = nullptr;
    EXPECT_EQ(sqlite3_open(store.c_str(), &holder), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    return holder;
}

ProgramProcess::ProgramProcess(const std::string& program, const std::vector<std::string>& arguments,
                               const std::map<std::string, std::string>& environment,
                               const std::filesystem::path& standardError) {
    auto command = underUmask022(program, arguments);
    std::vector<char*> commandLine;
    for (auto& argument : command) commandLine.push_back(argument.data());
    commandLine.push_back(nullptr);
    std::vector<std::string> variables;
    for (const auto& [name, value] : environment) variables.push_back(name + "=" + value);
    std::vector<char*> variablePointers;
    for (auto& variable : variables) variablePointers.push_back(variable.data());
    variablePointers.push_back(nullptr);
    // Whatever the test program was started ignoring.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (!standardError.empty()) {
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, standardError.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
    }
    if (posix_spawn(&id_, commandLine.front(), &files, &attributes, commandLine.data(), variablePointers.data()) != 0) {
        id_ = 0;
    }
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
}

ProgramProcess::~ProgramProcess() {
    if (id_ == 0) return;
    ::kill(id_, SIGKILL);
    ::waitpid(id_, nullptr, 0);
}

int ProgramProcess::waitForEnd() {
    if (id_ == 0) return -1;
    int status = -1;
    const bool ended = waitUntil([&] { return ::waitpid(id_, &status, WNOHANG) == id_; });
    if (!ended) return -1;
    id_ = 0;
    return status;
}

} // namespace norvane::testing
