#include "tests/norvane-cli/CliTestFixture.h"
#include "tests/support/LocalDate.h"

#include "core/models/Snapshot.h"

#include "platform/ProcessRunner.h"

#include <algorithm>
#include <cstdlib>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane::testing {

std::map<std::string, std::string> CliTest::environmentFor(const CliRunOptions& options) const {
    const char* path = std::getenv("PATH");
    std::map<std::string, std::string> environment{
        {"HOME", home.path().string()},
        {"XDG_DATA_HOME", home.dataHome().string()},
        {"GIT_CONFIG_NOSYSTEM", "1"},
        {"PATH", path != nullptr ? path : "/usr/bin:/bin"},
    };
    for (const auto& [name, value] : options.environment) environment[name] = value;
    return environment;
}

CliRun CliTest::norvane(const std::vector<std::string>& arguments, const CliRunOptions& options) const {
    platform::ProcessRequest request{.executable = builtProgram("norvane").string(), .arguments = arguments};
    if (!options.launcher.empty()) {
        request.arguments = std::vector(options.launcher.begin() + 1, options.launcher.end());
        request.arguments.push_back(request.executable);
        request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
        request.executable = options.launcher.front();
    }
    request.workingDirectory = options.workingFolder;
    request.environment = environmentFor(options);
    request.standardInput = options.standardInput.value_or("");
    const auto result = platform::PosixProcessRunner().run(request);
    EXPECT_TRUE(result.started()) << result.startError.value_or("");
    return {result.exitStatus, result.standardOutput, result.standardError};
}

namespace {

/// The arguments and environment of one run of the tool, as execve takes them.
class ToolCommandLine {
public:
    ToolCommandLine(const std::vector<std::string>& arguments, const std::map<std::string, std::string>& environment)
        : texts_{builtProgram("norvane").string()} {
        texts_.insert(texts_.end(), arguments.begin(), arguments.end());
        for (const auto& [name, value] : environment) variables_.push_back(name + "=" + value);
        for (auto& text : texts_) argv_.push_back(text.data());
        for (auto& variable : variables_) envp_.push_back(variable.data());
        argv_.push_back(nullptr);
        envp_.push_back(nullptr);
    }

    /// Runs the tool in this process, which is a child just forked; standard output goes to
    /// `outputFile` when there is one.
    [[noreturn]] void exec(const std::optional<std::filesystem::path>& outputFile = {}) const {
        if (outputFile) {
            const int file = open(outputFile->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
            if (file < 0 || dup2(file, STDOUT_FILENO) < 0) _exit(127);
        }
        execve(texts_.front().c_str(), argv_.data(), envp_.data());
        _exit(127);
    }

private:
    std::vector<std::string> texts_;
    std::vector<std::string> variables_;
    std::vector<char*> argv_;
    std::vector<char*> envp_;
};

} // namespace

CliRun CliTest::atTerminal(const std::vector<std::string>& arguments, const CliRunOptions& options) const {
    auto environment = environmentFor(options);
    environment.emplace("TERM", "xterm");
    const ToolCommandLine commandLine(arguments, environment);
    int terminal = -1;
    winsize size{.ws_row = 24, .ws_col = options.terminalColumns, .ws_xpixel = 0, .ws_ypixel = 0};
    const pid_t child = forkpty(&terminal, nullptr, nullptr, options.terminalColumns == 0 ? nullptr : &size);
    if (child == 0) commandLine.exec(options.outputFile);
    EXPECT_GT(child, 0);
    CliRun run;
    std::array<char, 4096> buffer{};
    // The terminal reports an error, not an end, once the tool and its children have closed it.
    for (ssize_t got = 0; (got = read(terminal, buffer.data(), buffer.size())) > 0 || (got < 0 && errno == EINTR);) {
        if (got > 0) run.out.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

pid_t CliTest::start(const std::vector<std::string>& arguments, const CliRunOptions& options) const {
    const ToolCommandLine commandLine(arguments, environmentFor(options));
    const pid_t child = fork();
    if (child == 0) {
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        commandLine.exec();
    }
    return child;
}

void CliTest::addProject(const std::string& name, const std::filesystem::path& folder) const {
    const auto run = norvane({"add", name, folder.string()});
    ASSERT_EQ(run.status, 0) << run.err;
}

std::unique_ptr<GitTestRepository> CliTest::makeRepository() const {
    auto repository = std::make_unique<GitTestRepository>();
    repository->writeFile("src/main.cpp", "#include <cstdio>\n\nint main() {\n    // greet\n    std::puts(\"hello\");\n"
                                          "    return 0;\n}\n");
    repository->commit("Initial commit", utc("2024-01-10T12:00:00Z"));
    repository->writeFile("src/helper.cpp", "int helper() {\n    return 1;\n}\n");
    repository->writeFile("README.md", "# Demo\n\nA project.\n");
    repository->commit("Add the helper [claude]", utc("2024-02-20T12:00:00Z"));
    repository->writeFile("src/helper.cpp", "int helper() {\n    return 2;\n}\n");
    repository->commit("Tidy the helper", platform::currentDate());
    return repository;
}

std::shared_ptr<platform::ModelContext> CliTest::openStore() {
    return std::make_shared<platform::ModelContext>(NorvaneDatabase::makeContainer());
}

std::shared_ptr<Project> CliTest::storedProject(const std::string& name) {
    const auto found = openStore()->fetch<Project>({.predicate = ProjectField::name == name});
    return found.empty() ? nullptr : found.front();
}

std::size_t CliTest::storedSnapshots(const std::string& projectName, const std::string& type) {
    const auto snapshots = stored<Snapshot>();
    return static_cast<std::size_t>(std::count_if(snapshots.begin(), snapshots.end(), [&](const auto& snapshot) {
        return snapshot->project && snapshot->project->name == projectName && snapshot->snapshotTypeRaw == type;
    }));
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace norvane::testing
