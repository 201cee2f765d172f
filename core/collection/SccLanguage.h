#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <string>

namespace norvane {

/// One row of the code counter's JSON answer: a language and its counts.
struct SccLanguage {
    std::string name;
    int64_t files = 0;
    int64_t lines = 0;
    int64_t code = 0;
    int64_t comments = 0;
    int64_t blanks = 0;
    int64_t complexity = 0;

    bool operator==(const SccLanguage&) const = default;
};

/// Reads a row from its seven keys ("Name", "Count", "Lines", "Code", "Comment", "Blank",
/// "Complexity"), spelled exactly so; other keys are ignored. Throws nlohmann::json::exception
/// when a key is missing or holds the wrong type.
void from_json(const nlohmann::json& json, SccLanguage& row);

/// Writes a row under the same seven keys.
void to_json(nlohmann::json& json, const SccLanguage& row);

} // namespace norvane
