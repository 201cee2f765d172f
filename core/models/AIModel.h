#pragma once

#include "platform/RawValueEnum.h"

#include <string_view>

namespace norvane {

/// The AI assistants that commits can be attributed to, plus manual work and an unknown assistant.
enum class AIModel { claude, gpt4, gpt4o, cursor, copilot, gemini, anthropic, openai, manual, unknown };

std::string_view displayName(AIModel model);
std::string_view iconName(AIModel model);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::AIModel> {
    static constexpr std::array cases{
        std::pair{AIModel::claude, std::string_view("claude")},
        std::pair{AIModel::gpt4, std::string_view("gpt4")},
        std::pair{AIModel::gpt4o, std::string_view("gpt4o")},
        std::pair{AIModel::cursor, std::string_view("cursor")},
        std::pair{AIModel::copilot, std::string_view("copilot")},
        std::pair{AIModel::gemini, std::string_view("gemini")},
        std::pair{AIModel::anthropic, std::string_view("anthropic")},
        std::pair{AIModel::openai, std::string_view("openai")},
        std::pair{AIModel::manual, std::string_view("manual")},
        std::pair{AIModel::unknown, std::string_view("unknown")},
    };
};
