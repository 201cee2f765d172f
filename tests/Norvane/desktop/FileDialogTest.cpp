#include "tests/Norvane/desktop/PrivateDisplay.h"

#include "Norvane/components/controls/FileDialogSetup.h"

#include <QFileDialog>

#include <gtest/gtest.h>

#include "tests/Norvane/state/AppStateFakes.h"

namespace norvane::app {
namespace {

// Found in the log of every save on a desktop: the dialog's places had no icon in the desktop's
// theme, and the dialog scaled an empty picture for each ("Pixmap is a null pixmap").
TEST(FileDialog, ShowsItsPlacesWithoutAWarning) {
    norvane::testing::pointerApplication();
    const testing::CapturedWarnings warnings;
    QFileDialog dialog;
    FileDialogSetup::applyTo(dialog);
    dialog.show();
    ASSERT_TRUE(norvane::testing::runEventsUntil([&] { return dialog.isVisible(); }));
    dialog.close();
    EXPECT_EQ(testing::CapturedWarnings::lines(), std::vector<QString>());
}

} // namespace
} // namespace norvane::app
