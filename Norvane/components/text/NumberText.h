#pragma once

#include <QString>

#include <optional>

namespace norvane::app {

/// The text that stands for "no value".
inline constexpr const char* noValueText = "--";

/// True for a figure that can be shown: finite and within the range of a 64-bit integer.
bool isShowableNumber(double value);

/// True when `text` means "no value": "--" or the empty string.
bool isNoValueText(const QString& text);

/// `value` with `decimals` fixed decimals, a full stop and no grouping, whatever the locale
/// ("%.1f"); "--" for a figure that cannot be shown.
QString formatFixed(double value, int decimals);

/// The signed whole percent "%+.0f%%" (+35%, -0%); "--" for a figure that cannot be shown.
QString formatSignedPercent(double value);

/// Truncates toward zero; none for a figure that cannot be shown.
std::optional<long long> truncatedInteger(double value);

/// "$%.1fM" from a million up, "$%.0fK" from a thousand up, else "$%.0f".
QString formatCompactCurrency(double value);

} // namespace norvane::app
