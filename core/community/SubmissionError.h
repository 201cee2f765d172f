#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace norvane {

/// Why the benchmark service refused a report or a device request.
class SubmissionError : public std::runtime_error {
public:
    enum class Kind { clientError, serverError, unexpectedStatus, invalidResponse, rateLimited, deletionFailed };

    static SubmissionError clientError(long status);
    static SubmissionError serverError(long status);
    static SubmissionError unexpectedStatus(long status);
    static SubmissionError invalidResponse();
    static SubmissionError rateLimited();
    static SubmissionError deletionFailed();

    /// The error of a report's POST answered with `status` (never 2xx).
    static SubmissionError forReportStatus(long status);

    Kind kind() const { return kind_; }
    /// The HTTP status of `clientError`, `serverError` and `unexpectedStatus`.
    std::optional<long> status() const { return status_; }

private:
    SubmissionError(Kind kind, std::optional<long> status, const std::string& message)
        : std::runtime_error(message), kind_(kind), status_(status) {}

    Kind kind_;
    std::optional<long> status_;
};

} // namespace norvane
