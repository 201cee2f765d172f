#include "Norvane/pages/TrayBalloon.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include "Norvane/components/theme/Palette.h"
#include "Norvane/pages/PanelPlacement.h"
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

// Found on a project page: "Metrics collection completed" stood for seconds over the Collect button
// and the Active badge of the window under the tray.
TEST(TrayBalloon, StandsWhereItCoversNoWindowOfTheApplication) {
    norvane::testing::testApplication();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect icon(screen.right() - 40, screen.top(), 24, 24);
    QWidget window;
    window.setGeometry(screen.center().x(), screen.top() + 30, screen.width() / 2 - 10, screen.height() / 2);
    window.show();
    for (const QRect& anchor : {icon, QRect()}) {
        QPointer balloon = new TrayBalloon("Norvane", "Metrics collection completed");
        balloon->showNear(anchor);
        const QRect placed = balloon->geometry();
        EXPECT_TRUE(screen.contains(placed));
        EXPECT_FALSE(placed.intersects(window.frameGeometry())) << placed.x() << "," << placed.y();
        EXPECT_LT(screen.right() - placed.right(), 20) << "in the bottom right corner, the first that is free";
        EXPECT_LT(screen.bottom() - placed.bottom(), 20);
        delete balloon;
    }
}

TEST(PanelPlacement, TakesThePlaceThatCoversTheLeastOfTheWindows) {
    const QSize panel(100, 50);
    const std::vector<QPoint> places{{0, 0}, {200, 0}, {0, 200}};
    EXPECT_EQ(PanelPlacement::clearOf(places, panel, {}), QPoint(0, 0));
    EXPECT_EQ(PanelPlacement::clearOf(places, panel, {QRect(50, 0, 300, 60)}), QPoint(0, 200));
    // Every place covers a window: the least covered one, 10x50 of the first window.
    EXPECT_EQ(PanelPlacement::clearOf(places, panel, {QRect(90, 0, 300, 60), QRect(0, 200, 60, 60)}), QPoint(0, 0));
}

} // namespace
} // namespace norvane::app
