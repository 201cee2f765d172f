#pragma once

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::platform {

struct HttpRequest {
    std::string method = "GET";
    std::string url;
    /// "Name: value" lines.
    std::vector<std::string> headers;
    std::string body;
    std::chrono::milliseconds timeout{60000};
};

struct HttpResponse {
    /// The HTTP status; 0 when the answer was not HTTP.
    long status = 0;
    std::string body;
};

/// A request that got no answer: no connection, a time-out, a cancellation. The text is libcurl's.
class HttpTransportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// Blocking HTTP(S) requests over libcurl. Redirects are answers, never followed; only http and
/// https are spoken.
class HttpClient {
public:
    HttpClient();

    /// Throws `HttpTransportError` when no answer arrives.
    HttpResponse perform(const HttpRequest& request) const;

    /// Aborts the requests under way and fails every later one at once.
    void cancelAll() { cancelled_ = true; }

    /// Percent-encodes everything but letters, digits and "-._~", so the text stays one path step.
    static std::string escapePathSegment(std::string_view segment);

private:
    std::atomic<bool> cancelled_{false};
};

} // namespace norvane::platform
