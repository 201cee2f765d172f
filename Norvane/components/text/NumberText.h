#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace norvane::app {

/// The text that stands for "no value".
inline constexpr const char* noValueText = "--";

/// True for a figure that can be shown: finite and within the range of a 64-bit integer.
bool isShowableNumber(double value);

/// `value` when it holds a figure that can be shown; none for an absent one or one that cannot.
std::optional<double> showableValue(std::optional<double> value);

/// True when `text` means "no value": "--" or the empty string.
bool isNoValueText(const QString& text);

/// `value` with `decimals` fixed decimals, a full stop and no grouping, whatever the locale
/// ("%.1f"); "--" for a figure that cannot be shown. A value that rounds to zero never reads "-0".
QString formatFixed(double value, int decimals);

/// The signed whole percent "%+.0f%%" (+35%, -8%, +0% for anything that rounds to zero); "--" for
/// a figure that cannot be shown.
QString formatSignedPercent(double value);

/// The rounded whole percent "%.0f%%" (33.5 reads 34%); "--" for a figure that cannot be shown.
QString formatWholePercent(double percent);

/// The percent cut toward zero by the core's display rule (28.999999999999996 reads 29%); "--"
/// for a figure that cannot be shown.
QString formatTruncatedPercent(double percent);

/// A multiple with one decimal, "%.1fx" (12.3x); "--" for a figure that cannot be shown.
QString formatMultiplier(double value);

/// A whole number in the user's locale, with grouping ("1,500" in English).
QString formatNumber(std::int64_t value);

/// Millions as "%.1fM", thousands as "%.1fK", smaller counts as plain digits (2.5M, 1.5K, 999).
QString formatCompactCount(std::int64_t count);

/// Truncates toward zero; none for a figure that cannot be shown.
std::optional<long long> truncatedInteger(double value);

/// "$%.1fM" from a million up, "$%.0fK" from a thousand up, else "$%.0f".
QString formatCompactCurrency(double value);

} // namespace norvane::app
