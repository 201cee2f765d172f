#pragma once

#include <optional>

#include <QColor>
#include <QFont>
#include <QString>

#include "Norvane/components/theme/Typography.h"

class QBoxLayout;
class QVBoxLayout;
class QWidget;

namespace norvane::app {

class ElidedLabel;
class RoundedPanel;
class StyledLabel;
class SymbolLabel;

/// The pieces that the wizard's steps share: their column, the large symbol over a title, the
/// rows of features, and the green box of something set up.
namespace StepLayout {

/// How a row of a symbol over a title and a description looks.
struct DetailLook {
    TextStyle symbolStyle;
    int symbolWidth;
    int spacing;
    QFont titleFont;
    TextStyle descriptionStyle;
};

/// The step's centred column, inset by the default padding.
QVBoxLayout* makeStepColumn(QWidget& step, int spacing);
/// A symbol drawn `pixelSize` high.
SymbolLabel* makeLargeSymbol(const QString& name, const QColor& color, int pixelSize = 48);
/// A text centred line by line, wrapped to the width it is given.
StyledLabel* makeCentredText(const QString& text, TextStyle style, const QColor& color,
                             std::optional<QFont::Weight> weight = std::nullopt);
/// `layout` in a widget as wide as its content plus `horizontalPadding` on each side.
QWidget* padded(QBoxLayout* layout, int horizontalPadding);
/// A feature in one line: its symbol in a 20-wide frame and its text, both secondary.
QWidget* makeFeatureRow(const QString& symbol, const QString& text);
/// A symbol in the accent blue beside a title over a description.
QWidget* makeDetailRow(const QString& symbol, const QString& title, const QString& description, const DetailLook& look);
/// A green check and `text` on a green box: something is set up. The text, a path in it too,
/// wraps over as many lines as the box's width needs. `label`, when given, receives its label.
RoundedPanel* makeStatusBox(const QString& text, ElidedLabel** label = nullptr);
/// A monospaced font in a text style.
QFont monospaced(TextStyle style, QFont::Weight weight = QFont::Normal);

} // namespace StepLayout
} // namespace norvane::app
