#include "Norvane/state/AlertBox.h"

#include <iostream>

#include <QLabel>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/state/CLIInstaller.h"
#include "platform/ProcessRunner.h"
#include "tests/Norvane/state/TestApplication.h"
#include "tests/support/TemporaryFolder.h"

namespace norvane::app {
namespace {

/// The informative text's label as the alert lays it out.
const QLabel& shownText(QMessageBox& box) {
    box.show();
    QCoreApplication::processEvents();
    for (const auto* label : box.findChildren<QLabel*>()) {
        if (label->text() == box.informativeText()) return *label;
    }
    throw std::runtime_error("no informative text");
}

/// The pieces of the text that no line may break, by Unicode's rules: a path breaks after its slashes.
QStringList unbreakable(const QString& text) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    QStringList pieces;
    for (qsizetype start = 0, end = breaks.toNextBoundary(); end != -1; start = end, end = breaks.toNextBoundary()) {
        pieces << text.mid(start, end - start).trimmed();
    }
    return pieces;
}

QString installedText() {
    return QStringLiteral(
        "Command line tool installed to /usr/local/bin/norvane\n\nYou can now use 'norvane' in a terminal.");
}

TEST(AlertBox, KeepsEachLineOfTheTextWhole) {
    DarkTheme::apply(norvane::testing::testApplication());
    const auto box = AlertBox::make(QMessageBox::Information, QStringLiteral("Installed"), installedText());
    const QLabel& label = shownText(*box);
    for (const auto& line : installedText().split('\n')) {
        EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(line)) << line.toStdString();
    }
    EXPECT_EQ(label.heightForWidth(label.width()), label.heightForWidth(10'000)) << "no line wraps";
}

// Run on its own, on the screen the platform gives; the next case runs it on the screens of laptops.
TEST(AlertBox, ShowsItsWholeTextOnItsScreen) {
    DarkTheme::apply(norvane::testing::testApplication());
    // Another program holds a store of the version before, in a home that lies deep.
    const QString storeHeld = DashboardView::storeFailureText(
        "The store /home/a.rather.long.account.name/configuration/xdg-data/Norvane/norvane.store was written by "
        "an earlier version of Norvane (schema 1.3.0), and another program has it open (python3, process 12345): "
        "an older Norvane, or one that reads the store. Quit the older Norvane's window and let its commands end, "
        "or close the program that reads the store, then try again; nothing was changed");
    const QString notFound = QString::fromStdString(*CLIInstaller::InstallError::cliNotFound().errorDescription());
    for (const auto& text : {storeHeld, notFound, installedText()}) {
        const auto box = AlertBox::make(QMessageBox::Critical, QStringLiteral("Norvane"), text);
        box->addButton(QMessageBox::Ok);
        const QLabel& label = shownText(*box);
        EXPECT_TRUE(box->screen()->availableGeometry().contains(box->frameGeometry()))
            << "box " << box->frameGeometry().width() << " wide";
        // The label wraps its text at its width where a line may break: it shows every word if it
        // fits in the box, is as tall as its lines and is as wide as each piece that cannot break.
        const QRect shown(label.mapTo(box.get(), QPoint(0, 0)), label.size());
        EXPECT_TRUE(box->rect().contains(shown)) << "box " << box->width() << " wide, text to " << shown.right() + 1;
        EXPECT_GE(label.height(), label.heightForWidth(label.width()));
        for (const auto& piece : unbreakable(text)) {
            EXPECT_LE(label.fontMetrics().horizontalAdvance(piece), label.contentsRect().width())
                << piece.toStdString();
        }
    }
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    std::cout << "Alerts on a " << screen.width() << "x" << screen.height() << " screen\n";
}

// QMessageBox sets the limits of its size by the screen, which the offscreen platform is given only
// as the program starts.
TEST(AlertBox, ShowsItsWholeTextOnScreensFrom1024Wide) {
    const testing::TemporaryFolder folder;
    for (const auto& [width, height] : {std::pair(1024, 768), {1200, 800}, {1366, 768}}) {
        const auto size = std::to_string(width) + "x" + std::to_string(height);
        const auto screens =
            folder.writeFile(size + ".json", R"({"screens": [{"name": "laptop", "width": )" + std::to_string(width) +
                                                 R"(, "height": )" + std::to_string(height) + "}]}");
        const auto run = platform::PosixProcessRunner().run(
            {.executable = "/proc/self/exe",
             .arguments = {"--gtest_filter=AlertBox.ShowsItsWholeTextOnItsScreen"},
             .environmentOverrides = {{"QT_QPA_PLATFORM", "offscreen:configfile=" + screens.string()}}});
        EXPECT_TRUE(run.succeeded()) << run.standardOutput;
        EXPECT_THAT(run.standardOutput, ::testing::HasSubstr("Alerts on a " + size + " screen"));
    }
}

} // namespace
} // namespace norvane::app
