#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/ImprovementSuggestionsCard.h"
#include "Norvane/cards/kit/CapsuleBadge.h"
#include "Norvane/cards/kit/ChevronButton.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QApplication>
#include <QTest>

namespace norvane::app {
namespace {

using Content = ImprovementSuggestionsCard::Content;

UserPercentiles percentiles(std::optional<int> throughput, std::optional<int> consistency,
                            std::optional<int> retention) {
    return {.sizeBucket = "Medium",
            .throughputPercentile = throughput,
            .velocityRetentionPercentile = retention,
            .consistencyPercentile = consistency};
}

TEST(ImprovementSuggestionsCard, ContentFollowsTheTwoLists) {
    EXPECT_EQ(ImprovementSuggestionsCard::content(std::nullopt), Content::benchmarksRequired);
    EXPECT_EQ(ImprovementSuggestionsCard::content(percentiles(10, 30, 80)), Content::focusAreasAndStrengths);
    EXPECT_EQ(ImprovementSuggestionsCard::content(percentiles(40, std::nullopt, 20)), Content::focusAreas);
    EXPECT_EQ(ImprovementSuggestionsCard::content(percentiles(75, 90, 100)), Content::strengths);
    EXPECT_EQ(ImprovementSuggestionsCard::content(percentiles(50, 60, 74)), Content::doingGreat);
    EXPECT_EQ(ImprovementSuggestionsCard::content(percentiles(std::nullopt, std::nullopt, std::nullopt)),
              Content::doingGreat)
        << "present percentiles without figures are not missing benchmarks";
}

TEST(ImprovementSuggestionsCard, ABadgeNamesThePercentileWhenThereIsOne) {
    ImprovementSuggestion item;
    EXPECT_FALSE(ImprovementSuggestionsCard::badgeText(item).has_value());
    item.currentPercentile = 93;
    EXPECT_EQ(ImprovementSuggestionsCard::badgeText(item), QStringLiteral("93rd %ile"));
}

QStringList shownTexts(const QWidget& card) {
    QStringList texts;
    for (const StyledLabel* label : card.findChildren<StyledLabel*>()) {
        if (label->isVisibleTo(&card)) {
            texts.append(label->text());
        }
    }
    return texts;
}

using ImprovementSuggestionsWidget = testing::ComponentTest;

TEST_F(ImprovementSuggestionsWidget, ListsFocusAreasThenStrengthsAndFoldsAway) {
    ImprovementSuggestionsCard card(percentiles(10, 30, 80));
    testing::showAndSettle(card, 560);
    const QStringList texts = shownTexts(card);
    const QStringList order = {"FOCUS AREAS", "Boost Your Output", "Increase Active Days", "YOUR STRENGTHS",
                               "Scalable Architecture"};
    qsizetype position = -1;
    for (const QString& text : order) {
        const qsizetype found = texts.indexOf(text);
        EXPECT_GT(found, position) << text.toStdString();
        position = found;
    }
    EXPECT_EQ(card.findChildren<Divider*>().size(), 1);
    const auto badges = card.findChildren<CapsuleBadge*>();
    ASSERT_EQ(badges.size(), 3);
    EXPECT_EQ(badges[2]->text(), QStringLiteral("80th %ile"));
    EXPECT_EQ(badges[2]->color(), Palette::green());

    QTest::mouseClick(&card.expandButton(), Qt::LeftButton);
    EXPECT_FALSE(card.isExpanded());
    EXPECT_EQ(card.expandButton().symbol().symbolName(), QStringLiteral("chevron.down"));
    EXPECT_FALSE(testing::showsText(card, QStringLiteral("Boost Your Output")));
    QTest::mouseClick(&card.expandButton(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Boost Your Output")));
    EXPECT_EQ(card.expandButton().symbol().symbolName(), QStringLiteral("chevron.up"));
}

} // namespace
} // namespace norvane::app
