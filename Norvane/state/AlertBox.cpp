#include "Norvane/state/AlertBox.h"

#include <algorithm>

#include <QLabel>
#include <QLayout>
#include <QScreen>

namespace norvane::app {
namespace {

constexpr int narrowestText = 320;
// Wide enough for the one-line build instruction of a missing command-line tool.
constexpr int widestText = 840;

int widestLine(const QString& text, const QFontMetrics& metrics) {
    int widest = 0;
    for (const auto& line : text.split(QLatin1Char('\n'))) widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

/// The informative text's width: its widest line, as far as half the screen leaves room for it
/// beside the icon and the margins.
int textWidth(QMessageBox& box, QLabel& informative, const QString& text) {
    informative.setMinimumWidth(narrowestText);
    const int besideText = box.layout()->totalMinimumSize().width() - narrowestText;
    // QMessageBox fixes its width at no more than a share of the screen, never less than half of
    // it, and cuts off at its right edge whatever is wider.
    const int room = box.screen()->availableGeometry().width() / 2 - besideText;
    // One pixel per line of slack: a text measured exactly to its width may still wrap.
    const int widest = widestLine(text, informative.fontMetrics()) + 2;
    return std::max(narrowestText, std::min({widest, widestText, room}));
}

} // namespace

std::unique_ptr<QMessageBox> AlertBox::make(QMessageBox::Icon icon, const QString& title, const QString& text) {
    auto box = std::make_unique<QMessageBox>();
    box->setIcon(icon);
    box->setWindowTitle(title);
    box->setText(title);
    box->setInformativeText(text);
    // The box sizes itself by its title and lets the informative text wrap at any break it
    // allows, a slash included; a minimum width on that text widens the box instead.
    if (auto* informative = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        informative->setMinimumWidth(textWidth(*box, *informative, text));
    }
    return box;
}

void AlertBox::run(QMessageBox::Icon icon, const QString& title, const QString& text) {
    const auto box = make(icon, title, text);
    box->addButton(QMessageBox::Ok);
    box->exec();
}

} // namespace norvane::app
