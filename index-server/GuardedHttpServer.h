#pragma once

#include "index-server/ConnectionLimits.h"
#include "index-server/ConnectionPlaces.h"
#include "index-server/ConnectionPool.h"

#include <httplib.h>

#include <atomic>
#include <functional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

namespace norvane::indexserver {

/// An HTTP server for anyone on the network: it serves one request per connection and holds the
/// `ConnectionLimits`, which the HTTP library alone does not, so that neither slow nor large
/// requests can starve other clients or fill memory. When every place is taken, a newcomer may take
/// the place of a connection still reading its request, which is answered 503 (`ConnectionPlaces`).
/// Handlers get the body already read. Errors are answered as {"error": message}; what a handler
/// throws is answered 500 and its cause written to standard error. A path that is routed for other
/// methods only is answered 405, naming them in "Allow".
class GuardedHttpServer : private httplib::Server {
public:
    using Handler = std::function<void(const httplib::Request&, const std::string& body, httplib::Response&)>;

    explicit GuardedHttpServer(ConnectionLimits limits);
    ~GuardedHttpServer() override;
    GuardedHttpServer(const GuardedHttpServer&) = delete;
    GuardedHttpServer& operator=(const GuardedHttpServer&) = delete;

    /// Routes "GET", "POST" or "DELETE" requests whose path matches the pattern `path` to `handler`,
    /// in the origin form ("/v1/benchmarks") or the absolute form ("http://host/v1/benchmarks").
    void handle(const std::string& method, const std::string& path, Handler handler);

    /// Binds `host`:`port` (0 picks a free port) and returns the port; throws
    /// `std::runtime_error` when `host` is no address, or the address cannot be bound.
    int bind(const std::string& host, int port);
    /// "HOST:PORT", with an IPv6 address in brackets, as an address is written in a URL.
    static std::string authority(const std::string& host, int port);
    /// Serves until `stop()`.
    void serve();
    /// Ends every connection under way and stops serving.
    void stop();

    /// The connections taken from the listening socket and not yet done with: in all, and those
    /// from `address` that are being served.
    std::size_t openConnections() const { return openConnections_; }
    std::size_t openConnectionsFrom(const std::string& address) const;

    static void answerError(httplib::Response& response, int status, const std::string& message);

private:
    /// Throws `std::runtime_error` when `host` is neither an address of this machine's kinds nor a
    /// name that resolves to one.
    static void requireAddress(const std::string& host);
    /// On the accepting thread: queues the connection on `socket` in a place, or answers why not.
    bool process_and_close_socket(socket_t socket) override;
    void serveConnection(socket_t socket, ConnectionPlaces::Place& place);
    /// The most a connection reads after the request's head.
    std::size_t maxBodyPhaseBytes() const;
    std::string tooLargeMessage() const;
    /// The methods routed for `path`, GET with HEAD, which the library answers alike.
    std::vector<std::string> methodsFor(const std::string& path) const;
    /// Answers 405 a request whose path is routed for other methods only; false for any other.
    bool refuseMethod(const httplib::Request& request, httplib::Response& response) const;
    bool readBody(const httplib::Request& request, const httplib::ContentReader& reader, std::string& body,
                  httplib::Response& response) const;

    const ConnectionLimits limits_;
    /// Each route's method and path pattern, in the order they were added.
    std::vector<std::pair<std::string, std::regex>> routes_;
    ConnectionPlaces places_;
    /// The library's queue of connections while it serves, which it owns.
    ConnectionPool* pool_ = nullptr;
    std::atomic<std::size_t> openConnections_ = 0;
    /// Readable once the server stops, which ends every wait of a connection.
    const int stopSignal_;
};

} // namespace norvane::indexserver
