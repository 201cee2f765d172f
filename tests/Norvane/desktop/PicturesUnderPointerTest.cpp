#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "tests/Norvane/pages/AppPictureNames.h"
#include "tests/support/TemporaryFolder.h"

#include <QCursor>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace norvane::app {
namespace {

// A loaded machine makes the demo store's repositories and collections slowly.
constexpr int programMilliseconds = 15 * 60'000;

/// Where the hand holds the pointer: resting on the page beside the sidebar where the first trend
/// chart of a project page stands, trembling by a pixel so that the window system keeps telling
/// whatever lies there where the pointer is.
QPoint handAt(int step) { return {640 + step % 2, 690}; }

// The pictures' program stages every page, card, sheet and wizard step in turn, replacing each under
// whatever the pointer rests on: it makes all of them, as it does offscreen.
TEST(PicturesUnderPointer, EveryPictureIsMadeWhileAHandMovesThePointerOverTheWindows) {
    norvane::testing::pointerApplication();
    norvane::testing::TemporaryFolder output;
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QString::fromStdString(norvane::testing::builtProgram("norvane-app-screenshots").string()),
                  {QString::fromStdString(output.path().string())});
    ASSERT_TRUE(program.waitForStarted());
    int step = 0;
    const bool ended = QTest::qWaitFor(
        [&] {
            QCursor::setPos(handAt(step++));
            return program.state() == QProcess::NotRunning;
        },
        programMilliseconds);
    ASSERT_TRUE(ended) << "the program still runs";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << "signal " << program.exitCode();
    EXPECT_EQ(program.exitCode(), 0);

    QStringList made;
    for (const auto& name : norvane::testing::folderEntries(output.path())) made << QString::fromStdString(name);
    QStringList expected = testing::appPictureNames();
    expected.sort();
    EXPECT_EQ(made, expected);
}

} // namespace
} // namespace norvane::app
