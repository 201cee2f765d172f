#include "platform/SerialExecutor.h"

#include "tests/support/CapturedStandardError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <vector>

namespace norvane::platform {
namespace {

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
    const testing::CapturedStandardError standardError;
    SerialExecutor executor;
    executor.post([] { throw std::runtime_error("the disk is full"); });
    EXPECT_EQ(executor.submit([] { return 7; }).get(), 7);
    executor.shutdown();
    EXPECT_EQ(standardError.text(),
              std::string(program_invocation_short_name) + ": A background task failed: the disk is full\n");
}

} // namespace
} // namespace norvane::platform
