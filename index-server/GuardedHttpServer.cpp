#include "index-server/GuardedHttpServer.h"

#include "index-server/BoundedSocketStream.h"
#include "index-server/ChunkedBody.h"
#include "index-server/ClientAddress.h"
#include "index-server/ConnectionPool.h"
#include "platform/ErrorLog.h"

#include <nlohmann/json.hpp>

#include <netdb.h>
#include <strings.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace norvane::indexserver {

namespace {

constexpr std::chrono::seconds writeTimeout{5};
constexpr const char* serviceFull = "503 Service Unavailable";
constexpr const char* tooManyFromAddress = "429 Too Many Requests";

/// The connection that this thread serves, whose handlers read a chunked body from it themselves and
/// tell it when its whole request is read.
thread_local BoundedSocketStream* servedStream = nullptr;

std::string errorBody(const std::string& message) {
    // Replaces any ill-formed UTF-8, so that an error can always be written.
    return nlohmann::json{{"error", message}}.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

/// A message for a request that HTTP asks to be refused for its Host header: an HTTP/1.1 request
/// without one, or any request with two or more.
std::optional<std::pair<int, std::string>> hostFault(const httplib::Request& request) {
    const auto hosts = request.get_header_value_count("Host");
    if (hosts > 1) {
        return std::pair{400, std::string("More than one Host header")};
    }
    if (hosts == 0 && request.version == "HTTP/1.1") {
        return std::pair{400, std::string("An HTTP/1.1 request needs a Host header")};
    }
    return std::nullopt;
}

/// A message for a request whose body length cannot be told for certain (and that could thus be
/// read differently by different servers); none when its framing is sound.
std::optional<std::pair<int, std::string>> framingFault(const httplib::Request& request) {
    const auto lengths = request.get_header_value_count("Content-Length");
    const auto encodings = request.get_header_value_count("Transfer-Encoding");
    if (lengths > 1 || encodings > 1 || (lengths == 1 && encodings == 1)) {
        return std::pair{400, std::string("Conflicting Content-Length and Transfer-Encoding headers")};
    }
    if (encodings == 1 && strcasecmp(request.get_header_value("Transfer-Encoding").c_str(), "chunked") != 0) {
        return std::pair{501, std::string("Only the chunked transfer encoding is supported")};
    }
    return std::nullopt;
}

/// A message for a Content-Length that announces no body the server will read: not a number, below
/// zero or beyond `readable` bytes. It is answered at once, where the library would wait, until
/// the request's deadline, for bytes it then drops.
std::optional<std::pair<int, std::string>> lengthFault(const httplib::Request& request, std::size_t readable,
                                                       const std::string& tooLarge) {
    if (!request.has_header("Content-Length")) {
        return std::nullopt;
    }
    const auto length = request.get_header_value("Content-Length");
    const bool negative = length.starts_with('-');
    const auto digits = std::string_view(length).substr(negative ? 1 : 0);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::pair{400, std::string("The Content-Length is not a number")};
    }
    std::size_t announced = 0;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), announced);
    if (negative || parsed.ec != std::errc() || announced > readable) {
        return std::pair{413, tooLarge};
    }
    return std::nullopt;
}

std::string describe(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "an unknown failure";
    }
}

bool hasBody(const httplib::Request& request) {
    return request.has_header("Content-Length") || request.has_header("Transfer-Encoding");
}

/// Answers `socket` directly, for a connection that the HTTP library never reads.
void answerDirectly(int socket, const std::string& status, const std::string& message) {
    const std::string body = errorBody(message);
    const std::string answer = "HTTP/1.1 " + status +
                               "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
                               "\r\nConnection: close\r\n\r\n" + body;
    static_cast<void>(::send(socket, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT));
}

} // namespace

