#include "index-server/BoundedSocketStream.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace norvane::indexserver {

namespace {

using Clock = std::chrono::steady_clock;

/// The numeric host and port of `address`; empty and 0 when it cannot be told.
void describe(const sockaddr_storage& address, socklen_t length, std::string& ip, int& port) {
    std::array<char, NI_MAXHOST> host{};
    std::array<char, NI_MAXSERV> service{};
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host.data(), host.size(), service.data(),
                    service.size(), NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
        ip.clear();
        port = 0;
        return;
    }
    ip = host.data();
    port = std::atoi(service.data());
}

void describePeer(int socket, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getpeername(socket, reinterpret_cast<sockaddr*>(&address), &length);
    describe(address, length, ip, port);
}

} // namespace

BoundedSocketStream::BoundedSocketStream(int socket, int stopSignal, Bounds bounds, ConnectionPlaces::Place& place)
    : socket_(socket), stopSignal_(stopSignal), bounds_(bounds), place_(place),
      allowance_(RequestHead::longestRequestLine + bounds.maxHeadBytes) {}

void BoundedSocketStream::headRead() {
    readingHead_ = false;
    allowance_ = bounds_.maxBodyPhaseBytes;
}

bool BoundedSocketStream::is_readable() const { return bufferStart_ < bufferEnd_ || await(POLLIN, timeLeft()); }

bool BoundedSocketStream::is_writable() const { return !place_.dismissed() && await(POLLOUT, bounds_.writeTimeout); }

ssize_t BoundedSocketStream::read(char* ptr, size_t size) {
    if (bufferStart_ == bufferEnd_) {
        if (!await(POLLIN, timeLeft())) {
            return -1;
        }
        const ssize_t received = ::recv(socket_, buffer_.data(), buffer_.size(), 0);
        if (received <= 0) {
            return received;
        }
        place_.heard();
        bufferStart_ = 0;
        bufferEnd_ = static_cast<std::size_t>(received);
    }
    const std::size_t count = std::min(size, bufferEnd_ - bufferStart_);
    if (count > allowance_) {
        if (readingHead_) {
            head_.cutAt(bounds_.maxHeadBytes);
        }
        return -1;
    }
    allowance_ -= count;
    std::memcpy(ptr, buffer_.data() + bufferStart_, count);
    if (readingHead_) {
        head_.read({ptr, count});
        if (head_.fieldBytes() > bounds_.maxHeadBytes) {
            head_.cutAt(bounds_.maxHeadBytes);
            return -1;
        }
    }
    bufferStart_ += count;
    return static_cast<ssize_t>(count);
}

ssize_t BoundedSocketStream::write(const char* ptr, size_t size) {
    if (!is_writable()) {
        return -1;
    }
    // Before its first byte, which the client may read and then connect again at once.
    if (!interimAnswerNext_ && !answering_) {
        answering_ = true;
        place_.answering();
    }
    interimAnswerNext_ = false;
    return ::send(socket_, ptr, size, MSG_NOSIGNAL | MSG_DONTWAIT);
}

std::string BoundedSocketStream::remoteAddress(int socket) {
    std::string ip;
    int port = 0;
    describePeer(socket, ip, port);
    return ip;
}

void BoundedSocketStream::get_remote_ip_and_port(std::string& ip, int& port) const { describePeer(socket_, ip, port); }

void BoundedSocketStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    describe(address, length, ip, port);
}

bool BoundedSocketStream::await(short events, std::chrono::milliseconds timeout) const {
    if (timeout.count() <= 0) {
        return false;
    }
    std::array<pollfd, 2> watched{{{socket_, events, 0}, {stopSignal_, POLLIN, 0}}};
    const int ready = ::poll(watched.data(), watched.size(), static_cast<int>(timeout.count()));
    // A dismissal ends the wait for the client's bytes: its socket is shut for reading.
    if (place_.dismissed()) {
        return false;
    }
    return ready > 0 && watched[1].revents == 0 && watched[0].revents != 0;
}

std::chrono::milliseconds BoundedSocketStream::timeLeft() const {
    return std::chrono::ceil<std::chrono::milliseconds>(bounds_.deadline - Clock::now());
}

} // namespace norvane::indexserver
