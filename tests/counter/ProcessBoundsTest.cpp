#include "counter/ProcessBounds.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane::counter {
namespace {

using norvane::testing::TemporaryFolder;
namespace fs = std::filesystem;

bool waitFor(const std::function<bool()>& condition, std::chrono::seconds giveUpAfter) {
    const auto giveUp = std::chrono::steady_clock::now() + giveUpAfter;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A file of /proc, or nothing once the process is gone.
std::string readProcessFile(const fs::path& file) {
    std::string text;
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char piece[4096];
    for (ssize_t count = 0; (count = read(fd, piece, sizeof piece)) > 0;)
        text.append(piece, static_cast<std::size_t>(count));
    close(fd);
    return text;
}

/// The children of `parent` that run `program`, from /proc.
std::vector<pid_t> childrenRunning(pid_t parent, const fs::path& program) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string text = readProcessFile(entry.path() / "stat");
        char state = 0;
        pid_t processParent = 0;
        const auto nameEnd = text.rfind(')');
        if (nameEnd == std::string::npos ||
            std::sscanf(text.c_str() + nameEnd + 1, " %c %d", &state, &processParent) != 2) {
            continue;
        }
        if (processParent == parent && fs::read_symlink(entry.path() / "exe", error) == program) {
            children.push_back(std::stoi(name));
        }
    }
    return children;
}

bool hasOpen(pid_t process, const fs::path& file) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(process) + "/fd", error)) {
        if (fs::read_symlink(entry.path(), error) == file) return true;
    }
    return false;
}

/// Starts `program` with `arguments` and `environment`, its output to /dev/null.
pid_t start(const fs::path& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& environment) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& variable : environment) envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    const int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? child : -1;
}

/// Makes this process the one that the orphans of its descendants are handed to while it lives,
/// as a service manager is, so that a counter left behind stays in sight and can be reaped.
class AdoptingOrphans {
public:
    AdoptingOrphans() { prctl(PR_SET_CHILD_SUBREAPER, 1); }
    ~AdoptingOrphans() { prctl(PR_SET_CHILD_SUBREAPER, 0); }
    AdoptingOrphans(const AdoptingOrphans&) = delete;
    AdoptingOrphans& operator=(const AdoptingOrphans&) = delete;
};

/// Text, then a hole far larger than memory: the counter reads it for many minutes.
fs::path writeLongFile(const TemporaryFolder& folder) {
    std::string text;
    for (int line = 0; line < 4000; ++line) text += "text\n";
    const fs::path big = folder.writeFile("big.txt", text);
    fs::resize_file(big, std::uintmax_t{1} << 40);
    return big;
}

TEST(ProcessBounds, TheCounterEndsWhenTheToolThatStartedItIsKilled) {
    for (const char* scc : {"/usr/local/bin/scc", "/usr/bin/scc"}) {
        if (access(scc, X_OK) == 0) GTEST_SKIP() << "norvane would count with " << scc;
    }
    const TemporaryFolder home;
    const TemporaryFolder project;
    const fs::path big = writeLongFile(project);
    const AdoptingOrphans adopting;
    const fs::path counterProgram = fs::canonical(norvane::testing::builtProgram("norvane-count"));
    const pid_t tool =
        start(norvane::testing::builtProgram("norvane"), {"add", "big", project.path().string()},
              {"HOME=" + home.path().string(), "XDG_DATA_HOME=" + (home.path() / "data").string(),
               "XDG_CONFIG_HOME=" + (home.path() / "config").string(),
               "XDG_STATE_HOME=" + (home.path() / "state").string(), "GIT_CONFIG_NOSYSTEM=1", "PATH=/usr/bin:/bin"});
    ASSERT_GT(tool, 0);

    // Once the counter reads the file, it has long set itself up; stopped there, it stays at work
    // for as long as nothing ends it from outside.
    pid_t counter = 0;
    const bool reading = waitFor(
        [&] {
            const auto children = childrenRunning(tool, counterProgram);
            counter = children.empty() ? 0 : children.front();
            return counter != 0 && hasOpen(counter, big);
        },
        std::chrono::seconds(60));
    if (reading) kill(counter, SIGSTOP);
    kill(tool, SIGKILL);
    waitpid(tool, nullptr, 0);
    ASSERT_TRUE(reading) << "the counter never read the file";

    // The kernel ends it as its parent dies, well within the second allowed.
    const bool ended = waitFor([&] { return waitpid(counter, nullptr, WNOHANG) == counter; }, std::chrono::seconds(1));
    EXPECT_TRUE(ended) << "the counter ran on after the tool was killed";
    if (!ended) {
        kill(counter, SIGKILL);
        waitpid(counter, nullptr, 0);
    }
}

// The tool is gone before the counter's first instruction: the kernel has handed the counter on
// already, so no death of a parent is left to notice, but nobody can read its report any more.
TEST(ProcessBounds, TheCounterEndsWhenTheToolThatStartedItEndedBeforeItRan) {
    const TemporaryFolder project;
    writeLongFile(project);
    const AdoptingOrphans adopting;
    const std::string program = norvane::testing::builtProgram("norvane-count").string();
    const std::string format = "--format", json = "json", path = project.path().string(), searchPath = "PATH=/bin";
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(format.c_str()),
                          const_cast<char*>(json.c_str()), const_cast<char*>(path.c_str()), nullptr};
    char* const envp[] = {const_cast<char*>(searchPath.c_str()), nullptr};
    int counterId[2];
    ASSERT_EQ(pipe2(counterId, O_CLOEXEC), 0);
    // The tool starts the counter as the process runner does, with a pipe for the report, and
    // ends while the counter is held before it runs.
    const pid_t tool = fork();
    if (tool == 0) {
        int report[2];
        if (pipe2(report, O_CLOEXEC) != 0) _exit(2);
        const pid_t counter = fork();
        if (counter == 0) {
            setpgid(0, 0);
            dup2(report[1], STDOUT_FILENO);
            raise(SIGSTOP);
            execve(argv[0], argv, envp);
            _exit(127);
        }
        _exit(write(counterId[1], &counter, sizeof counter) == sizeof counter ? 0 : 2);
    }
    close(counterId[1]);
    pid_t counter = 0;
    const bool told = read(counterId[0], &counter, sizeof counter) == sizeof counter;
    close(counterId[0]);
    int status = 0;
    waitpid(tool, &status, 0);
    ASSERT_TRUE(told && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the tool could not start the counter";

    // Handed on to this process, the counter waits to go on.
    ASSERT_EQ(waitpid(counter, &status, WUNTRACED), counter);
    ASSERT_TRUE(WIFSTOPPED(status));
    kill(counter, SIGCONT);
    const bool ended = waitFor([&] { return waitpid(counter, &status, WNOHANG) == counter; }, std::chrono::seconds(30));
    EXPECT_TRUE(ended) << "the counter ran on after the tool had ended";
    if (!ended) {
        kill(counter, SIGKILL);
        waitpid(counter, nullptr, 0);
        return;
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "status " << status;
}

TEST(ProcessBounds, TheCounterHoldsItsOwnTimeLimit) {
    EXPECT_EXIT(
        {
            endAfter(std::chrono::seconds(1));
            for (;;) pause();
        },
        ::testing::ExitedWithCode(1), "^norvane-count: stopped after running for 1 second\n$");
}

} // namespace
} // namespace norvane::counter
