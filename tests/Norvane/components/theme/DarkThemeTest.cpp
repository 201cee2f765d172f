#include "tests/Norvane/components/ComponentTestSupport.h"

#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/components/theme/Palette.h"

#include <QApplication>
#include <QLabel>
#include <QToolTip>

namespace norvane::app {
namespace {

using DarkThemeTest = testing::ComponentTest;

// Tooltips keep the palette that the desktop's theme gave them when the application started: light
// boxes on the dark interface.
TEST_F(DarkThemeTest, TooltipsAreDrawnInTheDarkColours) {
    QPalette desktop;
    desktop.setColor(QPalette::ToolTipBase, QColor(255, 255, 220));
    desktop.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(desktop);
    DarkTheme::apply(*qApp);

    QWidget owner;
    testing::showAndSettle(owner, 200);
    QToolTip::showText(owner.mapToGlobal(QPoint(20, 20)), QStringLiteral("Collect metrics for all projects"), &owner);
    QLabel* tip = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->inherits("QTipLabel")) tip = qobject_cast<QLabel*>(window);
    }
    ASSERT_NE(tip, nullptr);
    const QImage picture = tip->grab().toImage();
    const QColor background = picture.pixelColor(picture.width() / 2, 2);
    EXPECT_LT(background.lightness(), Palette::backgroundRaised().lightness() + 8) << background.name().toStdString();
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, 0).rgb(), Palette::textMuted().rgb()) << "a quiet edge";
    EXPECT_EQ(tip->palette().color(QPalette::ToolTipText), Palette::textPrimary());
    QToolTip::hideText();
}

} // namespace
} // namespace norvane::app
