// The built programs' folder lives apart from the other helpers: only the binaries that run a
// built program link this file, and so only they refuse to start without the folder.

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace norvane::testing {
namespace {

constexpr const char* folderVariable = "NORVANE_TEST_BIN";

/// Stops the binary before its first test when the built programs cannot be found: every test
/// would otherwise fail on its own, and some would go on to read results that never came.
class BuiltProgramsRequired : public ::testing::Environment {
public:
    void SetUp() override {
        const char* folder = std::getenv(folderVariable);
        if (folder != nullptr && std::filesystem::is_directory(folder)) return;
        const auto shown = folder != nullptr ? std::string("'").append(folder).append("'") : std::string("unset");
        FAIL() << folderVariable << " must name the folder of the built programs (ctest sets it; by hand, for example "
               << folderVariable << "=build/ci/bin); it is " << shown;
    }
};

[[maybe_unused]] ::testing::Environment* const builtProgramsRequired =
    ::testing::AddGlobalTestEnvironment(new BuiltProgramsRequired);

} // namespace

std::filesystem::path builtPrograms() {
    const char* folder = std::getenv(folderVariable);
    return folder != nullptr ? std::filesystem::path(folder) : std::filesystem::path();
}

std::filesystem::path builtProgram(const std::string& name) { return builtPrograms() / name; }

} // namespace norvane::testing
