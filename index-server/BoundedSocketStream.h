#pragma once

#include "index-server/ConnectionPlaces.h"
#include "index-server/RequestHead.h"

#include <httplib.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <string>

namespace norvane::indexserver {

/// One client connection as the HTTP library reads and writes it, within limits the library does
/// not keep by itself: the whole request must arrive before `deadline` (not merely some byte every
/// few seconds), its header fields may hold at most `maxHeadBytes` in all (the request line has its
/// own bound, `RequestHead::longestRequestLine`) and what follows the head at most
/// `maxBodyPhaseBytes`. A read past a limit fails, and so does any wait once `stopSignal` (a file
/// descriptor) becomes readable. The bytes it receives are told to its `place`, and once that
/// place is given up to a newcomer, nothing more is read or written. The answer's first write
/// gives the place back.
class BoundedSocketStream : public httplib::Stream {
public:
    struct Bounds {
        std::chrono::steady_clock::time_point deadline;
        std::size_t maxHeadBytes = 0;
        std::size_t maxBodyPhaseBytes = 0;
        std::chrono::milliseconds writeTimeout{0};
    };

    BoundedSocketStream(int socket, int stopSignal, Bounds bounds, ConnectionPlaces::Place& place);

    /// Called once the request line and headers are read: later reads count against the body's
    /// allowance.
    void headRead();
    /// Called once the whole request is read, before it is answered; false when the connection gave
    /// its place up before.
    bool requestRead() { return place_.requestRead(); }
    /// Called before an interim answer ("100 Continue") is written: the next write is not yet the
    /// answer, which gives the connection's place back as it starts.
    void interimAnswerFollows() { interimAnswerNext_ = true; }
    /// Whether a byte of the answer was written.
    bool answerStarted() const { return answering_; }
    /// What the request's head told as it was read.
    const RequestHead& head() const { return head_; }

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    /// The numeric address of the peer of `socket`; empty when it cannot be told.
    static std::string remoteAddress(int socket);

    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return socket_; }

private:
    /// Waits until the socket is ready for `events`, at most `timeout`; false on time-out or stop.
    bool await(short events, std::chrono::milliseconds timeout) const;
    std::chrono::milliseconds timeLeft() const;

    const int socket_;
    const int stopSignal_;
    const Bounds bounds_;
    ConnectionPlaces::Place& place_;
    std::size_t allowance_;
    std::array<char, 4096> buffer_{};
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
    bool interimAnswerNext_ = false;
    bool answering_ = false;
    bool readingHead_ = true;
    RequestHead head_;
};

} // namespace norvane::indexserver
