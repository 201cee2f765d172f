#include "core/collection/SccService.h"

#include "core/models/BuildConfiguration.h"
#include "core/models/NorvaneError.h"
#include "platform/ExecutableFile.h"
#include "platform/TextTrimming.h"
#include "platform/UnicodeText.h"
#include "platform/XdgPaths.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace norvane {
namespace {

constexpr const char* builtInCounterName = "norvane-count";

/// A path that begins with "-" would be read as an option.
std::string asArgument(const std::string& path) { return path.starts_with("-") ? "./" + path : path; }

} // namespace

SccLookup SccLookup::standard() {
    // `go install` puts it in ~/go/bin, which a program started from the desktop menu rarely has
    // in its PATH; Debian's package in /usr/bin.
    SccLookup lookup{
        {platform::XdgPaths::homeFolder() / "go/bin/scc", "/usr/local/bin/scc", "/usr/bin/scc"}, "/usr/bin/which", {}};
    // Never the build folder, which a copied program would otherwise trust.
    lookup.builtInPaths.push_back(platform::XdgPaths::executableFolder() / builtInCounterName);
    lookup.builtInPaths.push_back(std::filesystem::path(BuildConfiguration::installBinFolder) / builtInCounterName);
    return lookup;
}

SccService::SccService(SccLookup lookup, platform::ProcessRunner& runner, std::chrono::milliseconds timeLimit)
    : lookup_(std::move(lookup)), runner_(runner), timeLimit_(timeLimit) {}

std::optional<std::filesystem::path> SccService::findSccPath() const {
    const auto counter = findCounter();
    return counter ? std::optional(counter->path) : std::nullopt;
}

std::optional<SccService::Counter> SccService::findCounter() const {
    for (const auto& candidate : lookup_.installPaths) {
        if (platform::isExecutableFile(candidate)) {
            return Counter{candidate};
        }
    }
    if (auto found = whichScc()) {
        return Counter{*found};
    }
    if (auto builtIn = builtInCounter()) {
        return Counter{*builtIn, true};
    }
    return std::nullopt;
}

SccService SccService::withCounterFound() const {
    auto found = *this;
    if (const auto counter = findCounter()) {
        found.lookup_ = counter->builtIn ? SccLookup{{}, {}, {counter->path}} : SccLookup{{counter->path}, {}, {}};
    }
    return found;
}

std::optional<std::filesystem::path> SccService::whichScc() const {
    if (lookup_.whichProgram.empty()) {
        return std::nullopt;
    }
    const auto result = runner_.run({.executable = lookup_.whichProgram.string(), .arguments = {"scc"}});
    if (!result.succeeded() || !platform::UnicodeText::isValidUtf8(result.standardOutput)) {
        return std::nullopt;
    }
    const auto path = platform::trimmed(result.standardOutput);
    if (path.empty()) {
        return std::nullopt;
    }
    return std::filesystem::path(path);
}

std::optional<std::filesystem::path> SccService::builtInCounter() const {
    for (const auto& candidate : lookup_.builtInPaths) {
        if (platform::isExecutableFile(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

NorvaneError SccService::failure(const Counter& counter, const std::string& detail) {
    return counter.builtIn ? NorvaneError::builtInCounterFailed(detail) : NorvaneError::sccFailed(detail);
}

SccOutput SccService::collectMetrics(const std::string& path) const {
    const auto counter = findCounter();
    if (!counter) {
        throw NorvaneError::sccNotFound();
    }
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        throw NorvaneError::pathNotFound(path);
    }
    // The counter passes over what it cannot read; a folder it cannot read at all would come out
    // as an empty project.
    if (::access(path.c_str(), std::filesystem::is_directory(path, error) ? R_OK | X_OK : R_OK) != 0) {
        throw failure(*counter, "Cannot read " + path + ": " + std::strerror(errno));
    }
    const std::string name = counter->builtIn ? builtInCounterName : "scc";
    const auto result = runner_.run({.executable = counter->path.string(),
                                     .arguments = {"--format", "json", asArgument(path)},
                                     .timeLimit = timeLimit_});
    if (!result.started()) {
        throw failure(*counter, "Failed to execute " + name + ": " + *result.startError);
    }
    if (result.timedOut) {
        throw failure(*counter,
                      name + " ran for more than " + platform::timeLimitText(timeLimit_) + " and was stopped");
    }
    if (result.exitStatus != 0) {
        const auto detail =
            platform::UnicodeText::isValidUtf8(result.standardError) ? result.standardError : "Unknown error";
        throw failure(*counter, name + " exited with status " + std::to_string(result.exitStatus) + ": " + detail);
    }
    SccOutput output;
    try {
        if (!result.standardOutput.empty()) {
            output = SccOutput::parse(result.standardOutput);
        }
    } catch (const SccParseError& parseError) {
        throw failure(*counter, "Failed to parse " + name + " output: " + parseError.what());
    }
    // A counter that succeeds yet speaks has left something out, such as files it could not read.
    const auto said = platform::UnicodeText::decodeLossy(result.standardError);
    if (const auto warning = platform::trimmed(said); !warning.empty()) {
        output.warning = std::string(warning);
    }
    return output;
}

} // namespace norvane
