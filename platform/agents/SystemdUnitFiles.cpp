#include "platform/agents/SystemdUnitFiles.h"

#include <algorithm>
#include <cstdio>

namespace norvane::platform::SystemdUnitFiles {
namespace {

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

std::string escapeSpecifiers(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c;
        if (c == '%') {
            out += '%';
        }
    }
    return out;
}

std::string appendTarget(const std::string& key, const std::string& path) {
    if (!path.starts_with('/') || std::any_of(path.begin(), path.end(), isControl)) {
        throw LaunchAgentError(key + " must be an absolute path on one line");
    }
    return "append:" + escapeSpecifiers(path);
}

std::string calendarField(const std::optional<int>& value) {
    if (!value) {
        return "*";
    }
    char buffer[4];
    std::snprintf(buffer, sizeof buffer, "%02d", *value);
    return buffer;
}

} // namespace

std::string serviceName(const std::string& label) { return label + ".service"; }

std::string timerName(const std::string& label) { return label + ".timer"; }

std::string quoteExecWord(std::string_view word, bool isProgram) {
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

std::string serviceUnit(const LaunchAgent& agent) {
    // A relative program could also be read as one of ExecStart's prefixes ("-", "@", ...).
    if (agent.programArguments.empty() || !agent.programArguments.front().starts_with('/')) {
        throw LaunchAgentError("the program must be an absolute path");
    }
    std::string command;
    for (std::size_t index = 0; index < agent.programArguments.size(); ++index) {
        command += (index == 0 ? "" : " ") + quoteExecWord(agent.programArguments[index], index == 0);
    }
    std::string text =
        "[Unit]\nDescription=" + agent.label + "\n\n[Service]\nType=oneshot\nExecStart=" + command + "\n";
    if (agent.standardOutPath) {
        text += "StandardOutput=" + appendTarget("StandardOutPath", *agent.standardOutPath) + "\n";
    }
    if (agent.standardErrorPath) {
        text += "StandardError=" + appendTarget("StandardErrorPath", *agent.standardErrorPath) + "\n";
    }
    return text;
}

std::string timerUnit(const LaunchAgent& agent) {
    return "[Unit]\nDescription=" + agent.label + "\n\n[Timer]\nOnCalendar=*-*-* " + calendarField(agent.hour) + ":" +
           calendarField(agent.minute) + ":00\n\n[Install]\nWantedBy=timers.target\n";
}

} // namespace norvane::platform::SystemdUnitFiles
