#include "core/models/AIModel.h"

namespace norvane {

std::string_view displayName(AIModel model) {
    switch (model) {
    case AIModel::claude: return "Claude";
    case AIModel::gpt4: return "GPT-4";
    case AIModel::gpt4o: return "GPT-4o";
    case AIModel::cursor: return "Cursor";
    case AIModel::copilot: return "GitHub Copilot";
    case AIModel::gemini: return "Gemini";
    case AIModel::anthropic: return "Anthropic";
    case AIModel::openai: return "OpenAI";
    case AIModel::manual: return "Manual";
    case AIModel::unknown: return "Unknown AI";
    }
    return {};
}

std::string_view iconName(AIModel model) {
    switch (model) {
    case AIModel::claude:
    case AIModel::anthropic: return "brain.head.profile";
    case AIModel::gpt4:
    case AIModel::gpt4o:
    case AIModel::openai: return "sparkle";
    case AIModel::cursor: return "cursorarrow.rays";
    case AIModel::copilot: return "airplane";
    case AIModel::gemini: return "diamond";
    case AIModel::manual: return "hand.raised";
    case AIModel::unknown: return "questionmark.circle";
    }
    return {};
}

} // namespace norvane
