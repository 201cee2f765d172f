#pragma once

#include "Norvane/components/theme/Typography.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>
#include <string_view>

class QBoxLayout;
class QHBoxLayout;
class QLayout;
class QVBoxLayout;
class QWidget;

namespace norvane::app {

class StyledLabel;
class SymbolLabel;

/// The core's UTF-8 text as a Qt string.
QString fromCore(std::string_view text);

/// The platform's default spacing between the items of a stack.
inline constexpr int defaultSpacing = 8;

/// A label in a text style (with `weight` in place of the style's own when given) and a colour.
StyledLabel* makeLabel(const QString& text, TextStyle style, const QColor& color,
                       std::optional<QFont::Weight> weight = std::nullopt);
/// A symbol of the registry sized for a text style.
SymbolLabel* makeSymbol(const QString& name, TextStyle style, const QColor& color);
/// A horizontal or vertical stack without margins.
QHBoxLayout* makeRow(int spacing);
QVBoxLayout* makeColumn(int spacing);
/// A widget holding `layout`, for stacks that a card swaps as a whole.
QWidget* wrap(QBoxLayout* layout);
/// Deletes every item of `layout` from `from` on, with its widgets and nested layouts.
void clearLayout(QLayout* layout, int from = 0);

} // namespace norvane::app
