#include "Norvane/pages/TrayBalloon.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "Norvane/components/theme/Palette.h"
#include "tests/Norvane/state/TestApplication.h"

namespace norvane::app {
namespace {

// Found on a desktop without a notification service: the tray icon's own balloon was light yellow
// on the dark theme. Ours is the theme's raised card, by the icon (or in the screen's top right
// corner), and goes at a click or after a while.
TEST(TrayBalloon, ShowsTheMessageOnTheDarkCardByTheIconUntilClicked) {
    norvane::testing::testApplication();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect icon(screen.right() - 40, screen.top(), 24, 24);
    for (const QRect& anchor : {icon, QRect()}) {
        QPointer balloon = new TrayBalloon("Norvane", "Metrics collection completed");
        balloon->showNear(anchor);
        EXPECT_EQ(balloon->title(), "Norvane");
        EXPECT_EQ(balloon->body(), "Metrics collection completed");
        const QRect placed = balloon->geometry();
        EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();
        if (anchor.isEmpty()) {
            EXPECT_LT(screen.right() - placed.right(), 20) << "in the top right corner";
            EXPECT_LT(placed.top() - screen.top(), 20);
        } else {
            EXPECT_FALSE(placed.intersects(icon));
            EXPECT_LT(placed.top() - icon.bottom(), 20) << "under the icon";
        }

        const QImage drawn = balloon->grab().toImage();
        const QColor middle = drawn.pixelColor(drawn.width() / 2, drawn.height() - 4);
        EXPECT_EQ(middle.rgb(), Palette::backgroundRaised().rgb()) << middle.name().toStdString();
        EXPECT_LT(middle.lightness(), 64);

        QTest::mouseClick(balloon, Qt::LeftButton, {}, QPoint(8, 8));
        EXPECT_TRUE(QTest::qWaitFor([&] { return balloon.isNull(); }, 5'000)) << "closed and gone";
    }
}

} // namespace
} // namespace norvane::app
