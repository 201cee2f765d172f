#pragma once

#include "index-server/ConnectionLimits.h"
#include "platform/Date.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace norvane::indexserver {

/// Our own benchmark service: it speaks the protocol the benchmark client uses under "/v1", keeps
/// the reports it receives in SQLite and computes the community benchmarks from them.
///
///     POST   /v1/activity            stores one report (201); a body that is not a sound report 400,
///                                    too large 413, not "application/json" 415; a device id new to
///                                    the service from an address that brought too many within the
///                                    hour, a report of a device that has as many as it may store
///                                    for the report's activity day, or one from an address that
///                                    stored as many as it may that day, 429
///     GET    /v1/benchmarks          the community benchmarks computed from the stored reports, with
///                                    only the distributions of enough contributors
///     GET    /v1/stats/contributors  {"count": number of distinct devices}
///     DELETE /v1/devices/{id}        removes every report of the device (200)
///
/// It keeps nothing per request beyond the reports it stores, and the benchmarks, which it computes
/// again after each change rather than per request. Tests can script the answers of a route (a
/// status, a body such as malformed JSON, a delay) and have the latest requests recorded.
class IndexServer {
public:
    enum class Route { activity, benchmarks, contributors, deletion };

    /// A scripted answer: after `delay`, answer with `status`, `body` and `headers` instead of
    /// handling the request. Only a delay (no status, no body) delays the normal handling.
    struct ScriptedAnswer {
        std::optional<int> status;
        std::optional<std::string> body;
        std::chrono::milliseconds delay{0};
        std::multimap<std::string, std::string> headers;
    };

    struct ReceivedRequest {
        std::string method;
        std::string target; ///< the path as sent, still percent-encoded
        std::multimap<std::string, std::string> headers;
        std::string body;
    };

    struct Options {
        ConnectionLimits limits{};
        /// Device ids that the service has not seen before, per client address and hour.
        std::size_t maxNewDevicesPerAddressPerHour = 10;
        /// Reports that one device may store per activity day (the UTC date of its activity date):
        /// a client sends one per project and collection, so this is a hundred projects collected
        /// five times a day.
        std::size_t maxReportsPerDevicePerDay = 500;
        /// Reports that one client address may store per day of the service's clock (its UTC date),
        /// whatever devices they come from: fifty devices that each collect a hundred projects a day,
        /// such as an office behind one address.
        std::size_t maxReportsPerAddressPerDay = 5000;
        /// Stamps the benchmarks and counts the hour of new device ids and the day of an address's
        /// reports.
        platform::Clock clock = platform::systemClock();
        /// How many of the latest requests `receivedRequests()` keeps; the program keeps none.
        std::size_t recordedRequests = 0;
    };

    /// Where the server listens; port 0 picks a free one.
    struct Address {
        std::string host = "127.0.0.1";
        int port = 0;
    };

    /// Keeps the reports in the SQLite file `dataFile` (":memory:" keeps them in memory).
    explicit IndexServer(const std::string& dataFile);
    IndexServer(const std::string& dataFile, Options options);
    /// Listens on `address` first, and only then opens or makes the data file, so that an address
    /// it cannot listen on leaves no file behind; `start()` serves there. Throws
    /// `std::runtime_error` when the host is no address or the address cannot be bound.
    IndexServer(const Address& address, const std::string& dataFile);
    ~IndexServer();
    IndexServer(const IndexServer&) = delete;
    IndexServer& operator=(const IndexServer&) = delete;

    /// Serves on a thread of its own, where the constructor listens or else on a free port of
    /// 127.0.0.1; returns the port.
    int start();
    /// Binds `host`:`port` (0 picks a free port) and serves on a thread of its own; returns the
    /// port. Throws `std::runtime_error` when `host` is no address or the address cannot be bound.
    int start(const std::string& host, int port = 0);
    void stop();

    /// "http://HOST:PORT/v1" once started, an IPv6 address in brackets.
    std::string baseURL() const;

    /// Answers the next request of `route` as scripted; several queue up in order.
    void enqueueAnswer(Route route, ScriptedAnswer answer);
    /// Answers every request of `route` as scripted once the queued answers are used; none goes
    /// back to normal handling.
    void setAnswer(Route route, std::optional<ScriptedAnswer> answer);

    /// The latest requests, oldest first, as many as `Options::recordedRequests`.
    std::vector<ReceivedRequest> receivedRequests() const;
    std::int64_t storedReportCount() const;
    /// The connections the server holds now, queued or being served; and of those, the ones being
    /// served to the client of `address` (its IPv6 /64).
    std::size_t openConnections() const;
    std::size_t openConnectionsFrom(const std::string& address) const;
    /// Waits until GET /v1/benchmarks answers with every report stored or deleted before the call.
    void awaitBenchmarks();

private:
    /// Serves where it listens.
    int serve();

    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace norvane::indexserver
