#pragma once

#include "core/models/AIModel.h"

#include <set>
#include <string_view>

namespace norvane {

/// Reads the AI-model tags and trailers of a commit message.
namespace ModelTagParser {

/// The models that the message's bracket tags ("[claude]", "[gpt-4o]", "[no-ai]" ...) and
/// assistant trailers name; empty when none does.
std::set<AIModel> parseModels(std::string_view message);

/// True when the message bears any AI marker: "generated with", "co-authored-by:", the robot
/// face, "ai-assisted" or "ai assisted", in any letter case.
bool hasAIIndicators(std::string_view message);

} // namespace ModelTagParser
} // namespace norvane
