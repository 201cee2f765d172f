#include "norvane-cli/ProgressPrinter.h"
#include "norvane-cli/InitialCollectionPrinter.h"

#include <gtest/gtest.h>

#include <sstream>

namespace norvane::cli {
namespace {

TEST(ProgressPrinter, RedrawsOneBarInPlaceOnATerminal) {
    std::ostringstream out;
    {
        ProgressPrinter progress(out, true);
        progress.update(1, 4, "First");
        progress.update(4, 4, "Last");
    }
    EXPECT_EQ(out.str(), "\r[#######-----------------------] 1/4 First\x1b[K"
                         "\r[##############################] 4/4 Last\x1b[K\n");
}

TEST(ProgressPrinter, KeepsTheBarWithinOneTerminalLine) {
    std::ostringstream out;
    ProgressPrinter progress(out, true);
    progress.update(10, 100, std::string(50, 'a'));
    EXPECT_EQ(out.str(), "\r[###---------------------------] 10/100 " + std::string(39, 'a') + "\x1b[K");
}

TEST(ProgressPrinter, LabelsShowControlCharactersAsEscapesAndStopAtFiftyCharacters) {
    EXPECT_EQ(ProgressPrinter::cleanLabel("Fix\x1b[2J the\tbug\r"), "Fix\\x1b[2J the\\tbug\\r");
    EXPECT_EQ(ProgressPrinter::cleanLabel("csi\xc2\x9b"
                                          "2J \xe2\x80\xa6"),
              "csi\\u009b2J \xe2\x80\xa6");
    EXPECT_EQ(ProgressPrinter::cleanLabel(std::string(60, 'a')), std::string(50, 'a'));
    EXPECT_EQ(ProgressPrinter::cleanLabel("caf\xc3"), "caf\\xc3");
    EXPECT_EQ(ProgressPrinter::bar(3, 0), "[" + std::string(30, '-') + "]");
}

TEST(InitialCollectionPrinter, EndsTheHistoryBarBeforeTheNextStage) {
    namespace Stage = InitialCollectionStage;
    std::ostringstream out;
    InitialCollectionPrinter printer(out, true);
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
    InitialCollectionPrinter printer(out, true);
    printer.print(InitialCollectionStage::ImportingHistory{1, 2, "Initial commit"});
    printer.print(InitialCollectionStage::Error{"disk full"});

    EXPECT_EQ(out.str(), "\r[###############---------------] 1/2 Initial commit\x1b[K\n");
}

} // namespace
} // namespace norvane::cli
