// The benchmark service under load: the real norvane-index-server, started on a free port of
// 127.0.0.1.
// - PostReportsOf60KiB: reports padded to 60 KiB, one after the other, of 100 seeded devices in turn
//   (one device stores only so many reports a day), each from the next of 250 loopback addresses
//   (one address stores only so many a day too). Besides the rate of posts it reports how much
//   the program's resident size grew per thousand posts after a warm-up: near zero while it keeps
//   nothing per request.
// - GetBenchmarks: a data file of 200,000 reports from 20,000 devices (or a tenth of both), then
//   64 clients, each from a loopback address of its own, that each GET /v1/benchmarks 2 (or 40)
//   times at once. It reports the latencies' 50th and 99th
//   percentiles and the largest, and the program's resident size before, at its peak and after.
// - GetContributorsWhilePosting: the same 200,000 reports, then 8 clients that post reports of
//   known devices, each device in turn, first alone and then while 64 clients each GET
//   /v1/stats/contributors 40 times, every client from loopback addresses of its own. It reports
//   the GETs' latencies and the posts' 99th percentile alone and under the GETs.
// - PostReportsToAFullDataFile: the data file's size once 200,000 reports are stored, and the rate
//   of small reports of those devices posted by 1 or 8 clients at once, 500 each, one after the
//   other, each post from the next of 200 loopback addresses.
// Goals: the GETs' 99th percentile under 50 ms at 200,000 reports, with the service's memory flat
// in the number of reports, the posts' 99th percentile under the GETs no worse than alone, and
// posts to a full data file as fast as before the service bounded a device's reports a day.
// Run a Release build: build/release/bin/norvane_index_server_bench
#include "core/community/AnonymousActivityReport.h"
#include "index-server/ReportStore.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <regex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace norvane {
namespace {

/// A fresh temporary folder, removed with what it holds when the object goes away.
class BenchFolder {
public:
    BenchFolder() { std::filesystem::create_directories(path); }
    ~BenchFolder() { std::filesystem::remove_all(path); }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;

    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("norvane-index-bench-" + std::to_string(getpid()));
};

/// The program beside this benchmark, serving the data file in `folder` until the object goes away.
class ServerProcess {
public:
    explicit ServerProcess(const BenchFolder& folder) {
        const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "norvane-index-server";
        const auto data = dataFile(folder).string();
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
        if (!std::regex_search(line, address, std::regex(R"(http://\S+:(\d+)/v1)"))) {
            throw std::runtime_error("The server did not start: " + line);
        }
        port = std::stoi(address[1].str());
    }

    ~ServerProcess() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

    static std::filesystem::path dataFile(const BenchFolder& folder) { return folder.path / "reports.db"; }

    long residentKiB() const { return statusKiB("VmRSS:"); }
    long peakResidentKiB() const { return statusKiB("VmHWM:"); }

    int port = 0;

private:
    long statusKiB(const std::string& field) const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind(field, 0) == 0) {
                return std::stol(line.substr(field.size()));
            }
        }
        return 0;
    }

    pid_t pid_ = -1;
};

/// `reports` reports from one device in ten, over the five size buckets and the last 60 days,
/// written straight into the data file.
void seedReports(const BenchFolder& folder, int reports) {
    static const std::array<const char*, 5> buckets{"Greenfield", "Small", "Medium", "Large", "Enterprise"};
    indexserver::ReportStore store(ServerProcess::dataFile(folder).string());
    const auto now = platform::currentDate();
    for (int index = 0; index < reports; ++index) {
        const int device = index / 10;
        store.insert({.deviceId = "device-" + std::to_string(device),
                      .reportedAt = now,
                      .activityDate = now - std::chrono::hours(24 * (index % 60)),
                      .codeLinesChanged = 40 + (index * 7919) % 900,
                      .docsLinesChanged = index % 50,
                      .testLinesChanged = index % 120,
                      .configLinesChanged = index % 10,
                      .sizeBucket = buckets[static_cast<std::size_t>(device) % buckets.size()],
                      .projectType = "organic",
                      .velocityRetention = 50.0 + index % 100});
    }
}

