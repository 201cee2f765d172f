#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ProcessRunner.h"

namespace norvane::testing {

/// A process runner that starts nothing: it keeps every request and answers with what the test's
/// handler gives (a clean exit when there is none).
class RecordingProcessRunner final : public platform::ProcessRunner {
public:
    using Handler = std::function<platform::ProcessResult(const platform::ProcessRequest&)>;

    explicit RecordingProcessRunner(Handler handler = {}) : handler_(std::move(handler)) {}

    platform::ProcessResult run(const platform::ProcessRequest& request) override {
        requests.push_back(request);
        return handler_ ? handler_(request) : platform::ProcessResult{};
    }

    /// Each request as one line: the program followed by its arguments, separated by blanks.
    std::vector<std::string> commandLines() const {
        std::vector<std::string> lines;
        for (const auto& request : requests) {
            std::string line = request.executable;
            for (const auto& argument : request.arguments) line += " " + argument;
            lines.push_back(line);
        }
        return lines;
    }

    std::vector<platform::ProcessRequest> requests;

private:
    Handler handler_;
};

inline platform::ProcessResult exitedWith(int status, std::string standardError = {}) {
    platform::ProcessResult result;
    result.exitStatus = status;
    result.standardError = std::move(standardError);
    return result;
}

/// A handler that runs every program for real, so that a test sees which ones a real run starts.
inline RecordingProcessRunner::Handler runningForReal() {
    return [](const platform::ProcessRequest& request) { return platform::defaultProcessRunner().run(request); };
}

/// A handler whose programs never start, for the given reason.
inline RecordingProcessRunner::Handler failingToStart(std::string startError) {
    return [startError = std::move(startError)](const platform::ProcessRequest&) {
        platform::ProcessResult result;
        result.startError = startError;
        return result;
    };
}

} // namespace norvane::testing
