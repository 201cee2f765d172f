#include "tests/support/ProcessWatch.h"

#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <thread>

#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace norvane::testing {
namespace {

// The state letter of /proc/PID/stat, after the parenthesised name; none once the process is gone.
char processState(pid_t process) {
    std::ifstream stat("/proc/" + std::to_string(process) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto nameEnd = text.rfind(')');
    return nameEnd == std::string::npos || nameEnd + 2 >= text.size() ? '\0' : text[nameEnd + 2];
}

} // namespace

int inChildProcess(const std::function<void()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        int status = 0;
        try {
            work();
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "in the child process: %s\n", failure.what());
            status = 1;
        } catch (...) {
            status = 1;
        }
        _exit(status);
    }
    int status = -1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool waitUntil(const std::function<bool()>& condition) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string waitForLine(const std::filesystem::path& file) {
    std::string text;
    waitUntil([&] {
        text = readFile(file);
        return text.find('\n') != std::string::npos;
    });
    return text.substr(0, text.find('\n'));
}

bool isSleeping(pid_t task) {
    long call = -1;
    std::ifstream("/proc/" + std::to_string(task) + "/syscall") >> call;
    return call == SYS_clock_nanosleep || call == SYS_nanosleep;
}

bool waitUntilEnded(pid_t process) {
    return waitUntil([process] {
        const char state = processState(process);
        return state == '\0' || state == 'Z' || state == 'X';
    });
}

} // namespace norvane::testing
