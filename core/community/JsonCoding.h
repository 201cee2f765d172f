#pragma once

#include "platform/Date.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace norvane {

/// A value that cannot be written as JSON, such as a number that is not finite. Raised instead of
/// letting the writer put `null` where a number belongs.
class JsonEncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A JSON document that does not hold what its reader needs: a missing key, a value of the wrong
/// type, a date in the wrong form, or text that is not JSON at all.
class JsonDecodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// The reading and writing rules shared by the benchmark records: ISO 8601 dates in UTC with whole
/// seconds, finite numbers only, absent optionals left out, and keys that may be written in
/// snake_case for camelCase field names.
namespace JsonCoding {

/// The field name that `key` stands for: every "_" plus letter turned into the upper-case letter,
/// so "device_id" and "deviceId" both name `deviceId`.
std::string camelCaseKey(std::string_view key);

/// `value` when it is finite; otherwise throws `JsonEncodingError` naming `key`.
double finite(double value, std::string_view key);

/// The date as "2025-03-14T08:30:00Z".
std::string encodeDate(platform::Date date);

/// Compact (`indent` < 0) or indented text; throws `JsonEncodingError` for text that is not UTF-8.
template <typename Json>
std::string dump(const Json& document, int indent = -1) {
    try {
        return document.dump(indent);
    } catch (const nlohmann::json::type_error& error) {
        throw JsonEncodingError(error.what());
    }
}

/// The deepest nesting of arrays and objects that `parse` takes; the documents read here nest
/// five levels at most.
inline constexpr int maxDepth = 64;

/// Parses `text`; throws `JsonDecodingError` when it is not JSON or nests deeper than `maxDepth`.
nlohmann::json parse(std::string_view text);

/// The member of `object` whose `camelCaseKey` equals `camelKey`; null when there is none. Throws when `object` is not
/// an object.
const nlohmann::json* find(const nlohmann::json& object, std::string_view camelKey);

/// The member `camelKey`; throws `JsonDecodingError` when it is missing or null.
const nlohmann::json& require(const nlohmann::json& object, std::string_view camelKey);

/// The member `camelKey`, or null when it is missing or null.
const nlohmann::json* optional(const nlohmann::json& object, std::string_view camelKey);

std::int64_t asInteger(const nlohmann::json& value, std::string_view key);
double asNumber(const nlohmann::json& value, std::string_view key);
std::string asText(const nlohmann::json& value, std::string_view key);
bool asBoolean(const nlohmann::json& value, std::string_view key);
/// ISO 8601 with or without fractional seconds.
platform::Date asDate(const nlohmann::json& value, std::string_view key);
/// ISO 8601 without fractional seconds only, as the writer writes it.
platform::Date asWholeSecondDate(const nlohmann::json& value, std::string_view key);

std::int64_t integer(const nlohmann::json& object, std::string_view camelKey);
double number(const nlohmann::json& object, std::string_view camelKey);
std::string text(const nlohmann::json& object, std::string_view camelKey);
bool boolean(const nlohmann::json& object, std::string_view camelKey);

std::optional<std::int64_t> optionalInteger(const nlohmann::json& object, std::string_view camelKey);
std::optional<double> optionalNumber(const nlohmann::json& object, std::string_view camelKey);
std::optional<std::string> optionalText(const nlohmann::json& object, std::string_view camelKey);

/// Writes `value` under `key` when present; numbers must be finite.
template <typename Json, typename T>
void putOptional(Json& object, const std::string& key, const std::optional<T>& value) {
    if (!value) {
        return;
    }
    if constexpr (std::is_floating_point_v<T>) {
        object[key] = finite(*value, key);
    } else {
        object[key] = *value;
    }
}

} // namespace JsonCoding
} // namespace norvane
