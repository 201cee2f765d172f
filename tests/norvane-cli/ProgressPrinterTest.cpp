#include "norvane-cli/ProgressPrinter.h"
#include "norvane-cli/InitialCollectionPrinter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace norvane::cli {
namespace {

TEST(ProgressPrinter, RedrawsOneBarInPlaceOnATerminal) {
    std::ostringstream out;
    {
        ProgressPrinter progress(out, ProgressDisplay::redrawn);
        progress.update(1, 4, "First");
        progress.update(4, 4, "Last");
    }
    EXPECT_EQ(out.str(), "\r[#######-----------------------] 1/4 First\x1b[K"
                         "\r[##############################] 4/4 Last\x1b[K\n");
}

TEST(ProgressPrinter, KeepsTheBarWithinOneTerminalLine) {
    std::ostringstream out;
    ProgressPrinter progress(out, ProgressDisplay::redrawn);
    progress.update(10, 100, std::string(50, 'a'));
    EXPECT_EQ(out.str(), "\r[###---------------------------] 10/100 " + std::string(39, 'a') + "\x1b[K");
}

TEST(ProgressPrinter, KeepsTheBarWithinSeventyNineColumnsOfWideCharacters) {
    std::string chinese;
    for (int i = 0; i < 50; ++i) chinese += "\u63D0"; // two columns each
    std::ostringstream out;
    ProgressPrinter progress(out, ProgressDisplay::redrawn);
    progress.update(10, 100, chinese);
    EXPECT_EQ(out.str(), "\r[###---------------------------] 10/100 " + chinese.substr(0, 19 * 3) + "\x1b[K");

    std::ostringstream narrow;
    ProgressPrinter narrowProgress(narrow, ProgressDisplay::redrawn, 60);
    narrowProgress.update(10, 100, chinese);
    EXPECT_EQ(narrow.str(), "\r[###---------------------------] 10/100 " + chinese.substr(0, 9 * 3) + "\x1b[K");

    std::ostringstream hearts;
    ProgressPrinter heartsProgress(hearts, ProgressDisplay::redrawn);
    heartsProgress.update(10, 100, "ok " + std::string(35, 'a') + "\u2764\uFE0F");
    EXPECT_EQ(hearts.str(), "\r[###---------------------------] 10/100 ok " + std::string(35, 'a') + "\x1b[K");
}

TEST(ProgressPrinter, ANarrowTerminalNarrowsTheBarRatherThanCutTheCount) {
    std::ostringstream out;
    ProgressPrinter progress(out, ProgressDisplay::redrawn, 40);
    progress.update(301, 3000, "Fix the parser");
    EXPECT_EQ(out.str(), "\r[##--------------------------] 301/3000\x1b[K");
}

TEST(ProgressPrinter, ADumbTerminalGetsAPlainLineEachTimeTheBarGrows) {
    std::ostringstream out;
    {
        ProgressPrinter progress(out, ProgressDisplay::lines);
        for (int step = 1; step <= 100; ++step) progress.update(step, 100, "Commit " + std::to_string(step));
    }
    const auto text = out.str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 31) << "one for each of the bar's 31 lengths";
    EXPECT_EQ(text.find_first_of("\r\x1b"), std::string::npos);
    EXPECT_TRUE(text.starts_with("[------------------------------] 1/100 Commit 1\n"
                                 "[#-----------------------------] 4/100 Commit 4\n"));
    EXPECT_TRUE(text.ends_with("[##############################] 100/100 Commit 100\n"));
}

TEST(ProgressPrinter, LabelsShowControlCharactersAsEscapesAndStopAtFiftyCharacters) {
    EXPECT_EQ(ProgressPrinter::cleanLabel("Fix\x1b[2J the\tbug\r"), "Fix\\x1b[2J the\\tbug\\r");
    EXPECT_EQ(ProgressPrinter::cleanLabel("csi\xc2\x9b"
                                          "2J \xe2\x80\xa6"),
              "csi\\u009b2J \xe2\x80\xa6");
    EXPECT_EQ(ProgressPrinter::cleanLabel(std::string(60, 'a')), std::string(50, 'a'));
    EXPECT_EQ(ProgressPrinter::cleanLabel("caf\xc3"), "caf\\xc3");
    EXPECT_EQ(ProgressPrinter::bar(3, 0, 30), "[" + std::string(30, '-') + "]");
}

TEST(InitialCollectionPrinter, EndsTheHistoryBarBeforeTheNextStage) {
    namespace Stage = InitialCollectionStage;
    std::ostringstream out;
    ProgressPrinter history(out, ProgressDisplay::redrawn);
    InitialCollectionPrinter printer(out, history);
    printer.print(Stage::Starting{});
    printer.print(Stage::RunningScc{});
    printer.print(Stage::SccComplete{42});
    printer.print(Stage::ImportingHistory{1, 1, "Initial commit"});
    printer.print(Stage::HistoryComplete{1});
    printer.print(Stage::Complete{});

    EXPECT_EQ(out.str(), "Starting the first collection\nCounting code lines\nCounted 42 code lines\n"
                         "\r[##############################] 1/1 Initial commit\x1b[K\n"
                         "Imported 1 history snapshots\nFirst collection complete\n");
}

TEST(InitialCollectionPrinter, LeavesErrorsToTheCallerButEndsTheBar) {
    std::ostringstream out;
    ProgressPrinter history(out, ProgressDisplay::redrawn);
    InitialCollectionPrinter printer(out, history);
    printer.print(InitialCollectionStage::ImportingHistory{1, 2, "Initial commit"});
    printer.print(InitialCollectionStage::Error{"disk full"});

    EXPECT_EQ(out.str(), "\r[###############---------------] 1/2 Initial commit\x1b[K\n");
}

} // namespace
} // namespace norvane::cli
