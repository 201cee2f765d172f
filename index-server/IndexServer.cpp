#include "index-server/IndexServer.h"

#include "index-server/BenchmarkPublisher.h"
#include "index-server/ClientAddress.h"
#include "index-server/GuardedHttpServer.h"
#include "index-server/NewDevicesPerAddress.h"
#include "index-server/ReportStore.h"
#include "index-server/ReportValidator.h"
#include "index-server/ReportsPerAddress.h"

#include <nlohmann/json.hpp>

#include <strings.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <string_view>
#include <thread>

namespace norvane::indexserver {

namespace {

constexpr const char* jsonType = "application/json";

/// True for "application/json" in any letter case, with or without parameters such as
/// "; charset=utf-8".
bool isJsonMediaType(std::string_view contentType) {
    contentType = contentType.substr(0, contentType.find(';'));
    const auto first = contentType.find_first_not_of(" \t");
    const auto last = contentType.find_last_not_of(" \t");
    if (first == std::string_view::npos) {
        return false;
    }
    const auto type = contentType.substr(first, last - first + 1);
    return type.size() == std::strlen(jsonType) && strncasecmp(type.data(), jsonType, type.size()) == 0;
}

} // namespace

struct IndexServer::Impl {
    Impl(const std::string& dataFile, Options options, const std::optional<Address>& listening)
        : server(options.limits), host(listening ? listening->host : std::string()),
          port(listening ? server.bind(listening->host, listening->port) : 0), reports(dataFile), clock(options.clock),
          benchmarks(reports, clock), newDevices(options.maxNewDevicesPerAddressPerHour),
          reportsPerAddress(options.maxReportsPerAddressPerDay),
          maxReportsPerDevicePerDay(static_cast<std::int64_t>(options.maxReportsPerDevicePerDay)),
          recordedRequests(options.recordedRequests) {
        reports.whenReopened([this] { benchmarks.reportsChanged(); });
        route(Route::activity, "POST", "/v1/activity",
              [this](auto& request, auto& body, auto& response) { acceptReport(request, body, response); });
        route(Route::benchmarks, "GET", "/v1/benchmarks",
              [this](auto&, auto&, auto& response) { response.set_content(*benchmarks.document(), jsonType); });
        route(Route::contributors, "GET", "/v1/stats/contributors", [this](auto&, auto&, auto& response) {
            response.set_content(nlohmann::json{{"count", reports.contributorCount()}}.dump(), jsonType);
        });
        route(Route::deletion, "DELETE", R"(/v1/devices/(.+))", [this](auto& request, auto&, auto& response) {
            const auto deviceId = request.matches[1].str();
            try {
                ReportValidator::requireDeviceId(deviceId, "The device id");
            } catch (const InvalidReport& error) {
                GuardedHttpServer::answerError(response, 400, error.what());
                return;
            }
            const auto removed = reports.deleteDevice(deviceId);
            if (removed > 0) {
                benchmarks.reportsChanged();
            }
            response.set_content(nlohmann::json{{"deleted", removed}}.dump(), jsonType);
        });
    }

    void route(Route which, const std::string& method, const std::string& pattern, GuardedHttpServer::Handler normal) {
        server.handle(method, pattern,
                      [this, which, normal](const httplib::Request& request, const std::string& body,
                                            httplib::Response& response) {
                          record(request, body);
                          const auto script = takeScript(which);
                          if (script && !pause(script->delay)) {
                              GuardedHttpServer::answerError(response, 503, "Shutting down");
                              return;
                          }
                          if (script && (script->status || script->body)) {
                              response.status = script->status.value_or(200);
                              for (const auto& [name, value] : script->headers) {
                                  response.set_header(name, value);
                              }
                              response.set_content(script->body.value_or(""), jsonType);
                              return;
                          }
                          normal(request, body, response);
                      });
    }

    void acceptReport(const httplib::Request& request, const std::string& body, httplib::Response& response) {
        if (!isJsonMediaType(request.get_header_value("Content-Type"))) {
            GuardedHttpServer::answerError(response, 415, "Expected application/json");
            return;
        }
        const auto now = clock();
        AnonymousActivityReport report;
        try {
            report = ReportValidator::decode(body, now);
        } catch (const InvalidReport& error) {
            GuardedHttpServer::answerError(response, 400, error.what());
            return;
        }
        switch (admit(report, ClientAddress::of(request.remote_addr).key(), now)) {
        case Admission::stored: break;
        case Admission::dayIsFull:
            GuardedHttpServer::answerError(response, 429, "This device sent as many reports of that day as it may");
            return;
        case Admission::tooManyNewDevices:
            GuardedHttpServer::answerError(response, 429, "Too many new devices from this address; try again later");
            return;
        case Admission::addressDayIsFull:
            GuardedHttpServer::answerError(response, 429,
                                           "This address sent as many reports today as it may; try again tomorrow");
            return;
        }
        benchmarks.reportsChanged();
        response.status = 201;
        response.set_content("{}", jsonType);
    }

    enum class Admission { stored, dayIsFull, tooManyNewDevices, addressDayIsFull };

