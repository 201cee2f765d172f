#include "Norvane/pages/screenshots/DemoRepository.h"

#include <chrono>
#include <fstream>
#include <stdexcept>

#include <fmt/format.h>

#include "platform/ProcessRunner.h"

namespace norvane::app {
namespace {

std::string gitDate(platform::Date date) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
    return fmt::format("@{} +0000", seconds);
}

} // namespace

DemoRepository::DemoRepository(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
    git({"init", "-q", "-b", "main"});
}

void DemoRepository::writeFile(const std::string& relativePath, const std::string& contents) const {
    const auto path = folder_ / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << contents;
    if (!file) throw std::runtime_error("could not write " + path.string());
}

void DemoRepository::commit(const std::string& message, platform::Date date) const {
    git({"add", "-A"});
    const auto when = gitDate(date);
    git({"-c", "user.name=Demo Developer", "-c", "user.email=demo@example.com", "commit", "-q", "-F", "-"},
        {{"GIT_AUTHOR_DATE", when}, {"GIT_COMMITTER_DATE", when}}, message);
}

void DemoRepository::git(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment,
                         const std::string& standardInput) const {
    platform::ProcessRequest request{.executable = "/usr/bin/git", .arguments = {"-C", folder_.string()}};
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    request.environmentOverrides = environment;
    if (!standardInput.empty()) request.standardInput = standardInput;
    const auto result = platform::defaultProcessRunner().run(request);
    if (!result.succeeded()) {
        const auto reason = result.startError.value_or(result.standardError);
        throw std::runtime_error("git " + arguments.front() + " failed: " + reason);
    }
}

} // namespace norvane::app
