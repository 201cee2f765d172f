#include "core/collection/SccLanguage.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>

namespace norvane {
namespace {

/// A whole number from 0 that fits in 64 bits; an integral floating-point number counts as one.
int64_t readCount(const nlohmann::json& row, const char* key) {
    const auto& value = row.at(key);
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        if (const auto number = value.get<int64_t>(); number >= 0) {
            return number;
        }
    }
    if (value.is_number_unsigned()) {
        const auto unsignedValue = value.get<uint64_t>();
        if (unsignedValue <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
            return static_cast<int64_t>(unsignedValue);
        }
    } else if (value.is_number_float()) {
        const double number = value.get<double>();
        if (std::trunc(number) == number && number >= 0 && number < 9.2e18) {
            return static_cast<int64_t>(number);
        }
    }
    throw nlohmann::json::type_error::create(302, std::string("value of \"") + key + "\" is not a count", &value);
}

} // namespace

void from_json(const nlohmann::json& json, SccLanguage& row) {
    if (!json.is_object()) {
        throw nlohmann::json::type_error::create(302, "a row is not an object", &json);
    }
    row.name = json.at("Name").get<std::string>();
    row.files = readCount(json, "Count");
    row.lines = readCount(json, "Lines");
    row.code = readCount(json, "Code");
    row.comments = readCount(json, "Comment");
    row.blanks = readCount(json, "Blank");
    row.complexity = readCount(json, "Complexity");
}

void to_json(nlohmann::json& json, const SccLanguage& row) {
    json = nlohmann::json{
        {"Name", row.name},        {"Count", row.files},  {"Lines", row.lines},          {"Code", row.code},
        {"Comment", row.comments}, {"Blank", row.blanks}, {"Complexity", row.complexity}};
}

} // namespace norvane