GuardedHttpServer::GuardedHttpServer(ConnectionLimits limits)
    : limits_(limits), places_(limits.maxConnections, limits.maxConnectionsPerAddress),
      stopSignal_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (stopSignal_ < 0) {
        throw std::runtime_error("Cannot create the server's stop signal");
    }
    new_task_queue = [this] {
        pool_ = new ConnectionPool(openConnections_);
        return pool_;
    };
    set_payload_max_length(limits.maxBodyBytes);
    // Without the library's SO_REUSEPORT, a second server on a port in use fails instead of
    // silently sharing it.
    set_socket_options([](socket_t socket) {
        int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    set_exception_handler([](const httplib::Request& request, httplib::Response& response, std::exception_ptr failure) {
        // The cause (a full disk, say) stays in the service's log; the client learns only that it failed.
        platform::logError(request.method + " " + request.path + ": " + describe(failure));
        answerError(response, 500, "Internal error");
    });
    // A body announced too large is refused before its sender starts sending it.
    set_expect_100_continue_handler([this](const httplib::Request& request, httplib::Response& response) {
        if (request.get_header_value<std::uint64_t>("Content-Length") <= limits_.maxBodyBytes) {
            servedStream->interimAnswerFollows();
            return 100;
        }
        answerError(response, 413, tooLargeMessage());
        return 413;
    });
    // What the library answers itself (no route, a head it cannot read) says why, as every error does.
    set_error_handler(HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
        if (!response.body.empty()) {
            return HandlerResponse::Unhandled;
        }
        const auto fault = servedStream != nullptr ? servedStream->head().fault() : std::nullopt;
        if (fault) {
            answerError(response, fault->first, fault->second);
        } else {
            answerError(response, response.status,
                        response.status == 404 ? "Nothing is served at this path" : "The request could not be read");
        }
        return HandlerResponse::Handled;
    }));
    set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        auto fault = hostFault(request);
        if (!fault && refuseMethod(request, response)) {
            return HandlerResponse::Handled;
        }
        if (!fault) {
            fault = framingFault(request);
        }
        if (!fault) {
            fault = lengthFault(request, maxBodyPhaseBytes(), tooLargeMessage());
        }
        if (fault) {
            answerError(response, fault->first, fault->second);
        }
        return fault ? HandlerResponse::Handled : HandlerResponse::Unhandled;
    });
}

GuardedHttpServer::~GuardedHttpServer() {
    stop();
    ::close(stopSignal_);
}

void GuardedHttpServer::handle(const std::string& method, const std::string& path, Handler handler) {
    // A path may come in the absolute form, after the scheme and the host, as servers must take it.
    const std::string pattern = "(?:[hH][tT][tT][pP][sS]?://[^/]*)?" + path;
    routes_.emplace_back(method, std::regex(pattern));
    if (method == "GET") {
        // The library reads no body of a GET.
        Get(pattern, [handler](const httplib::Request& request, httplib::Response& response) {
            if (servedStream->requestRead()) {
                handler(request, {}, response);
            }
        });
        return;
    }
    auto withBody = [this, handler](const httplib::Request& request, httplib::Response& response,
                                    const httplib::ContentReader& reader) {
        std::string body;
        if (readBody(request, reader, body, response) && servedStream->requestRead()) {
            handler(request, body, response);
        }
    };
    if (method == "POST") {
        Post(pattern, withBody);
    } else if (method == "DELETE") {
        Delete(pattern, withBody);
    } else {
        throw std::invalid_argument("Unsupported method " + method);
    }
}

// Digits and dots, or colons, are an address and never a name to look up: 999.1.1.1 is no address.
void GuardedHttpServer::requireAddress(const std::string& host) {
    addrinfo hints{};
    hints.ai_flags = AI_PASSIVE;
    hints.ai_socktype = SOCK_STREAM;
    if (host.find_first_not_of("0123456789.") == std::string::npos || host.find(':') != std::string::npos) {
        hints.ai_flags |= AI_NUMERICHOST;
    }
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) {
        throw std::runtime_error("Cannot listen on " + host + ": not a valid address");
    }
    freeaddrinfo(found);
}

int GuardedHttpServer::bind(const std::string& host, int port) {
    requireAddress(host);
    errno = 0;
    const int bound = port == 0 ? bind_to_any_port(host) : (bind_to_port(host, port) ? port : -1);
    if (bound < 0) {
        const int error = errno;
        throw std::runtime_error("Cannot listen on " + authority(host, port) +
                                 (error != 0 ? ": " + std::string(std::strerror(error)) : std::string()));
    }
    // The library's backlog of 5 would make a burst of clients retry their connections.
    ::listen(svr_sock_, static_cast<int>(limits_.maxConnections));
    return bound;
}

std::string GuardedHttpServer::authority(const std::string& host, int port) {
    return (host.find(':') == std::string::npos ? host : "[" + host + "]") + ":" + std::to_string(port);
}

void GuardedHttpServer::serve() { listen_after_bind(); }

void GuardedHttpServer::stop() {
    const std::uint64_t signal = 1;
    static_cast<void>(::write(stopSignal_, &signal, sizeof signal));
    // Closed here rather than by the library's stop, which does nothing before the serving thread
    // has begun, so that a server stopped right after its start would then serve forever.
    const socket_t listening = svr_sock_.exchange(INVALID_SOCKET);
    if (listening != INVALID_SOCKET) {
        ::shutdown(listening, SHUT_RDWR);
        ::close(listening);
    }
}

std::size_t GuardedHttpServer::openConnectionsFrom(const std::string& address) const {
    return places_.heldBy(ClientAddress::of(address).key());
}

void GuardedHttpServer::answerError(httplib::Response& response, int status, const std::string& message) {
    response.status = status;
    response.set_content(errorBody(message), "application/json");
}

