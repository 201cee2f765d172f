#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/OptInPromptCard.h"
#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QSignalSpy>
#include <QTest>

namespace norvane::app {
namespace {

TEST(OptInPromptCard, StatusLineAndUnlockProgressByContributorCount) {
    const QString early = QStringLiteral("Early benchmarks unlock at 100 contributors");
    const QString full = QStringLiteral("Full benchmarks unlock at 500 contributors");
    const struct {
        int count;
        const char* symbol;
        QColor color;
        QString text;
        int target; // 0: no bar
        double fraction;
        QString caption;
    } cases[] = {
        {0, "person.badge.plus", Palette::amber(), "0/100 contributors for early benchmarks", 100, 0.0, early},
        {50, "person.badge.plus", Palette::amber(), "50/100 contributors for early benchmarks", 100, 0.5, early},
        {99, "person.badge.plus", Palette::amber(), "99/100 contributors for early benchmarks", 100, 0.99, early},
        {100, "person.2.fill", Palette::blue(), "100 developers contributing - benchmarks available!", 500, 0.2, full},
        {499, "person.2.fill", Palette::blue(), "499 developers contributing - benchmarks available!", 500, 0.998,
         full},
        {500, "person.3.fill", Palette::green(), "Join 500+ developers already contributing", 0, 0.0, {}},
        {12000, "person.3.fill", Palette::green(), "Join 12000+ developers already contributing", 0, 0.0, {}},
    };
    for (const auto& entry : cases) {
        const auto status = OptInPromptCard::contributorStatus(entry.count);
        EXPECT_EQ(status.symbol, QString::fromLatin1(entry.symbol)) << entry.count;
        EXPECT_EQ(status.color, entry.color) << entry.count;
        EXPECT_EQ(status.text, entry.text) << entry.count;
        const auto progress = OptInPromptCard::unlockProgress(entry.count);
        ASSERT_EQ(progress.has_value(), entry.target != 0) << entry.count;
        if (progress) {
            EXPECT_EQ(progress->target, entry.target) << entry.count;
            EXPECT_DOUBLE_EQ(progress->fraction, entry.fraction) << entry.count;
            EXPECT_EQ(progress->caption, entry.caption) << entry.count;
        }
    }
}

using OptInPromptCardWidget = testing::ComponentTest;

TEST_F(OptInPromptCardWidget, ButtonsOnlyReportTheirPressAndTheBarGoesAt500) {
    OptInPromptCard card(99);
    testing::showAndSettle(card, 560);
    QSignalSpy optIns(&card, &OptInPromptCard::optInRequested);
    QSignalSpy learnMores(&card, &OptInPromptCard::learnMoreRequested);
    QTest::mouseClick(&card.optInButton(), Qt::LeftButton);
    EXPECT_EQ(optIns.size(), 1);
    EXPECT_EQ(learnMores.size(), 0);
    QTest::mouseClick(&card.learnMoreButton(), Qt::LeftButton);
    EXPECT_EQ(learnMores.size(), 1);
    EXPECT_GT(card.optInButton().width(), card.learnMoreButton().width()) << "the opt-in label takes the row";
    EXPECT_TRUE(card.unlockBar().isVisible());
    EXPECT_NEAR(card.unlockBar().fillWidth(), 0.99 * card.unlockBar().width(), 0.01);
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Early benchmarks unlock at 100 contributors")));

    card.setContributorCount(500);
    EXPECT_FALSE(card.unlockBar().isVisible());
    EXPECT_FALSE(card.unlockCaption().isVisible());
    EXPECT_TRUE(testing::showsText(card, QStringLiteral("Join 500+ developers already contributing")));
}

} // namespace
} // namespace norvane::app
