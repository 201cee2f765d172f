#include "Norvane/state/AlertBox.h"

#include <QLabel>
#include <gtest/gtest.h>

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/state/CLIInstaller.h"
#include "tests/Norvane/state/TestApplication.h"

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

TEST(AlertBox, KeepsEachLineOfTheTextWhole) {
    DarkTheme::apply(norvane::testing::testApplication());
    const QString installed = QStringLiteral(
        "Command line tool installed to /usr/local/bin/norvane\n\nYou can now use 'norvane' in a terminal.");
    const QString notFound = QString::fromStdString(*CLIInstaller::InstallError::cliNotFound().errorDescription());
    for (const auto& text : {installed, notFound}) {
        const auto box = AlertBox::make(QMessageBox::Critical, QStringLiteral("Installation Failed"), text);
        const QLabel& label = shownText(*box);
        for (const auto& line : text.split('\n')) {
            EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(line)) << line.toStdString();
        }
        EXPECT_EQ(label.heightForWidth(label.width()), label.heightForWidth(10'000)) << "no line wraps";
    }
}

} // namespace
} // namespace norvane::app
