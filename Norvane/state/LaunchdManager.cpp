#include "Norvane/state/LaunchdManager.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "platform/AtomicFile.h"
#include "platform/PrivateFiles.h"
#include "platform/UnicodeText.h"
#include "platform/XdgPaths.h"

namespace norvane::app {
namespace {

constexpr std::string_view calendarKey = "OnCalendar=*-*-* ";
// What systemctl says of a unit it does not know, for one reason or another.
constexpr std::string_view unknownUnitTexts[] = {"does not exist", "not loaded", "not found"};

std::string unitName(std::string_view suffix) { return std::string(LaunchdManager::agentLabel) + std::string(suffix); }

std::string utf8OrEmpty(std::string bytes) {
    return platform::UnicodeText::isValidUtf8(bytes) ? std::move(bytes) : std::string();
}

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

/// One word of ExecStart: double-quoted with C escapes, "%" doubled against the unit specifiers
/// and, in the arguments, "$" doubled against variable expansion.
std::string execWord(std::string_view word, bool isProgram) {
    std::string out = "\"";
    for (const char c : word) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '%') {
            out += "%%";
        } else if (c == '$' && !isProgram) {
            out += "$$";
        } else if (isControl(c)) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

/// A log for StandardOutput= or StandardError=: systemd takes the rest of the line as the path,
/// after the specifiers, so only "%" is doubled and a path on more than one line cannot be named.
std::string appendTarget(const std::filesystem::path& path) {
    const std::string text = path.string();
    if (std::any_of(text.begin(), text.end(), isControl)) {
        throw std::invalid_argument("Cannot name " + text + " in a systemd unit: it holds a control character");
    }
    std::string out = "append:";
    for (const char c : text) out += c == '%' ? std::string("%%") : std::string(1, c);
    return out;
}

std::string twoDigits(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::optional<int> parseTwoDigits(std::string_view text, int highest) {
    if (text.size() != 2 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int value = (text[0] - '0') * 10 + (text[1] - '0');
    return value <= highest ? std::optional(value) : std::nullopt;
}

/// "HH:MM:00" of the timer's calendar line.
std::optional<LaunchdManager::Schedule> parseTime(std::string_view time) {
    if (time.size() != 8 || time[2] != ':' || time.substr(5) != ":00") return std::nullopt;
    const auto hour = parseTwoDigits(time.substr(0, 2), 23);
    const auto minute = parseTwoDigits(time.substr(3, 2), 59);
    if (!hour || !minute) return std::nullopt;
    return LaunchdManager::Schedule{*hour, *minute};
}

bool saysUnitIsUnknown(const std::string& error) {
    return std::any_of(std::begin(unknownUnitTexts), std::end(unknownUnitTexts),
                       [&](std::string_view text) { return error.find(text) != std::string::npos; });
}

} // namespace

LaunchdManager::LaunchdError LaunchdManager::LaunchdError::launchctlFailed(std::string text) {
    return {Kind::launchctlFailed, "systemctl failed: " + text};
}

LaunchdManager::LaunchdError LaunchdManager::LaunchdError::cliNotInstalled() {
    return {Kind::cliNotInstalled, "CLI tool must be installed first. Use Norvane > Install Command Line Tool."};
}

LaunchdManager::Locations LaunchdManager::Locations::standard() {
    return {platform::XdgPaths::configHome() / "systemd/user", platform::XdgPaths::stateHome() / "norvane",
            CommandLineTool::standard()};
}

LaunchdManager::LaunchdManager() : LaunchdManager(Locations::standard(), platform::defaultProcessRunner()) {}

LaunchdManager::LaunchdManager(Locations locations, platform::ProcessRunner& runner)
    : locations_(std::move(locations)), runner_(runner) {}

std::filesystem::path LaunchdManager::servicePath() const { return locations_.unitFolder / unitName(".service"); }

std::filesystem::path LaunchdManager::timerPath() const { return locations_.unitFolder / unitName(".timer"); }

std::filesystem::path LaunchdManager::outputLogPath() const { return locations_.logFolder / "collect.log"; }

std::filesystem::path LaunchdManager::errorLogPath() const { return locations_.logFolder / "collect-error.log"; }

void LaunchdManager::keepFilesPrivate() const {
    for (const auto& path : {locations_.logFolder, outputLogPath(), errorLogPath(), servicePath(), timerPath()}) {
        platform::PrivateFiles::tighten(path);
    }
}

bool LaunchdManager::isInstalled() const {
    std::error_code error;
    return std::filesystem::exists(timerPath(), error);
}

std::string LaunchdManager::serviceContent(const std::filesystem::path& tool) const {
    return "[Unit]\nDescription=Norvane daily collection\n\n[Service]\nType=oneshot\nExecStart=" +
           execWord(tool.string(), true) + " " + execWord("collect", false) +
           "\nStandardOutput=" + appendTarget(outputLogPath()) + "\nStandardError=" + appendTarget(errorLogPath()) +
           "\n";
}

std::string LaunchdManager::timerContent(int hour, int minute) const {
    return "[Unit]\nDescription=Norvane daily collection\n\n[Timer]\n" + std::string(calendarKey) + twoDigits(hour) +
           ":" + twoDigits(minute) + ":00\nPersistent=true\n\n[Install]\nWantedBy=timers.target\n";
}

LaunchdManager::SystemctlResult LaunchdManager::runSystemctl(const std::vector<std::string>& arguments) const {
    platform::ProcessRequest request;
    request.executable = "systemctl";
    request.arguments = {"--user"};
    request.arguments.insert(request.arguments.end(), arguments.begin(), arguments.end());
    platform::ProcessResult result = runner_.run(request);
    if (!result.started()) {
        return {-1, {}, *result.startError};
    }
    return {result.exitStatus, utf8OrEmpty(std::move(result.standardOutput)),
            utf8OrEmpty(std::move(result.standardError))};
}

void LaunchdManager::install(int hour, int minute) const {
    const auto tool = locations_.tool.find();
    if (!tool) {
        throw LaunchdError::cliNotInstalled();
    }
    const std::string service = serviceContent(*tool);
    platform::PrivateFiles::createFolder(locations_.unitFolder);
    platform::PrivateFiles::createFolder(locations_.logFolder);
    // Made here for the user alone: the service appends to them as they are.
    platform::PrivateFiles::createFile(outputLogPath());
    platform::PrivateFiles::createFile(errorLogPath());
    platform::AtomicFile::writePrivate(servicePath(), service);
    platform::AtomicFile::writePrivate(timerPath(), timerContent(hour, minute));
    try {
        systemctl({"daemon-reload"});
        systemctl({"enable", "--now", unitName(".timer")});
    } catch (const LaunchdError&) {
        // An agent that did not start must not look installed.
        std::error_code ignored;
        std::filesystem::remove(timerPath(), ignored);
        std::filesystem::remove(servicePath(), ignored);
        runSystemctl({"daemon-reload"});
        throw;
    }
}

void LaunchdManager::uninstall() const {
    std::error_code error;
    if (!std::filesystem::exists(timerPath(), error) && !std::filesystem::exists(servicePath(), error)) {
        return;
    }
    systemctl({"disable", "--now", unitName(".timer")}, true);
    systemctl({"stop", unitName(".service")}, true);
    removeUnits();
    // The timer is stopped already; systemd only forgets the removed units here.
    runSystemctl({"daemon-reload"});
}

std::optional<LaunchdManager::Schedule> LaunchdManager::installedSchedule() const {
    std::ifstream timer(timerPath());
    for (std::string line; std::getline(timer, line);) {
        if (line.starts_with(calendarKey)) return parseTime(std::string_view(line).substr(calendarKey.size()));
    }
    return std::nullopt;
}

void LaunchdManager::systemctl(const std::vector<std::string>& arguments, bool unknownUnitIsFine) const {
    const SystemctlResult result = runSystemctl(arguments);
    // A systemctl that did not start says nothing about the unit.
    if (result.status == 0 || (unknownUnitIsFine && result.status > 0 && saysUnitIsUnknown(result.error))) return;
    throw LaunchdError::launchctlFailed(result.error);
}

void LaunchdManager::removeUnits() const {
    std::filesystem::remove(timerPath());
    std::filesystem::remove(servicePath());
}

} // namespace norvane::app
