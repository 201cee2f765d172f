#include "Norvane/state/LaunchdManager.h"

#include <limits>

#include "platform/AtomicFile.h"
#include "platform/ExecutableFile.h"
#include "platform/UnicodeText.h"
#include "platform/XdgPaths.h"
#include "platform/agents/PropertyListReader.h"

namespace norvane::app {
namespace {

constexpr std::string_view notFoundText = "Could not find specified service";

// Element content needs only these three; an ordinary path comes out unchanged.
std::string xmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string utf8OrEmpty(std::string bytes) {
    return platform::UnicodeText::isValidUtf8(bytes) ? std::move(bytes) : std::string();
}

std::optional<int> integerField(const platform::PropertyListValue& dictionary, std::string_view key) {
    const auto* value = dictionary.find(key);
    const auto* number = value != nullptr ? value->get<std::int64_t>() : nullptr;
    if (number == nullptr || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

} // namespace

LaunchdManager::LaunchdError LaunchdManager::LaunchdError::launchctlFailed(std::string text) {
    return {Kind::launchctlFailed, "launchctl failed: " + text};
}

LaunchdManager::LaunchdError LaunchdManager::LaunchdError::cliNotInstalled() {
    return {Kind::cliNotInstalled, "CLI tool must be installed first. Use Norvane > Install Command Line Tool."};
}

LaunchdManager::Locations LaunchdManager::Locations::standard() {
    return {platform::XdgPaths::homeFolder(), "/usr/local/bin/norvane",
            platform::XdgPaths::executableFolder() / "norvane-launchctl"};
}

LaunchdManager::LaunchdManager() : LaunchdManager(Locations::standard(), platform::defaultProcessRunner()) {}

LaunchdManager::LaunchdManager(Locations locations, platform::ProcessRunner& runner)
    : locations_(std::move(locations)), runner_(runner) {}

std::filesystem::path LaunchdManager::plistPath() const {
    return locations_.homeFolder / "Library/LaunchAgents" / (std::string(agentLabel) + ".plist");
}

std::filesystem::path LaunchdManager::logFolder() const { return locations_.homeFolder / "Library/Logs/Norvane"; }

bool LaunchdManager::isInstalled() const {
    std::error_code error;
    return std::filesystem::exists(plistPath(), error);
}

std::string LaunchdManager::plistContent(int hour, int minute) const {
    const std::string label(agentLabel);
    const std::vector<std::string> lines = {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">",
        "<plist version=\"1.0\">",
        "<dict>",
        "    <key>Label</key>",
        "    <string>" + label + "</string>",
        "    <key>ProgramArguments</key>",
        "    <array>",
        "        <string>" + xmlEscaped(locations_.toolPath.string()) + "</string>",
        "        <string>collect</string>",
        "    </array>",
        "    <key>StartCalendarInterval</key>",
        "    <dict>",
        "        <key>Hour</key>",
        "        <integer>" + std::to_string(hour) + "</integer>",
        "        <key>Minute</key>",
        "        <integer>" + std::to_string(minute) + "</integer>",
        "    </dict>",
        "    <key>StandardOutPath</key>",
        "    <string>" + xmlEscaped((logFolder() / "collect.log").string()) + "</string>",
        "    <key>StandardErrorPath</key>",
        "    <string>" + xmlEscaped((logFolder() / "collect-error.log").string()) + "</string>",
        "    <key>RunAtLoad</key>",
        "    <false/>",
        "</dict>",
        "</plist>",
    };
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : "\n") + line;
    }
    return text;
}

LaunchdManager::LaunchctlResult LaunchdManager::runLaunchctl(const std::vector<std::string>& arguments) const {
    platform::ProcessRequest request;
    request.executable = locations_.launchctlProgram.string();
    request.arguments = arguments;
    platform::ProcessResult result = runner_.run(request);
    if (!result.started()) {
        return {-1, {}, *result.startError};
    }
    return {result.exitStatus, utf8OrEmpty(std::move(result.standardOutput)),
            utf8OrEmpty(std::move(result.standardError))};
}

void LaunchdManager::install(int hour, int minute) const {
    if (!platform::isExecutableFile(locations_.toolPath)) {
        throw LaunchdError::cliNotInstalled();
    }
    std::filesystem::create_directories(plistPath().parent_path());
    std::filesystem::create_directories(logFolder());
    platform::AtomicFile::write(plistPath(), plistContent(hour, minute));
    const LaunchctlResult result = runLaunchctl({"load", plistPath().string()});
    if (result.status != 0) {
        // An agent that did not load must not look installed.
        std::error_code ignored;
        std::filesystem::remove(plistPath(), ignored);
        throw LaunchdError::launchctlFailed(result.error);
    }
}

void LaunchdManager::uninstall() const {
    if (!isInstalled()) {
        return;
    }
    const LaunchctlResult result = runLaunchctl({"unload", plistPath().string()});
    if (result.status != 0 && result.error.find(notFoundText) == std::string::npos) {
        throw LaunchdError::launchctlFailed(result.error);
    }
    std::filesystem::remove(plistPath());
}

std::optional<LaunchdManager::Schedule> LaunchdManager::installedSchedule() const {
    try {
        const auto propertyList = platform::PropertyListReader::readFile(plistPath());
        const auto* interval = propertyList.find("StartCalendarInterval");
        if (interval == nullptr) {
            return std::nullopt;
        }
        const auto hour = integerField(*interval, "Hour");
        const auto minute = integerField(*interval, "Minute");
        if (!hour || !minute) {
            return std::nullopt;
        }
        return Schedule{*hour, *minute};
    } catch (const platform::PropertyListError&) {
        return std::nullopt;
    }
}

} // namespace norvane::app
