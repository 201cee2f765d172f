#include "platform/agents/LaunchAgent.h"

#include <algorithm>
#include <cstdint>

namespace norvane::platform {
namespace {

const PropertyListValue& require(const PropertyListValue& dictionary, const std::string& key) {
    const auto* value = dictionary.find(key);
    if (value == nullptr) {
        throw LaunchAgentError("missing key " + key);
    }
    return *value;
}

const std::string& requireText(const PropertyListValue& value, const std::string& key) {
    const auto* text = value.get<std::string>();
    if (text == nullptr) {
        throw LaunchAgentError(key + " is not a string");
    }
    return *text;
}

std::optional<std::string> optionalText(const PropertyListValue& dictionary, const std::string& key) {
    const auto* value = dictionary.find(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    return requireText(*value, key);
}

std::optional<int> calendarField(const PropertyListValue& interval, const std::string& key, int highest) {
    const auto* value = interval.find(key);
    if (value == nullptr) {
        return std::nullopt;
    }
    const auto* number = value->get<std::int64_t>();
    if (number == nullptr || *number < 0 || *number > highest) {
        throw LaunchAgentError(key + " must be an integer from 0 to " + std::to_string(highest));
    }
    return static_cast<int>(*number);
}

// Labels name the systemd units, so they keep to the characters unit names allow.
bool isValidLabel(const std::string& label) {
    const auto allowed = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
               c == '_' || c == ':';
    };
    return !label.empty() && label.size() <= 200 && std::all_of(label.begin(), label.end(), allowed);
}

std::vector<std::string> readProgramArguments(const PropertyListValue& value) {
    const auto* array = value.get<PropertyListValue::Array>();
    if (array == nullptr || array->empty()) {
        throw LaunchAgentError("ProgramArguments must be a non-empty array");
    }
    std::vector<std::string> arguments;
    for (const auto& item : *array) {
        arguments.push_back(requireText(item, "ProgramArguments item"));
    }
    return arguments;
}

} // namespace

std::string LaunchAgent::labelOf(const PropertyListValue& propertyList) {
    if (propertyList.get<PropertyListValue::Dictionary>() == nullptr) {
        throw LaunchAgentError("the property list is not a dictionary");
    }
    const std::string& label = requireText(require(propertyList, "Label"), "Label");
    if (!isValidLabel(label)) {
        throw LaunchAgentError("invalid Label '" + label + "'");
    }
    return label;
}

LaunchAgent LaunchAgent::fromPropertyList(const PropertyListValue& propertyList) {
    LaunchAgent agent;
    agent.label = labelOf(propertyList);
    agent.programArguments = readProgramArguments(require(propertyList, "ProgramArguments"));
    const auto& interval = require(propertyList, "StartCalendarInterval");
    if (interval.get<PropertyListValue::Dictionary>() == nullptr) {
        throw LaunchAgentError("StartCalendarInterval is not a dictionary");
    }
    agent.hour = calendarField(interval, "Hour", 23);
    agent.minute = calendarField(interval, "Minute", 59);
    agent.standardOutPath = optionalText(propertyList, "StandardOutPath");
    agent.standardErrorPath = optionalText(propertyList, "StandardErrorPath");
    return agent;
}

} // namespace norvane::platform
