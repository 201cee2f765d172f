#include "core/community/JsonCoding.h"

#include "platform/Iso8601.h"

#include <cctype>
#include <cmath>
#include <limits>

namespace norvane::JsonCoding {

namespace {

[[noreturn]] void wrongType(std::string_view key, std::string_view expected) {
    throw JsonDecodingError("Expected " + std::string(expected) + " for key \"" + std::string(key) + "\"");
}

} // namespace

std::string camelCaseKey(std::string_view key) {
    std::string result;
    result.reserve(key.size());
    for (std::size_t i = 0; i < key.size(); ++i) {
        const char character = key[i];
        const bool letterFollows = i + 1 < key.size() && std::isalpha(static_cast<unsigned char>(key[i + 1]));
        if (character == '_' && letterFollows) {
            result += static_cast<char>(std::toupper(static_cast<unsigned char>(key[++i])));
        } else {
            result += character;
        }
    }
    return result;
}

double finite(double value, std::string_view key) {
    if (!std::isfinite(value)) {
        throw JsonEncodingError("Cannot encode the non-finite number " + std::to_string(value) + " for key \"" +
                                std::string(key) + "\"");
    }
    return value;
}

std::string encodeDate(platform::Date date) { return platform::Iso8601::format(date); }

nlohmann::json parse(std::string_view text) {
    // Stops at the first level too deep, before the parser has built anything below it.
    const auto boundedDepth = [](int depth, nlohmann::json::parse_event_t, nlohmann::json&) {
        if (depth > maxDepth) {
            throw JsonDecodingError("The data nests deeper than " + std::to_string(maxDepth) + " levels");
        }
        return true;
    };
    try {
        return nlohmann::json::parse(text, boundedDepth);
    } catch (const nlohmann::json::exception& error) {
        throw JsonDecodingError(std::string("The data is not valid JSON: ") + error.what());
    }
}

const nlohmann::json* find(const nlohmann::json& object, std::string_view camelKey) {
    if (!object.is_object()) {
        throw JsonDecodingError("Expected an object holding \"" + std::string(camelKey) + "\"");
    }
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (camelCaseKey(member.key()) == camelKey) {
            return &member.value();
        }
    }
    return nullptr;
}

const nlohmann::json& require(const nlohmann::json& object, std::string_view camelKey) {
    const auto* value = optional(object, camelKey);
    if (value == nullptr) {
        throw JsonDecodingError("No value for key \"" + std::string(camelKey) + "\"");
    }
    return *value;
}

const nlohmann::json* optional(const nlohmann::json& object, std::string_view camelKey) {
    const auto* value = find(object, camelKey);
    return value == nullptr || value->is_null() ? nullptr : value;
}

std::int64_t asInteger(const nlohmann::json& value, std::string_view key) {
    if (value.is_number_unsigned() &&
        value.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        wrongType(key, "a 64-bit integer");
    }
    if (!value.is_number_integer()) {
        wrongType(key, "an integer");
    }
    return value.get<std::int64_t>();
}

double asNumber(const nlohmann::json& value, std::string_view key) {
    if (!value.is_number()) {
        wrongType(key, "a number");
    }
    return value.get<double>();
}

std::string asText(const nlohmann::json& value, std::string_view key) {
    if (!value.is_string()) {
        wrongType(key, "a string");
    }
    return value.get<std::string>();
}

bool asBoolean(const nlohmann::json& value, std::string_view key) {
    if (!value.is_boolean()) {
        wrongType(key, "a boolean");
    }
    return value.get<bool>();
}

platform::Date asDate(const nlohmann::json& value, std::string_view key) {
    const std::string text = asText(value, key);
    const auto date = platform::Iso8601::parse(text);
    if (!date) {
        throw JsonDecodingError("Cannot decode date: " + text);
    }
    return *date;
}

platform::Date asWholeSecondDate(const nlohmann::json& value, std::string_view key) {
    const std::string text = asText(value, key);
    if (text.find('.') != std::string::npos) {
        throw JsonDecodingError("Cannot decode date: " + text);
    }
    return asDate(value, key);
}

std::int64_t integer(const nlohmann::json& object, std::string_view camelKey) {
    return asInteger(require(object, camelKey), camelKey);
}

double number(const nlohmann::json& object, std::string_view camelKey) {
    return asNumber(require(object, camelKey), camelKey);
}

std::string text(const nlohmann::json& object, std::string_view camelKey) {
    return asText(require(object, camelKey), camelKey);
}

bool boolean(const nlohmann::json& object, std::string_view camelKey) {
    return asBoolean(require(object, camelKey), camelKey);
}

std::optional<std::int64_t> optionalInteger(const nlohmann::json& object, std::string_view camelKey) {
    const auto* value = optional(object, camelKey);
    return value ? std::optional(asInteger(*value, camelKey)) : std::nullopt;
}

std::optional<double> optionalNumber(const nlohmann::json& object, std::string_view camelKey) {
    const auto* value = optional(object, camelKey);
    return value ? std::optional(asNumber(*value, camelKey)) : std::nullopt;
}

std::optional<std::string> optionalText(const nlohmann::json& object, std::string_view camelKey) {
    const auto* value = optional(object, camelKey);
    return value ? std::optional(asText(*value, camelKey)) : std::nullopt;
}

} // namespace norvane::JsonCoding
