#pragma once

#include "core/community/NorvaneIndexService.h"
#include "index-server/IndexServer.h"
#include "tests/support/ErrorMessage.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace norvane::testing {

/// A local benchmark service on a free port of 127.0.0.1, a store folder, a hand-moved clock and a
/// client over them with short time-outs.
class IndexServiceFixture : public ::testing::Test {
protected:
    using Route = indexserver::IndexServer::Route;
    using Answer = indexserver::IndexServer::ScriptedAnswer;

    TemporaryFolder folder;
    indexserver::IndexServer server{":memory:", {.recordedRequests = 1000}};
    ManualClock clock{platform::currentDate()};
    std::unique_ptr<NorvaneIndexService> client;

    void SetUp() override {
        server.start();
        client = makeClient();
    }

    void TearDown() override { client.reset(); }

    std::unique_ptr<NorvaneIndexService> makeClient(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        NorvaneIndexService::Options options{.clock = clock.clock(), .timeouts = {timeout, timeout, timeout, timeout}};
        return std::make_unique<NorvaneIndexService>(server.baseURL(), folder.path(), options);
    }

    /// Replaces the client by a new one over the same folder, as a new run of the application.
    void restartClient() {
        client.reset();
        client = makeClient();
    }

    AnonymousActivityReport report(const std::string& device, std::chrono::seconds age = std::chrono::hours(1),
                                   std::int64_t codeLines = 10) const {
        return {.deviceId = device,
                .reportedAt = clock.now(),
                .activityDate = clock.now() - age,
                .codeLinesChanged = codeLines,
                .sizeBucket = "Small",
                .projectType = "organic"};
    }

    std::vector<indexserver::IndexServer::ReceivedRequest> requests(const std::string& method,
                                                                    const std::string& target) const {
        std::vector<indexserver::IndexServer::ReceivedRequest> matching;
        for (auto& request : server.receivedRequests()) {
            if (request.method == method && request.target == target) matching.push_back(request);
        }
        return matching;
    }

    static std::string header(const indexserver::IndexServer::ReceivedRequest& request, const std::string& name) {
        const auto found = request.headers.find(name);
        return found == request.headers.end() ? std::string() : found->second;
    }

    std::size_t posts() const { return requests("POST", "/v1/activity").size(); }

    std::filesystem::path queueFile() const { return folder.path() / "pending-reports.json"; }
    std::filesystem::path cacheFile() const { return folder.path() / "benchmarks-cache.json"; }

    /// The device ids in the queue file, in file order.
    std::vector<std::string> queuedDevices() const {
        std::vector<std::string> devices;
        for (const auto& element : nlohmann::json::parse(readFile(queueFile()))) {
            devices.push_back(element["device_id"]);
        }
        return devices;
    }

    /// The message of the error that `future` ends with; "no error" when it succeeds.
    template <typename T>
    static std::string failureOf(std::future<T> future) {
        return errorMessageOf<std::exception>([&] { future.get(); });
    }
};

} // namespace norvane::testing
