#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/AchievementMedal.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/gallery/CardSamples.h"
#include "platform/ProcessRunner.h"
#include "tests/support/TemporaryFolder.h"

#include <QApplication>
#include <QRegularExpression>

#include <memory>

namespace norvane::app {
namespace {

using CardSamples = testing::ComponentTest;

// A figure that went wrong on its way to the screen: "nan", "inf", or a zero with a minus sign.
const QRegularExpression brokenNumber(QStringLiteral("\\b(nan|inf|infinity)\\b|-0(\\.0+)?(?![.\\d])"),
                                      QRegularExpression::CaseInsensitiveOption);

TEST_F(CardSamples, EveryStateNamesRegisteredSymbolsAndShowsNoBrokenFigure) {
    for (const CardSample& sample : cardSamples()) {
        const std::unique_ptr<QWidget> card(sample.make());
        testing::showAndSettle(*card, sample.width);
        if (sample.prepare) {
            sample.prepare(card.get());
            QApplication::processEvents();
        }
        for (const SymbolLabel* symbol : card->findChildren<SymbolLabel*>()) {
            EXPECT_TRUE(SymbolRegistry::contains(symbol->symbolName()))
                << sample.name.toStdString() << ": " << symbol->symbolName().toStdString();
        }
        for (const AchievementMedal* medal : card->findChildren<AchievementMedal*>()) {
            EXPECT_TRUE(medal->symbolName().isEmpty() || SymbolRegistry::contains(medal->symbolName()))
                << sample.name.toStdString() << ": " << medal->symbolName().toStdString();
        }
        for (const QWidget* widget : card->findChildren<QWidget*>()) {
            const auto* label = qobject_cast<const StyledLabel*>(widget);
            for (const QString& text : {label != nullptr ? label->text() : QString(), widget->toolTip()}) {
                EXPECT_FALSE(brokenNumber.match(text).hasMatch())
                    << sample.name.toStdString() << ": " << text.toStdString();
            }
        }
    }
}

// Run in a folder of its own: help and a command line it cannot take draw nothing and make no folder.
TEST(Gallery, SaysItsUsageAndRefusesWhatItCannotTake) {
    const std::string usage = "usage: norvane-gallery [OUTPUT-FOLDER]\n";
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string output;
        std::string error;
    } cases[] = {
        {{"--help"}, 0, usage, ""},
        {{"-h"}, 0, usage, ""},
        {{"--bogus"}, 2, "", "norvane-gallery: unknown option --bogus\n" + usage},
        {{"one", "two"}, 2, "", "norvane-gallery: one output folder at most\n" + usage},
    };
    for (const auto& [arguments, status, output, error] : cases) {
        const norvane::testing::TemporaryFolder folder;
        const auto result = platform::PosixProcessRunner().run(
            {.executable = norvane::testing::builtProgram("norvane-gallery").string(),
             .arguments = arguments,
             .workingDirectory = folder.path()});
        EXPECT_EQ(result.exitStatus, status) << arguments[0];
        EXPECT_EQ(result.standardOutput.substr(0, output.size()), output) << arguments[0];
        // After what Qt may say of the display.
        EXPECT_TRUE(result.standardError.ends_with(error)) << result.standardError;
        EXPECT_EQ(norvane::testing::folderEntries(folder.path()), std::vector<std::string>{}) << arguments[0];
    }
}

} // namespace
} // namespace norvane::app
