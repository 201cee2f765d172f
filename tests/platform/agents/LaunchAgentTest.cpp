#include "platform/agents/LaunchAgent.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/agents/PropertyListReader.h"
#include "tests/support/ErrorMessage.h"

namespace norvane::platform {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

LaunchAgent agentFrom(const std::string& dictionaryBody) {
    return LaunchAgent::fromPropertyList(
        PropertyListReader::read("<plist version=\"1.0\"><dict>" + dictionaryBody + "</dict></plist>"));
}

std::string errorOf(const std::string& dictionaryBody) {
    return testing::errorMessageOf<LaunchAgentError>([&] { agentFrom(dictionaryBody); });
}

const std::string label = "<key>Label</key><string>app.example.job</string>";
const std::string program = "<key>ProgramArguments</key><array><string>/bin/job</string><string>run</string></array>";
const std::string interval = "<key>StartCalendarInterval</key><dict><key>Hour</key><integer>4</integer>"
                             "<key>Minute</key><integer>30</integer></dict>";

TEST(LaunchAgent, ReadsTheKeysOfACalendarAgent) {
    const auto agent = agentFrom(label + program + interval +
                                 "<key>StandardOutPath</key><string>/tmp/out.log</string>"
                                 "<key>RunAtLoad</key><false/>");
    EXPECT_THAT(agent.programArguments, ElementsAre("/bin/job", "run"));
    EXPECT_EQ(std::tuple(agent.label, agent.hour, agent.minute, agent.standardOutPath, agent.standardErrorPath),
              std::tuple("app.example.job", 4, 30, "/tmp/out.log", std::nullopt));

    const auto everyMinute = agentFrom(label + program + "<key>StartCalendarInterval</key><dict/>");
    EXPECT_FALSE(everyMinute.hour || everyMinute.minute);
}

TEST(LaunchAgent, RejectsAgentsItCannotRun) {
    EXPECT_THAT(errorOf(program + interval), HasSubstr("missing key Label"));
    EXPECT_THAT(errorOf("<key>Label</key><string>a/b</string>" + program + interval), HasSubstr("invalid Label"));
    EXPECT_THAT(errorOf("<key>Label</key><string></string>" + program + interval), HasSubstr("invalid Label"));
    EXPECT_THAT(errorOf(label + "<key>ProgramArguments</key><array/>" + interval), HasSubstr("non-empty array"));
    EXPECT_THAT(errorOf(label + "<key>ProgramArguments</key><array><integer>1</integer></array>" + interval),
                HasSubstr("not a string"));
    EXPECT_THAT(errorOf(label + program), HasSubstr("missing key StartCalendarInterval"));
    EXPECT_THAT(errorOf(label + program + "<key>StartCalendarInterval</key><array/>"), HasSubstr("not a dictionary"));
    EXPECT_THAT(
        errorOf(label + program + "<key>StartCalendarInterval</key><dict><key>Hour</key><string>2</string></dict>"),
        HasSubstr("Hour must be an integer from 0 to 23"));
    EXPECT_THAT(errorOf(label + program +
                        "<key>StartCalendarInterval</key><dict><key>Minute</key><integer>60</integer></dict>"),
                HasSubstr("Minute must be an integer from 0 to 59"));
    EXPECT_THAT(errorOf(label + program + interval + "<key>StandardOutPath</key><true/>"),
                HasSubstr("StandardOutPath is not a string"));
    EXPECT_THROW(LaunchAgent::fromPropertyList(PropertyListReader::read("<plist><array/></plist>")), LaunchAgentError);
}

} // namespace
} // namespace norvane::platform
