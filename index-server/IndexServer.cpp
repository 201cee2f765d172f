#include "index-server/IndexServer.h"

#include "core/community/JsonCoding.h"
#include "core/models/ProjectSizeBucket.h"
#include "index-server/BenchmarkBuilder.h"
#include "index-server/ReportStore.h"

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace norvane::indexserver {

namespace {

constexpr const char* jsonType = "application/json";

void answerError(httplib::Response& response, int status, const std::string& message) {
    response.status = status;
    response.set_content(nlohmann::json{{"error", message}}.dump(), jsonType);
}

/// The report in `body`; throws `JsonDecodingError` for anything that is not a whole report.
AnonymousActivityReport decodeReport(const std::string& body) {
    auto report = AnonymousActivityReport::fromJSON(JsonCoding::parse(body));
    if (!platform::fromRawValue<ProjectSizeBucket>(report.sizeBucket)) {
        throw JsonDecodingError("Unknown size bucket \"" + report.sizeBucket + "\"");
    }
    return report;
}

} // namespace

struct IndexServer::Impl {
    explicit Impl(const std::string& dataFile, Options options) : store(dataFile) {
        server.set_payload_max_length(options.maxBodyBytes);
        // Without the library's SO_REUSEPORT, a second server on a port in use fails instead of
        // silently sharing it.
        server.set_socket_options([](socket_t socket) {
            int yes = 1;
            setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
        server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
            answerError(response, 500, "Internal error");
        });
        route(Route::activity, &httplib::Server::Post, "/v1/activity",
              [this](auto& request, auto& response) { acceptReport(request, response); });
        route(Route::benchmarks, &httplib::Server::Get, "/v1/benchmarks", [this](auto&, auto& response) {
            const auto benchmarks = BenchmarkBuilder::build(store.all(), platform::currentDate());
            response.set_content(JsonCoding::dump(benchmarks.toJSON()), jsonType);
        });
        route(Route::contributors, &httplib::Server::Get, "/v1/stats/contributors", [this](auto&, auto& response) {
            response.set_content(nlohmann::json{{"count", store.contributorCount()}}.dump(), jsonType);
        });
        route(Route::deletion, &httplib::Server::Delete, R"(/v1/devices/(.+))", [this](auto& request, auto& response) {
            const auto removed = store.deleteDevice(request.matches[1].str());
            response.set_content(nlohmann::json{{"deleted", removed}}.dump(), jsonType);
        });
    }

    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    using Registration = httplib::Server& (httplib::Server::*)(const std::string&, httplib::Server::Handler);

    void route(Route which, Registration registration, const std::string& pattern, Handler normal) {
        (server.*registration)(pattern,
                               [this, which, normal](const httplib::Request& request, httplib::Response& response) {
                                   record(request);
                                   const auto script = takeScript(which);
                                   if (script && !pause(script->delay)) {
                                       answerError(response, 503, "Shutting down");
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
                                   normal(request, response);
                               });
    }

    void acceptReport(const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value("Content-Type").rfind(jsonType, 0) != 0) {
            answerError(response, 415, "Expected application/json");
            return;
        }
        try {
            store.insert(decodeReport(request.body));
        } catch (const JsonDecodingError& error) {
            answerError(response, 400, error.what());
            return;
        }
        response.status = 201;
        response.set_content("{}", jsonType);
    }

    void record(const httplib::Request& request) {
        ReceivedRequest entry{request.method, request.target, {}, request.body};
        for (const auto& [name, value] : request.headers) {
            entry.headers.emplace(name, value);
        }
        std::lock_guard lock(mutex);
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

    ReportStore store;
    httplib::Server server;
    std::thread thread;
    std::string host;
    int port = 0;

    mutable std::mutex mutex;
    std::condition_variable stopped;
    bool stopping = false;
    std::map<Route, std::deque<ScriptedAnswer>> queuedAnswers;
    std::map<Route, ScriptedAnswer> persistentAnswers;
    std::vector<ReceivedRequest> received;
};

IndexServer::IndexServer(const std::string& dataFile) : IndexServer(dataFile, Options{}) {}

IndexServer::IndexServer(const std::string& dataFile, Options options)
    : impl_(std::make_unique<Impl>(dataFile, options)) {}

IndexServer::~IndexServer() { stop(); }

int IndexServer::start(const std::string& host, int port) {
    const bool bound =
        port == 0 ? (port = impl_->server.bind_to_any_port(host)) > 0 : impl_->server.bind_to_port(host, port);
    if (!bound) {
        throw std::runtime_error("Cannot listen on " + host + ":" + std::to_string(port));
    }
    impl_->host = host;
    impl_->port = port;
    impl_->thread = std::thread([this] { impl_->server.listen_after_bind(); });
    return port;
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

std::string IndexServer::baseURL() const { return "http://" + impl_->host + ":" + std::to_string(impl_->port) + "/v1"; }

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
    return impl_->received;
}

std::int64_t IndexServer::storedReportCount() const { return impl_->store.reportCount(); }

} // namespace norvane::indexserver
