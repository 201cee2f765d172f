#pragma once

#include "index-server/ConnectionLimits.h"
#include "index-server/ConnectionsPerAddress.h"

#include <httplib.h>

#include <atomic>
#include <functional>
#include <string>

namespace norvane::indexserver {

/// An HTTP server for anyone on the network: it serves one request per connection and holds the
/// `ConnectionLimits`, which the HTTP library alone does not, so that neither slow nor large
/// requests can starve other clients or fill memory. Handlers get the body already read. Errors
/// are answered as {"error": message}; what a handler throws is answered 500 and its cause written
/// to standard error.
class GuardedHttpServer : private httplib::Server {
public:
    using Handler = std::function<void(const httplib::Request&, const std::string& body, httplib::Response&)>;

    explicit GuardedHttpServer(ConnectionLimits limits);
    ~GuardedHttpServer() override;
    GuardedHttpServer(const GuardedHttpServer&) = delete;
    GuardedHttpServer& operator=(const GuardedHttpServer&) = delete;

    /// Routes "GET", "POST" or "DELETE" requests whose path matches `pattern` to `handler`.
    void handle(const std::string& method, const std::string& pattern, Handler handler);

    /// Binds `host`:`port` (0 picks a free port) and returns the port; throws
    /// `std::runtime_error` when the address cannot be bound.
    int bind(const std::string& host, int port);
    /// Serves until `stop()`.
    void serve();
    /// Ends every connection under way and stops serving.
    void stop();

    /// The connections taken from the listening socket and not yet done with: in all, and those
    /// from `address` that are being served.
    std::size_t openConnections() const { return openConnections_; }
    std::size_t openConnectionsFrom(const std::string& address) const { return connectionsPerAddress_.count(address); }

    static void answerError(httplib::Response& response, int status, const std::string& message);

private:
    bool process_and_close_socket(socket_t socket) override;
    void serveConnection(socket_t socket);
    /// The most a connection reads after the request's head.
    std::size_t maxBodyPhaseBytes() const;
    std::string tooLargeMessage() const;
    bool readBody(const httplib::Request& request, const httplib::ContentReader& reader, std::string& body,
                  httplib::Response& response) const;

    const ConnectionLimits limits_;
    ConnectionsPerAddress connectionsPerAddress_;
    std::atomic<std::size_t> openConnections_ = 0;
    /// Readable once the server stops, which ends every wait of a connection.
    const int stopSignal_;
};

} // namespace norvane::indexserver
