#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/CompositionBar.h"
#include "Norvane/cards/OutputCompositionCard.h"
#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/theme/Palette.h"

#include <QSignalSpy>

namespace norvane::app {
namespace {

OutputComposition shares(double code, double docs, double tests, double config) {
    return {{1, 0, code}, {1, 0, docs}, {1, 0, tests}, {1, 0, config}};
}

TEST(OutputCompositionCard, LineTextsSegmentWidthsAndPhaseBoundaries) {
    EXPECT_EQ(OutputCompositionCard::formatLines(999), QStringLiteral("999 lines"));
    EXPECT_EQ(OutputCompositionCard::formatLines(1000), QStringLiteral("1.0K"));

    const auto segments = CompositionBar::segments(shares(60, 0.1, 39.9, 0), 500);
    ASSERT_EQ(segments.size(), 3) << "a zero share leaves no segment and no gap";
    EXPECT_EQ(segments[0].label, QStringLiteral("Code"));
    EXPECT_DOUBLE_EQ(segments[0].width, 300);
    EXPECT_EQ(segments[1].color, Palette::purple());
    EXPECT_DOUBLE_EQ(segments[1].x, 301);
    EXPECT_DOUBLE_EQ(segments[1].width, 2) << "a sliver is drawn 2 wide";
    EXPECT_DOUBLE_EQ(segments[2].x, 304);
    EXPECT_TRUE(CompositionBar::segments(shares(std::numeric_limits<double>::quiet_NaN(), 0, 0, 0), 500).empty());

    const struct {
        OutputComposition composition;
        const char* phase;
        const char* symbol;
        QColor color;
    } phases[] = {
        {OutputComposition{}, "Planning", "doc.text", Palette::purple()},
        {shares(10, 30.01, 50, 9.99), "Planning", "doc.text", Palette::purple()},
        {shares(60, 30, 5, 5), "Active Development", "hammer", Palette::blue()},
        {shares(55, 20, 10, 15), "Maintenance", "wrench.and.screwdriver", Palette::amber()},
        {shares(60, 15, 15, 10), "Maintenance", "wrench.and.screwdriver", Palette::amber()},
        {shares(50, 20, 25, 5), "Maintenance", "wrench.and.screwdriver", Palette::amber()},
        {shares(50, 20, 25.01, 4.99), "Stabilization", "checkmark.shield", Palette::green()},
    };
    for (const auto& entry : phases) {
        const auto look = OutputCompositionCard::phaseLook(entry.composition.inferredPhase());
        EXPECT_EQ(look.name, QString::fromLatin1(entry.phase));
        EXPECT_EQ(look.symbol, QString::fromLatin1(entry.symbol)) << entry.phase;
        EXPECT_EQ(look.color, entry.color) << entry.phase;
    }
}

using OutputCompositionCardWidget = testing::ComponentTest;

TEST_F(OutputCompositionCardWidget, ThePickerShowsTheOwnersWindowAndTheBodyTheComposition) {
    const OutputComposition docsOnly{{}, {600, 250, 100.0}, {}, {}};
    OutputCompositionCard card(docsOnly, 30, {30, 90, 365});
    testing::showAndSettle(card, 560);
    QSignalSpy chosen(&card, &OutputCompositionCard::daysChanged);
    testing::clickSegment(card.picker().picker(), 1);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.front().front().toInt(), 90);
    EXPECT_EQ(card.picker().selection(), 30) << "an owner that ignores the choice keeps its window";

    QObject::connect(&card, &OutputCompositionCard::daysChanged, &card, &OutputCompositionCard::setSelectedDays);
    testing::clickSegment(card.picker().picker(), 2);
    EXPECT_EQ(card.picker().selection(), 365);
    EXPECT_EQ(card.selectedDays(), 365);

    const auto* bar = card.findChild<CompositionBar*>();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->segments().size(), 1);
    EXPECT_DOUBLE_EQ(bar->segments().front().width, bar->width());
    for (const char* text : {"100%", "850 lines", "0 lines", "Phase Signal: Planning"}) {
        EXPECT_TRUE(testing::showsText(card, QString::fromLatin1(text))) << text;
    }

    card.setComposition(OutputComposition{});
    testing::showAndSettle(card, 560);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("No activity in this period")));
    EXPECT_EQ(card.findChild<CompositionBar*>(), nullptr);
    EXPECT_TRUE(card.picker().isVisible());
}

} // namespace
} // namespace norvane::app
