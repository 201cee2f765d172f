#include "core/collection/ModelTagParser.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace norvane {
namespace {

using Models = std::set<AIModel>;

TEST(ModelTagParser, BracketTagsMustStandWhole) {
    EXPECT_EQ(ModelTagParser::parseModels(""), Models{});
    EXPECT_EQ(ModelTagParser::parseModels("Fix it [GPT-4o]"), Models{AIModel::gpt4o});
    EXPECT_EQ(ModelTagParser::parseModels("[gpt-4] tweak"), Models{AIModel::gpt4});
    EXPECT_EQ(ModelTagParser::parseModels("[claude-code] add"), Models{AIModel::claude});
    EXPECT_EQ(ModelTagParser::parseModels("[manual] [claude] both"), (Models{AIModel::manual, AIModel::claude}));
    EXPECT_EQ(ModelTagParser::parseModels("[no-ai]"), Models{AIModel::manual});
    EXPECT_EQ(ModelTagParser::parseModels("[cursor-ai]"), Models{});
    EXPECT_EQ(ModelTagParser::parseModels("[Github-Copilot] [gemini] [openai] [anthropic] [cursor] [gpt4]"),
              (Models{AIModel::copilot, AIModel::gemini, AIModel::openai, AIModel::anthropic, AIModel::cursor,
                      AIModel::gpt4}));
}

TEST(ModelTagParser, TrailersNeedClaudeOnTheSameLine) {
    EXPECT_EQ(ModelTagParser::parseModels("Subject\n\nCo-Authored-By: Claude <noreply@example.com>"),
              Models{AIModel::claude});
    const std::string nextLine = "Subject\n\nCo-Authored-By:\nClaude";
    EXPECT_EQ(ModelTagParser::parseModels(nextLine), Models{});
    EXPECT_TRUE(ModelTagParser::hasAIIndicators(nextLine));
    EXPECT_EQ(ModelTagParser::parseModels("\U0001F916 Generated with [Claude Code](https://example.com)"),
              Models{AIModel::claude});
    EXPECT_EQ(ModelTagParser::parseModels("generated with claude code"), Models{AIModel::claude});
}

TEST(ModelTagParser, IndicatorsWithoutModels) {
    for (const auto* message : {"\U0001F916", "AI Assisted refactor", "AI-ASSISTED", "x\n\nCo-authored-by: Jane <j@x>",
                                "Generated with a script"}) {
        EXPECT_EQ(ModelTagParser::parseModels(message), Models{}) << message;
        EXPECT_TRUE(ModelTagParser::hasAIIndicators(message)) << message;
    }
    EXPECT_FALSE(ModelTagParser::hasAIIndicators(""));
    EXPECT_FALSE(ModelTagParser::hasAIIndicators("Plain fix of a typo"));
}

TEST(ModelTagParser, SafeFromManyThreads) {
    std::vector<std::thread> threads;
    std::vector<int> matches(8, 0);
    for (std::size_t index = 0; index < matches.size(); ++index) {
        threads.emplace_back([&matches, index] {
            for (int round = 0; round < 200; ++round) {
                matches[index] += ModelTagParser::parseModels("x [claude] y").size() == 1 ? 1 : 0;
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const int count : matches) {
        EXPECT_EQ(count, 200);
    }
}

} // namespace
} // namespace norvane
