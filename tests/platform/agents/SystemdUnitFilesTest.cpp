#include "platform/agents/SystemdUnitFiles.h"

#include <gtest/gtest.h>

namespace norvane::platform {
namespace {

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
    EXPECT_EQ(SystemdUnitFiles::serviceName("app.norvane.collect"), "app.norvane.collect.service");
    EXPECT_EQ(SystemdUnitFiles::serviceUnit(collectAgent()),
              "[Unit]\n"
              "Description=app.norvane.collect\n"
              "\n"
              "[Service]\n"
              "Type=oneshot\n"
              "ExecStart=\"/usr/local/bin/norvane\" \"collect\"\n"
              "StandardOutput=append:/home/ada/Library/Logs/Norvane/collect.log\n"
              "StandardError=append:/home/ada/Library/Logs/Norvane/collect-error.log\n");
}

TEST(SystemdUnitFiles, TimerFiresDailyAtTheHourAndMinute) {
    EXPECT_EQ(SystemdUnitFiles::timerName("app.norvane.collect"), "app.norvane.collect.timer");
    EXPECT_EQ(SystemdUnitFiles::timerUnit(collectAgent()), "[Unit]\n"
                                                           "Description=app.norvane.collect\n"
                                                           "\n"
                                                           "[Timer]\n"
                                                           "OnCalendar=*-*-* 02:00:00\n"
                                                           "\n"
                                                           "[Install]\n"
                                                           "WantedBy=timers.target\n");
    auto agent = collectAgent();
    agent.hour = 23;
    agent.minute = 7;
    EXPECT_NE(SystemdUnitFiles::timerUnit(agent).find("OnCalendar=*-*-* 23:07:00\n"), std::string::npos);
    agent.hour.reset();
    EXPECT_NE(SystemdUnitFiles::timerUnit(agent).find("OnCalendar=*-*-* *:07:00\n"), std::string::npos);
    agent.minute.reset();
    EXPECT_NE(SystemdUnitFiles::timerUnit(agent).find("OnCalendar=*-*-* *:*:00\n"), std::string::npos);
}

TEST(SystemdUnitFiles, QuotesEveryWordForExecStart) {
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("two words", false), "\"two words\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("say \"hi\"", false), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("back\\slash", false), "\"back\\\\slash\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("it's", false), "\"it's\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("100%", false), "\"100%%\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("$HOME", false), "\"$$HOME\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("/opt/$x/%n", true), "\"/opt/$x/%%n\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("a\nb\tc", false), "\"a\\x0ab\\x09c\"");
    EXPECT_EQ(SystemdUnitFiles::quoteExecWord("", false), "\"\"");
}

TEST(SystemdUnitFiles, LogPathsKeepPercentSignsLiteral) {
    auto agent = collectAgent();
    agent.standardOutPath = "/home/a b/100%/out.log";
    agent.standardErrorPath.reset();
    const auto unit = SystemdUnitFiles::serviceUnit(agent);
    EXPECT_NE(unit.find("StandardOutput=append:/home/a b/100%%/out.log\n"), std::string::npos);
    EXPECT_EQ(unit.find("StandardError="), std::string::npos);
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
