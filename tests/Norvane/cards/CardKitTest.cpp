#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/theme/Palette.h"

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

} // namespace
} // namespace norvane::app
