#include "platform/SerialExecutor.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace norvane::platform {
namespace {

/// Sends what the process writes on standard error into a file for the lifetime of the object.
class CapturedStandardError {
public:
    CapturedStandardError()
        : file_(folder_.path() / "stderr"), saved_(::dup(STDERR_FILENO)),
          captured_(::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)) {
        ::dup2(captured_, STDERR_FILENO);
    }
    ~CapturedStandardError() {
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        ::close(captured_);
    }
    CapturedStandardError(const CapturedStandardError&) = delete;
    CapturedStandardError& operator=(const CapturedStandardError&) = delete;

    std::string text() const { return testing::readFile(file_); }

private:
    testing::TemporaryFolder folder_;
    std::filesystem::path file_;
    int saved_;
    int captured_;
};

std::string describe(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& exception) {
        return exception.what();
    } catch (...) {
        return "something else";
    }
}

TEST(SerialExecutor, ATaskThatThrowsIsReportedToTheOwnerAndTheTasksAfterItStillRun) {
    std::vector<std::string> reported;
    std::vector<int> ran;
    SerialExecutor executor([&reported](std::exception_ptr error) { reported.push_back(describe(error)); });
    executor.post([] { throw std::runtime_error("the disk is full"); });
    executor.post([&ran] { ran.push_back(1); });
    executor.post([] { throw 42; });
    EXPECT_EQ(executor.submit([&ran] { return ran.size(); }).get(), 1u);
    executor.shutdown();
    EXPECT_EQ(reported, (std::vector<std::string>{"the disk is full", "something else"}));
}

TEST(SerialExecutor, WithoutAnOwnersHandlerWhatATaskThrewIsWrittenOnStandardError) {
    const CapturedStandardError standardError;
    SerialExecutor executor;
    executor.post([] { throw std::runtime_error("the disk is full"); });
    EXPECT_EQ(executor.submit([] { return 7; }).get(), 7);
    executor.shutdown();
    EXPECT_EQ(standardError.text(),
              std::string(program_invocation_short_name) + ": A background task failed: the disk is full\n");
}

} // namespace
} // namespace norvane::platform
