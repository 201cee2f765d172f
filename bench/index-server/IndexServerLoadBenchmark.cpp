// The benchmark service under load: the real norvane-index-server, started on a free port of
// 127.0.0.1, takes reports padded to 60 KiB one after the other. Besides the rate of posts it
// reports how much the program's resident size grew per thousand posts after a warm-up: near zero
// while it keeps nothing per request. Run a Release build:
// build/release/bin/norvane_index_server_bench
#include "core/community/AnonymousActivityReport.h"
#include "platform/HttpClient.h"

#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <stdexcept>

namespace norvane {
namespace {

/// The program beside this benchmark, serving a data file in a fresh temporary folder until the
/// object goes away.
class ServerProcess {
public:
    ServerProcess() {
        std::filesystem::create_directories(folder_);
        const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "norvane-index-server";
        const auto data = (folder_ / "reports.db").string();
        int output[2];
        if (pipe(output) != 0) {
            throw std::runtime_error("Cannot make a pipe");
        }
        pid_ = fork();
        if (pid_ == 0) {
            dup2(output[1], STDOUT_FILENO);
            execl(program.c_str(), program.c_str(), "--port", "0", "--data", data.c_str(), nullptr);
            _exit(127);
        }
        close(output[1]);
        std::string line;
        for (char character = 0; read(output[0], &character, 1) == 1 && character != '\n';) {
            line += character;
        }
        close(output[0]);
        std::smatch address;
        if (!std::regex_search(line, address, std::regex(R"(http://\S+/v1)"))) {
            throw std::runtime_error("The server did not start: " + line);
        }
        baseURL = address.str();
    }

    ~ServerProcess() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        std::filesystem::remove_all(folder_);
    }

    long residentKiB() const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmRSS:", 0) == 0) {
                return std::stol(line.substr(6));
            }
        }
        return 0;
    }

    std::string baseURL;

private:
    std::filesystem::path folder_ =
        std::filesystem::temp_directory_path() / ("norvane-index-bench-" + std::to_string(getpid()));
    pid_t pid_ = -1;
};

void PostReportsOf60KiB(benchmark::State& state) {
    const ServerProcess server;
    const AnonymousActivityReport report{.deviceId = "bench",
                                         .reportedAt = platform::currentDate(),
                                         .activityDate = platform::currentDate(),
                                         .sizeBucket = "Small",
                                         .projectType = "organic"};
    const platform::HttpRequest post{.method = "POST",
                                     .url = server.baseURL + "/activity",
                                     .headers = {"Content-Type: application/json"},
                                     .body = std::string(60 * 1024, ' ') + report.toJSONString(),
                                     .timeout = std::chrono::seconds(10)};
    const platform::HttpClient http;
    for (int warmUp = 0; warmUp < 1000; ++warmUp) {
        http.perform(post);
    }
    const long before = server.residentKiB();
    for (auto _ : state) {
        if (http.perform(post).status != 201) {
            state.SkipWithError("A report was refused");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["rss_kib"] = static_cast<double>(server.residentKiB());
    state.counters["rss_growth_kib_per_1000_posts"] =
        static_cast<double>(server.residentKiB() - before) * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(PostReportsOf60KiB)->Unit(benchmark::kMicrosecond)->Iterations(4000);

} // namespace
} // namespace norvane

BENCHMARK_MAIN();
