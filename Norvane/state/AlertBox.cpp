#include "Norvane/state/AlertBox.h"

#include <algorithm>

#include <QLabel>

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
        // One pixel per line of slack: a text measured exactly to its width may still wrap.
        const int width = widestLine(text, informative->fontMetrics()) + 2;
        informative->setMinimumWidth(std::clamp(width, narrowestText, widestText));
    }
    return box;
}

void AlertBox::run(QMessageBox::Icon icon, const QString& title, const QString& text) {
    const auto box = make(icon, title, text);
    box->addButton(QMessageBox::Ok);
    box->exec();
}

} // namespace norvane::app
