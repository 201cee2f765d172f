#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/AchievementMedal.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/gallery/CardSamples.h"

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

} // namespace
} // namespace norvane::app
