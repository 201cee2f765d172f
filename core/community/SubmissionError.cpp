#include "core/community/SubmissionError.h"

namespace norvane {

SubmissionError SubmissionError::clientError(long status) {
    return {Kind::clientError, status, "Client error: " + std::to_string(status)};
}

SubmissionError SubmissionError::serverError(long status) {
    return {Kind::serverError, status, "Server error: " + std::to_string(status)};
}

SubmissionError SubmissionError::unexpectedStatus(long status) {
    return {Kind::unexpectedStatus, status, "Unexpected status: " + std::to_string(status)};
}

SubmissionError SubmissionError::invalidResponse() {
    return {Kind::invalidResponse, std::nullopt, "Invalid response from server"};
}

SubmissionError SubmissionError::rateLimited() {
    return {Kind::rateLimited, std::nullopt, "Rate limited - will retry later"};
}

SubmissionError SubmissionError::deletionFailed() {
    return {Kind::deletionFailed, std::nullopt, "Failed to delete data"};
}

SubmissionError SubmissionError::forReportStatus(long status) {
    if (status == 429) return rateLimited();
    if (status >= 400 && status <= 499) return clientError(status);
    if (status >= 500 && status <= 599) return serverError(status);
    return unexpectedStatus(status);
}

} // namespace norvane
