#pragma once

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace norvane::testing {

/// A plain TCP connection to 127.0.0.1, for requests that no well-behaved HTTP client sends: half
/// a head, a hand-made chunked body, bytes one at a time. It comes from `from`, another address of
/// the loopback network (127.0.0.2 and up) when the test needs clients of their own addresses.
class RawConnection {
public:
    explicit RawConnection(int port, std::string_view bytes = {}, const char* from = "127.0.0.1")
        : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in source{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {}};
        inet_pton(AF_INET, from, &source.sin_addr);
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&source), sizeof source) != 0) {
            ::close(socket_);
            throw std::runtime_error(std::string("Cannot connect from ") + from);
        }
        sockaddr_in address{.sin_family = AF_INET, .sin_port = htons(static_cast<std::uint16_t>(port)), .sin_addr = {}};
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(socket_);
            throw std::runtime_error("Cannot connect to port " + std::to_string(port));
        }
        send(bytes);
    }
    ~RawConnection() { ::close(socket_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    /// False once the server takes no more bytes.
    bool send(std::string_view bytes) {
        return ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }

    /// The status of the answer read until the server closes the connection: 0 when it closes
    /// without one, -1 when nothing more arrives for `timeout`.
    int status(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto text = answer(timeout);
        if (!text) {
            return -1;
        }
        return text->rfind("HTTP/1.1 ", 0) == 0 ? std::stoi(text->substr(9, 3)) : 0;
    }

    /// One head that the server sends without closing, such as an interim "100 Continue", read to
    /// its empty line; none when it does not come whole within `timeout`.
    std::optional<std::string> head(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::string text;
        char byte = 0;
        pollfd readable{socket_, POLLIN, 0};
        while (!text.ends_with("\r\n\r\n")) {
            if (::poll(&readable, 1, static_cast<int>(timeout.count())) <= 0 || ::recv(socket_, &byte, 1, 0) != 1) {
                return std::nullopt;
            }
            text += byte;
        }
        return text;
    }

    /// The status of the answer read as a client that keeps its connection reads it: the head and as
    /// many bytes as its Content-Length says, without waiting for the server to close; 0 when it
    /// does not come whole within `timeout`.
    int statusAsAClientReadsIt(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto text = head(timeout);
        if (!text || text->rfind("HTTP/1.1 ", 0) != 0) {
            return 0;
        }
        const auto length = text->find("Content-Length: ");
        std::size_t left = length == std::string::npos ? 0 : std::stoul(text->substr(length + 16));
        char buffer[4096];
        pollfd readable{socket_, POLLIN, 0};
        while (left > 0) {
            if (::poll(&readable, 1, static_cast<int>(timeout.count())) <= 0) {
                return 0;
            }
            const ssize_t received = ::recv(socket_, buffer, std::min(left, sizeof buffer), 0);
            if (received <= 0) {
                return 0;
            }
            left -= static_cast<std::size_t>(received);
        }
        return std::stoi(text->substr(9, 3));
    }

    /// The whole answer, head and body, once the server closes the connection; none when nothing
    /// more arrives for `timeout`.
    std::optional<std::string> answer(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::string text;
        char buffer[4096];
        pollfd readable{socket_, POLLIN, 0};
        while (::poll(&readable, 1, static_cast<int>(timeout.count())) > 0) {
            const ssize_t received = ::recv(socket_, buffer, sizeof buffer, 0);
            if (received <= 0) {
                return text;
            }
            text.append(buffer, static_cast<std::size_t>(received));
        }
        return std::nullopt;
    }

private:
    int socket_;
};

/// A whole POST of `body` as JSON to `path`.
inline std::string postRequest(const std::string& path, const std::string& body) {
    return "POST " + path + " HTTP/1.1\r\nHost: index\r\nContent-Type: application/json\r\n" +
           "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

/// The status of one POST of `body` as JSON to `path` of the service on `port`, from `from`.
inline int postFrom(int port, const char* from, const std::string& path, const std::string& body) {
    return RawConnection(port, postRequest(path, body), from).status();
}

} // namespace norvane::testing