/// The status of one request from the loopback address `from`, as a client of its own address:
/// the service serves each address only so many connections at once. A `body` is sent as JSON.
int requestFrom(const std::string& from, int port, const std::string& method, const std::string& path,
                const std::string& body = {}) {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in source{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {}};
    inet_pton(AF_INET, from.c_str(), &source.sin_addr);
    sockaddr_in server{.sin_family = AF_INET, .sin_port = htons(static_cast<std::uint16_t>(port)), .sin_addr = {}};
    server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const std::string request =
        method + " " + path + " HTTP/1.1\r\nHost: index\r\nConnection: close\r\n" +
        (body.empty() ? std::string()
                      : "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) + "\r\n") +
        "\r\n" + body;
    std::string answer;
    if (::bind(socket, reinterpret_cast<sockaddr*>(&source), sizeof source) == 0 &&
        ::connect(socket, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0 &&
        ::send(socket, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
        char buffer[65536];
        for (ssize_t received = 0; (received = ::recv(socket, buffer, sizeof buffer, 0)) > 0;) {
            answer.append(buffer, static_cast<std::size_t>(received));
        }
    }
    ::close(socket);
    return answer.rfind("HTTP/1.1 ", 0) == 0 ? std::stoi(answer.substr(9, 3)) : 0;
}

/// Arguments: the number of devices, seeded, whose reports are posted in turn: one device stores
/// only so many reports a day.
void PostReportsOf60KiB(benchmark::State& state) {
    const BenchFolder folder;
    const auto devices = static_cast<int>(state.range(0));
    seedReports(folder, devices * 10);
    const ServerProcess server(folder);
    std::vector<std::string> bodies;
    for (int device = 0; device < devices; ++device) {
        const AnonymousActivityReport report{.deviceId = "device-" + std::to_string(device),
                                             .reportedAt = platform::currentDate(),
                                             .activityDate = platform::currentDate(),
                                             .sizeBucket = "Small",
                                             .projectType = "organic"};
        bodies.push_back(std::string(60 * 1024, ' ') + report.toJSONString());
    }
    std::size_t next = 0;
    const auto post = [&] {
        const auto from = "127.0.3." + std::to_string(1 + next % 250);
        return requestFrom(from, server.port, "POST", "/v1/activity", bodies[next++ % bodies.size()]) == 201;
    };
    for (int warmUp = 0; warmUp < 1000; ++warmUp) {
        post();
    }
    const long before = server.residentKiB();
    for (auto _ : state) {
        if (!post()) {
            state.SkipWithError("A report was refused");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["rss_kib"] = static_cast<double>(server.residentKiB());
    state.counters["rss_growth_kib_per_1000_posts"] =
        static_cast<double>(server.residentKiB() - before) * 1000.0 / static_cast<double>(state.iterations());
}
BENCHMARK(PostReportsOf60KiB)->Arg(100)->Unit(benchmark::kMicrosecond)->Iterations(4000);

double percentile(std::vector<double> sorted, double fraction) {
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(fraction * static_cast<double>(sorted.size())))];
}

/// Milliseconds that requests took, gathered from several client threads.
class Latencies {
public:
    /// Times `request`, which tells whether it was served; a refused request counts as taking
    /// forever.
    template <typename Request>
    void time(const Request& request) {
        const auto start = std::chrono::steady_clock::now();
        const bool served = request();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::lock_guard lock(mutex_);
        milliseconds_.push_back(served ? took.count() : 1e9);
    }

    double at(double fraction) const {
        std::lock_guard lock(mutex_);
        return milliseconds_.empty() ? 0 : percentile(milliseconds_, fraction);
    }

private:
    mutable std::mutex mutex_;
    std::vector<double> milliseconds_;
};

/// Arguments: the number of stored reports, of clients at once (each from an address of its own),
/// and of GETs per client.
void GetBenchmarks(benchmark::State& state) {
    const BenchFolder folder;
    seedReports(folder, static_cast<int>(state.range(0)));
    const ServerProcess server(folder);
    if (requestFrom("127.0.0.1", server.port, "GET", "/v1/benchmarks") != 200) {
        state.SkipWithError("The benchmarks were not served");
        return;
    }
    const long before = server.residentKiB();
    Latencies latencies;
    for (auto _ : state) {
        std::vector<std::thread> clients;
        for (int64_t client = 0; client < state.range(1); ++client) {
            clients.emplace_back([&, from = "127.0.0." + std::to_string(2 + client)] {
                for (int64_t request = 0; request < state.range(2); ++request) {
                    latencies.time([&] { return requestFrom(from, server.port, "GET", "/v1/benchmarks") == 200; });
                }
            });
        }
        for (auto& client : clients) {
            client.join();
        }
    }
    state.counters["p50_ms"] = latencies.at(0.50);
    state.counters["p99_ms"] = latencies.at(0.99);
    state.counters["max_ms"] = latencies.at(1.0);
    state.counters["rss_before_kib"] = static_cast<double>(before);
    state.counters["rss_peak_kib"] = static_cast<double>(server.peakResidentKiB());
    state.counters["rss_after_kib"] = static_cast<double>(server.residentKiB());
}
BENCHMARK(GetBenchmarks)
    ->Args({20'000, 64, 40})
    ->Args({200'000, 64, 2})
    ->Args({200'000, 64, 40})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

/// Clients, each from addresses 127.1.CLIENT.1 to .250 in turn, that post reports of seeded devices until `done`, each
/// at least `atLeast` times. Each client posts for the devices of its own in turn, out of the first `devices` seeded
/// ones, so that no device's day fills up.
void postUntil(int port, int clients, int devices, int atLeast, const std::atomic<bool>& done, Latencies& latencies) {
    std::vector<std::thread> posters;
    for (int client = 0; client < clients; ++client) {
        posters.emplace_back([&, client] {
            for (int posted = 0; posted < atLeast || !done; ++posted) {
                // An address stores only so many reports a day.
                const auto from = "127.1." + std::to_string(client) + "." + std::to_string(1 + posted % 250);
                const int device = (client + posted * clients) % devices;
                const AnonymousActivityReport report{.deviceId = "device-" + std::to_string(device),
                                                     .reportedAt = platform::currentDate(),
                                                     .activityDate = platform::currentDate(),
                                                     .codeLinesChanged = 120,
                                                     .sizeBucket = "Medium",
                                                     .projectType = "organic"};
                const auto body = report.toJSONString();
                latencies.time([&] { return requestFrom(from, port, "POST", "/v1/activity", body) == 201; });
            }
        });
    }
    for (auto& poster : posters) {
        poster.join();
    }
}

/// Arguments: the number of stored reports, of GET clients at once, of GETs per client, and of
/// posting clients.
void GetContributorsWhilePosting(benchmark::State& state) {
    const BenchFolder folder;
    seedReports(folder, static_cast<int>(state.range(0)));
    const ServerProcess server(folder);
    const int posters = static_cast<int>(state.range(3));
    const int devices = static_cast<int>(state.range(0)) / 10;
    Latencies alone;
    postUntil(server.port, posters, devices, 100, std::atomic<bool>(true), alone);
    Latencies gets;
    Latencies posts;
    for (auto _ : state) {
        std::atomic<bool> done = false;
        std::thread posting([&] { postUntil(server.port, posters, devices, 1, done, posts); });
        std::vector<std::thread> clients;
        for (int64_t client = 0; client < state.range(1); ++client) {
            clients.emplace_back([&, from = "127.0.0." + std::to_string(2 + client)] {
                for (int64_t request = 0; request < state.range(2); ++request) {
                    gets.time([&] { return requestFrom(from, server.port, "GET", "/v1/stats/contributors") == 200; });
                }
            });
        }
        for (auto& client : clients) {
            client.join();
        }
        done = true;
        posting.join();
    }
    state.counters["get_p50_ms"] = gets.at(0.50);
    state.counters["get_p99_ms"] = gets.at(0.99);
    state.counters["get_max_ms"] = gets.at(1.0);
    state.counters["post_alone_p99_ms"] = alone.at(0.99);
    state.counters["post_p99_ms"] = posts.at(0.99);
}
BENCHMARK(GetContributorsWhilePosting)
    ->Args({200'000, 64, 40, 8})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

/// Arguments: the number of stored reports and of clients posting at once, each from loopback
/// addresses of its own in turn, 500 reports each.
void PostReportsToAFullDataFile(benchmark::State& state) {
    const BenchFolder folder;
    const auto reports = static_cast<int>(state.range(0));
    const auto clients = static_cast<int>(state.range(1));
    constexpr int postsEach = 500;
    seedReports(folder, reports);
    // The seeding's store is closed: its log is in the file.
    const auto seededBytes = std::filesystem::file_size(ServerProcess::dataFile(folder));
    const ServerProcess server(folder);
    std::atomic<int> refused = 0;
    int round = 0;
    for (auto _ : state) {
        std::vector<std::thread> posters;
        for (int client = 0; client < clients; ++client) {
            posters.emplace_back([&, client] {
                for (int posted = 0; posted < postsEach; ++posted) {
                    const int post = (round * clients + client) * postsEach + posted;
                    const AnonymousActivityReport report{.deviceId = "device-" + std::to_string(post % (reports / 10)),
                                                         .reportedAt = platform::currentDate(),
                                                         .activityDate = platform::currentDate(),
                                                         .codeLinesChanged = 120,
                                                         .sizeBucket = "Medium",
                                                         .projectType = "organic"};
                    const auto from = "127.0.2." + std::to_string(1 + post % 200);
                    refused += requestFrom(from, server.port, "POST", "/v1/activity", report.toJSONString()) != 201;
                }
            });
        }
        for (auto& poster : posters) {
            poster.join();
        }
        ++round;
    }
    if (refused > 0) {
        state.SkipWithError("A report was refused");
    }
    state.SetItemsProcessed(state.iterations() * clients * postsEach);
    state.counters["seeded_file_mib"] = static_cast<double>(seededBytes) / (1024.0 * 1024.0);
}
BENCHMARK(PostReportsToAFullDataFile)
    ->Args({200'000, 1})
    ->Args({200'000, 8})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->UseRealTime();

/// The loopback address numbered `index` from 127.16.0.0 on: sixteen million apart.
std::string loopbackAddress(std::int64_t index) {
    const auto at = 0x7F100000 + index;
    return std::to_string(at >> 24 & 0xFF) + "." + std::to_string(at >> 16 & 0xFF) + "." +
           std::to_string(at >> 8 & 0xFF) + "." + std::to_string(at & 0xFF);
}

/// Arguments: the number of distinct addresses, each posting one report of today, and whether
/// each report brings a device new to the service (1) or one of 10,000 seeded devices (0).
void MemoryOfDistinctAddresses(benchmark::State& state) {
    const BenchFolder folder;
    seedReports(folder, 100'000);
    const ServerProcess server(folder);
    if (requestFrom("127.0.0.1", server.port, "GET", "/v1/benchmarks") != 200) {
        state.SkipWithError("The benchmarks were not served");
        return;
    }
    const long idle = server.residentKiB();
    const auto addresses = state.range(0);
    const bool newDevices = state.range(1) != 0;
    constexpr int clients = 8;
    std::atomic<std::int64_t> next = 0;
    std::atomic<int> refused = 0;
    for (auto _ : state) {
        std::vector<std::thread> posters;
        for (int client = 0; client < clients; ++client) {
            posters.emplace_back([&] {
                for (auto index = next++; index < addresses; index = next++) {
                    const AnonymousActivityReport report{.deviceId = newDevices
                                                                         ? "new-" + std::to_string(index)
                                                                         : "device-" + std::to_string(index % 10'000),
                                                         .reportedAt = platform::currentDate(),
                                                         .activityDate = platform::currentDate(),
                                                         .codeLinesChanged = 120,
                                                         .sizeBucket = "Medium",
                                                         .projectType = "organic"};
                    refused += requestFrom(loopbackAddress(index), server.port, "POST", "/v1/activity",
                                           report.toJSONString()) != 201;
                }
            });
        }
        for (auto& poster : posters) {
            poster.join();
        }
    }
    if (refused > 0) {
        state.SkipWithError("A report was refused");
    }
    state.SetItemsProcessed(addresses);
    state.counters["rss_idle_mib"] = static_cast<double>(idle) / 1024.0;
    state.counters["rss_after_mib"] = static_cast<double>(server.residentKiB()) / 1024.0;
    state.counters["rss_above_idle_mib"] = static_cast<double>(server.residentKiB() - idle) / 1024.0;
    state.counters["rss_peak_mib"] = static_cast<double>(server.peakResidentKiB()) / 1024.0;
}
BENCHMARK(MemoryOfDistinctAddresses)
    ->Args({100'000, 0})
    ->Args({1'000'000, 0})
    ->Args({100'000, 1})
    ->Args({1'000'000, 1})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace
} // namespace norvane

BENCHMARK_MAIN();