    /// Stores `report` unless its device holds as many reports of its day as it may, its device id
    /// is new and `client` brought too many new ones lately, or `client` stored as many reports
    /// today as it may.
    Admission admit(const AnonymousActivityReport& report, std::uint64_t client, platform::Date now) {
        // One at a time, so that two reports of one new device count it once, and a device's day
        // never takes one report more than it may.
        std::lock_guard lock(admission);
        if (!reportsPerAddress.hasRoom(client, now)) {
            return Admission::addressDayIsFull;
        }
        const bool isNew = !reports.hasDevice(report.deviceId);
        if (isNew && !newDevices.hasRoom(client, now)) {
            return Admission::tooManyNewDevices;
        }
        const auto day = std::chrono::floor<std::chrono::days>(report.activityDate);
        if (!isNew && reports.reportsOfDeviceOnDay(report.deviceId, day) >= maxReportsPerDevicePerDay) {
            return Admission::dayIsFull;
        }
        reports.insert(report);
        reportsPerAddress.count(client, now);
        if (isNew) {
            newDevices.count(client, now);
        }
        return Admission::stored;
    }

    void record(const httplib::Request& request, const std::string& body) {
        if (recordedRequests == 0) {
            return;
        }
        ReceivedRequest entry{request.method, request.target, {}, body};
        for (const auto& [name, value] : request.headers) {
            entry.headers.emplace(name, value);
        }
        std::lock_guard lock(mutex);
        if (received.size() == recordedRequests) {
            received.pop_front();
        }
        received.push_back(std::move(entry));
    }

    std::optional<ScriptedAnswer> takeScript(Route which) {
        std::lock_guard lock(mutex);
        auto& queued = queuedAnswers[which];
        if (!queued.empty()) {
            auto answer = queued.front();
            queued.pop_front();
            return answer;
        }
        const auto persistent = persistentAnswers.find(which);
        return persistent == persistentAnswers.end() ? std::nullopt : std::optional(persistent->second);
    }

    /// Waits `delay` unless the server stops first; false when it stopped.
    bool pause(std::chrono::milliseconds delay) {
        std::unique_lock lock(mutex);
        return !stopped.wait_for(lock, delay, [this] { return stopping; });
    }

    /// First, so that it may listen before the data file is opened.
    GuardedHttpServer server;
    std::string host;
    /// 0 until it listens.
    int port;
    ReportStore reports;
    const platform::Clock clock;
    BenchmarkPublisher benchmarks;
    std::mutex admission;
    NewDevicesPerAddress newDevices;
    ReportsPerAddress reportsPerAddress;
    const std::int64_t maxReportsPerDevicePerDay;
    const std::size_t recordedRequests;
    std::thread thread;

    mutable std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    std::map<Route, std::deque<ScriptedAnswer>> queuedAnswers;
    std::map<Route, ScriptedAnswer> persistentAnswers;
    std::deque<ReceivedRequest> received;
};

IndexServer::IndexServer(const std::string& dataFile) : IndexServer(dataFile, Options{}) {}

IndexServer::IndexServer(const std::string& dataFile, Options options)
    : impl_(std::make_unique<Impl>(dataFile, options, std::nullopt)) {}

IndexServer::IndexServer(const Address& address, const std::string& dataFile)
    : impl_(std::make_unique<Impl>(dataFile, Options{}, address)) {}

IndexServer::~IndexServer() { stop(); }

int IndexServer::start() { return impl_->port != 0 ? serve() : start(Address{}.host, Address{}.port); }

int IndexServer::start(const std::string& host, int port) {
    impl_->port = impl_->server.bind(host, port);
    impl_->host = host;
    return serve();
}

int IndexServer::serve() {
    impl_->thread = std::thread([this] { impl_->server.serve(); });
    return impl_->port;
}

void IndexServer::stop() {
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->stopped.notify_all();
    impl_->server.stop();
    if (impl_->thread.joinable()) {
        impl_->thread.join();
    }
}

std::string IndexServer::baseURL() const {
    return "http://" + GuardedHttpServer::authority(impl_->host, impl_->port) + "/v1";
}

void IndexServer::enqueueAnswer(Route route, ScriptedAnswer answer) {
    std::lock_guard lock(impl_->mutex);
    impl_->queuedAnswers[route].push_back(std::move(answer));
}

void IndexServer::setAnswer(Route route, std::optional<ScriptedAnswer> answer) {
    std::lock_guard lock(impl_->mutex);
    if (answer) {
        impl_->persistentAnswers[route] = std::move(*answer);
    } else {
        impl_->persistentAnswers.erase(route);
    }
}

std::vector<IndexServer::ReceivedRequest> IndexServer::receivedRequests() const {
    std::lock_guard lock(impl_->mutex);
    return {impl_->received.begin(), impl_->received.end()};
}

std::int64_t IndexServer::storedReportCount() const { return impl_->reports.reportCount(); }

std::size_t IndexServer::openConnections() const { return impl_->server.openConnections(); }

std::size_t IndexServer::openConnectionsFrom(const std::string& address) const {
    return impl_->server.openConnectionsFrom(address);
}

void IndexServer::awaitBenchmarks() { impl_->benchmarks.waitUntilCurrent(); }

} // namespace norvane::indexserver
