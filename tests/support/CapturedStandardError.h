#pragma once

#include "tests/support/TemporaryFolder.h"

#include <string>

namespace norvane::testing {

/// Sends what the process writes on standard error into a file of its own for the lifetime of the
/// object.
class CapturedStandardError {
public:
    CapturedStandardError();
    ~CapturedStandardError();
    CapturedStandardError(const CapturedStandardError&) = delete;
    CapturedStandardError& operator=(const CapturedStandardError&) = delete;

    /// Everything written so far.
    std::string text() const { return readFile(file_); }

private:
    TemporaryFolder folder_;
    std::filesystem::path file_;
    int saved_;
    int captured_;
};

} // namespace norvane::testing