bool GuardedHttpServer::process_and_close_socket(socket_t socket) {
    auto admission = places_.admit(socket, ClientAddress::of(BoundedSocketStream::remoteAddress(socket)).key());
    switch (admission.outcome) {
    case ConnectionPlaces::Outcome::addressHoldsItsShare:
        answerDirectly(socket, tooManyFromAddress, "Too many connections from this address");
        ::close(socket);
        return true;
    case ConnectionPlaces::Outcome::everyPlaceTaken:
        answerDirectly(socket, serviceFull, "Too many connections");
        ::close(socket);
        return true;
    case ConnectionPlaces::Outcome::placed:
    case ConnectionPlaces::Outcome::placedInsteadOfAnother: break;
    }
    // Shared only because a queued function must be copyable; the place is given back before the
    // socket closes, so that no newcomer's dismissal can reach another connection's socket.
    auto connection = [this, socket,
                       place = std::shared_ptr<ConnectionPlaces::Place>(std::move(admission.place))]() mutable {
        serveConnection(socket, *place);
        place.reset();
        ::close(socket);
    };
    if (admission.outcome == ConnectionPlaces::Outcome::placed) {
        pool_->serve(std::move(connection));
    } else {
        pool_->serveInPlaceOfDismissed(std::move(connection));
    }
    return true;
}

void GuardedHttpServer::serveConnection(socket_t socket, ConnectionPlaces::Place& place) {
    BoundedSocketStream stream(socket, stopSignal_,
                               {.deadline = std::chrono::steady_clock::now() + limits_.requestTimeout,
                                .maxHeadBytes = limits_.maxHeadBytes,
                                .maxBodyPhaseBytes = maxBodyPhaseBytes(),
                                .writeTimeout = writeTimeout},
                               place);
    bool closed = false;
    servedStream = &stream;
    process_request(stream, true, closed, [&stream](httplib::Request&) { stream.headRead(); });
    servedStream = nullptr;
    if (place.dismissed()) {
        // Nothing was written since: the stream refuses to once its connection is dismissed.
        answerDirectly(socket, serviceFull, "Too many connections");
    } else if (const auto fault = stream.head().fault(); fault && !stream.answerStarted()) {
        // A request line beyond the head's bound, which the library gives up on without a word.
        answerDirectly(socket, fault->first == 414 ? "414 URI Too Long" : "431 Request Header Fields Too Large",
                       fault->second);
    }
}

std::size_t GuardedHttpServer::maxBodyPhaseBytes() const {
    // Twice the body limit leaves room for chunk framing and for reading (and dropping) a body
    // somewhat over the limit, so that its sender still gets the 413.
    return 2 * limits_.maxBodyBytes;
}

std::string GuardedHttpServer::tooLargeMessage() const {
    return "The request body exceeds " + std::to_string(limits_.maxBodyBytes) + " bytes";
}

std::vector<std::string> GuardedHttpServer::methodsFor(const std::string& path) const {
    std::vector<std::string> methods;
    for (const auto& [method, pattern] : routes_) {
        if (std::regex_match(path, pattern)) {
            methods.push_back(method);
            if (method == "GET") {
                methods.emplace_back("HEAD");
            }
        }
    }
    return methods;
}

bool GuardedHttpServer::refuseMethod(const httplib::Request& request, httplib::Response& response) const {
    const auto methods = methodsFor(request.path);
    if (methods.empty() || std::find(methods.begin(), methods.end(), request.method) != methods.end()) {
        return false;
    }
    std::string allowed;
    for (const auto& method : methods) {
        allowed += (allowed.empty() ? "" : ", ") + method;
    }
    answerError(response, 405, request.method + " is not served here; use " + allowed);
    response.set_header("Allow", allowed);
    return true;
}

bool GuardedHttpServer::readBody(const httplib::Request& request, const httplib::ContentReader& reader,
                                 std::string& body, httplib::Response& response) const {
    // Without either header there is no body; the library would read until the client closes.
    if (!hasBody(request)) {
        return true;
    }
    if (request.has_header("Transfer-Encoding")) {
        switch (ChunkedBody(limits_.maxBodyBytes, maxBodyPhaseBytes()).read(*servedStream, body)) {
        case ChunkedBody::Outcome::complete: return true;
        case ChunkedBody::Outcome::tooLarge: answerError(response, 413, tooLargeMessage()); return false;
        case ChunkedBody::Outcome::malformed:
            answerError(response, 400, "The request body could not be read");
            return false;
        }
    }
    bool tooLarge = false;
    const bool complete = reader([&](const char* data, std::size_t length) {
        tooLarge = tooLarge || body.size() + length > limits_.maxBodyBytes;
        if (!tooLarge) {
            body.append(data, length);
        }
        return true;
    });
    if (tooLarge || response.status == 413) {
        answerError(response, 413, tooLargeMessage());
        return false;
    }
    if (!complete) {
        answerError(response, 400, "The request body could not be read");
        return false;
    }
    return true;
}

} // namespace norvane::indexserver
