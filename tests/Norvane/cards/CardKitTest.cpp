#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/kit/AdaptiveGridLayout.h"
#include "Norvane/cards/kit/ExpandableBody.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/theme/Palette.h"

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

#include <limits>

namespace norvane::app {
namespace {

using CardKit = testing::ComponentTest;

TEST_F(CardKit, ProgressTrackFillsTheFractionCutToTheTrack) {
    ProgressTrack track(6, 3.0, Palette::blue());
    testing::showAndSettle(track, 200);
    const struct {
        double fraction;
        double width;
    } cases[] = {{0.0, 0.0},
                 {0.2, 40.0},
                 {0.99, 198.0},
                 {1.0, 200.0},
                 {1.4, 200.0},
                 {-0.5, 0.0},
                 {std::numeric_limits<double>::quiet_NaN(), 0.0}};
    for (const auto& entry : cases) {
        track.setFraction(entry.fraction);
        EXPECT_DOUBLE_EQ(track.fillWidth(), entry.width) << entry.fraction;
    }
    EXPECT_EQ(track.height(), 6);
    track.setGoalMarker(QStringLiteral("\U0001F525"));
    EXPECT_EQ(track.height(), 12) << "the goal marker's disc is taller than the bar";
}

TEST_F(CardKit, AdaptiveGridFitsEqualColumnsAndCentresItsItems) {
    QWidget grid;
    auto* layout = new AdaptiveGridLayout(80, 8, &grid);
    std::vector<QWidget*> items;
    for (int index = 0; index < 5; ++index) {
        items.push_back(new QWidget);
        items.back()->setFixedSize(50, 30);
        layout->addWidget(items.back());
    }
    EXPECT_EQ(layout->columnCount(80), 1);
    EXPECT_EQ(layout->columnCount(167), 1);
    EXPECT_EQ(layout->columnCount(168), 2);
    EXPECT_EQ(layout->columnCount(519), 5);
    EXPECT_EQ(layout->columnCount(520), 6);
    EXPECT_EQ(layout->heightForWidth(168), 3 * 30 + 2 * 8);
    EXPECT_EQ(layout->heightForWidth(520), 30);
    testing::showAndSettle(grid, 256);
    EXPECT_EQ(grid.height(), 2 * 30 + 8) << "three columns of 80 fill 256 pixels";
    EXPECT_EQ(items[1]->geometry(), QRect(88 + 15, 0, 50, 30));
    EXPECT_EQ(items[3]->geometry(), QRect(15, 38, 50, 30));
}

TEST_F(CardKit, ExpandableBodyEasesItsHeightAwayThenHides) {
    QWidget card;
    auto* layout = new QVBoxLayout(&card);
    auto* body = new ExpandableBody(true);
    auto* content = new QWidget;
    content->setFixedHeight(120);
    (new QVBoxLayout(body))->addWidget(content);
    layout->addWidget(body);
    testing::showAndSettle(card, 200);
    Tween::setAnimationsEnabled(true);
    body->setExpanded(false);
    EXPECT_TRUE(body->isVisible()) << "the body folds over 0.2 s";
    EXPECT_TRUE(QTest::qWaitFor([body] { return body->isHidden(); }));
    EXPECT_EQ(body->openness(), 0.0);
    body->setExpanded(true);
    EXPECT_TRUE(QTest::qWaitFor([body] { return body->openness() == 1.0; }));
    EXPECT_EQ(body->maximumHeight(), QWIDGETSIZE_MAX);
    Tween::setAnimationsEnabled(false);
}

// Found by opening the Insights section with the keyboard: the suggestions card's open body showed
// itself as a window of its own before it joined the card, and the page's window lost the focus.
TEST_F(CardKit, AnOpenBodyMadeBeforeItsCardShowsNoWindowOfItsOwn) {
    QWidget window;
    testing::showAndSettle(window, 200);
    const auto windows = QApplication::topLevelWidgets().size();
    ExpandableBody open(true);
    EXPECT_FALSE(open.isVisible());
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windows + 1) << "made, not shown";
    auto* joined = new ExpandableBody(true);
    (new QVBoxLayout(&window))->addWidget(joined);
    QApplication::processEvents();
    EXPECT_TRUE(joined->isVisible()) << "shown with its card";
    auto* folded = new ExpandableBody(false);
    window.layout()->addWidget(folded);
    QApplication::processEvents();
    EXPECT_TRUE(folded->isHidden());
}

} // namespace
} // namespace norvane::app
