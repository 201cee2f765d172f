#include "platform/agents/SystemdUnitFiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace norvane::platform {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

LaunchAgent collectAgent() {
    LaunchAgent agent;
    agent.label = "app.norvane.collect";
    agent.programArguments = {"/usr/local/bin/norvane", "collect"};
    agent.hour = 2;
    agent.minute = 0;
    agent.standardOutPath = "/home/ada/Library/Logs/Norvane/collect.log";
    agent.standardErrorPath = "/home/ada/Library/Logs/Norvane/collect-error.log";
    return agent;
}

TEST(SystemdUnitFiles, ServiceRunsTheProgramAndAppendsToTheLogs) {
    EXPECT_EQ(SystemdUnitFiles::serviceUnit(collectAgent()),
              "[Unit]\nDescription=app.norvane.collect\n\n[Service]\nType=oneshot\n"
              "ExecStart=\"/usr/local/bin/norvane\" \"collect\"\n"
              "StandardOutput=append:/home/ada/Library/Logs/Norvane/collect.log\n"
              "StandardError=append:/home/ada/Library/Logs/Norvane/collect-error.log\n");

    auto agent = collectAgent();
    agent.standardOutPath = "/home/a b/100%/out.log";
    agent.standardErrorPath.reset();
    EXPECT_THAT(SystemdUnitFiles::serviceUnit(agent), HasSubstr("StandardOutput=append:/home/a b/100%%/out.log\n"));
    EXPECT_THAT(SystemdUnitFiles::serviceUnit(agent), Not(HasSubstr("StandardError=")));
}

TEST(SystemdUnitFiles, TimerFiresDailyAtTheHourAndMinute) {
    EXPECT_EQ(SystemdUnitFiles::timerUnit(collectAgent()), "[Unit]\nDescription=app.norvane.collect\n\n[Timer]\n"
                                                           "OnCalendar=*-*-* 02:00:00\n\n"
                                                           "[Install]\nWantedBy=timers.target\n");
    auto agent = collectAgent();
    agent.hour = 23;
    agent.minute = 7;
    EXPECT_THAT(SystemdUnitFiles::timerUnit(agent), HasSubstr("OnCalendar=*-*-* 23:07:00\n"));
    agent.hour.reset();
    EXPECT_THAT(SystemdUnitFiles::timerUnit(agent), HasSubstr("OnCalendar=*-*-* *:07:00\n"));
    agent.minute.reset();
    EXPECT_THAT(SystemdUnitFiles::timerUnit(agent), HasSubstr("OnCalendar=*-*-* *:*:00\n"));
}

TEST(SystemdUnitFiles, QuotesEveryWordForExecStart) {
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("two words", false), "\"two words\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("say \"hi\"", false), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("back\\slash", false), "\"back\\\\slash\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("it's", false), "\"it's\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("100%", false), "\"100%%\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("$HOME", false), "\"$$HOME\"");
    // systemd expands no variables in the program's path, so its dollar signs stay single.
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("/opt/$x/%n", true), "\"/opt/$x/%%n\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("a\nb\tc", false), "\"a\\x0ab\\x09c\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("", false), "\"\"");
}

TEST(SystemdUnitFiles, RejectsWhatSystemdCannotTake) {
    auto agent = collectAgent();
    agent.programArguments = {"norvane", "collect"};
    EXPECT_THROW(SystemdUnitFiles::serviceUnit(agent), LaunchAgentError);
    agent = collectAgent();
    agent.standardOutPath = "logs/out.log";
    EXPECT_THROW(SystemdUnitFiles::serviceUnit(agent), LaunchAgentError);
    agent = collectAgent();
    agent.standardErrorPath = "/tmp/a\nb.log";
    EXPECT_THROW(SystemdUnitFiles::serviceUnit(agent), LaunchAgentError);
}

} // namespace
} // namespace norvane::platform
