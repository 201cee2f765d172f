#include "Norvane/components/text/NumberText.h"

#include "core/analytics/WholePercent.h"

#include <fmt/format.h>

#include <cmath>

#include <QLocale>

namespace norvane::app {

namespace {

// 2^63: the first magnitude that no 64-bit integer holds.
constexpr double integerLimit = 9223372036854775808.0;

QString toQString(const std::string& text) { return QString::fromStdString(text); }

QString noValue() { return QString::fromLatin1(noValueText); }

// printf writes "-0" for a negative value that rounds to zero; a zero reads the same either way.
std::string withoutNegativeZero(std::string text) {
    const auto minus = text.find('-');
    if (minus != std::string::npos && text.find_first_of("123456789") == std::string::npos) {
        text.erase(minus, 1);
    }
    return text;
}

} // namespace

bool isShowableNumber(double value) { return std::isfinite(value) && std::fabs(value) < integerLimit; }

std::optional<double> showableValue(std::optional<double> value) {
    return value && isShowableNumber(*value) ? value : std::nullopt;
}

bool isNoValueText(const QString& text) { return text.isEmpty() || text == QLatin1String(noValueText); }

QString formatFixed(double value, int decimals) {
    if (!isShowableNumber(value)) {
        return noValue();
    }
    return toQString(withoutNegativeZero(fmt::format("{:.{}f}", value, decimals)));
}

QString formatSignedPercent(double value) {
    if (!isShowableNumber(value)) {
        return noValue();
    }
    const std::string magnitude = withoutNegativeZero(fmt::format("{:.0f}%", value));
    return toQString(magnitude.starts_with('-') ? magnitude : "+" + magnitude);
}

QString formatWholePercent(double percent) {
    return isShowableNumber(percent) ? formatFixed(percent, 0) + QStringLiteral("%") : noValue();
}

QString formatTruncatedPercent(double percent) {
    return isShowableNumber(percent) ? QString::number(wholePercent(percent)) + QStringLiteral("%") : noValue();
}

QString formatMultiplier(double value) {
    return isShowableNumber(value) ? formatFixed(value, 1) + QStringLiteral("x") : noValue();
}

QString formatCompactCount(std::int64_t count) {
    if (count >= 1'000'000) {
        return toQString(fmt::format("{:.1f}M", static_cast<double>(count) / 1'000'000.0));
    }
    if (count >= 1000) {
        return toQString(fmt::format("{:.1f}K", static_cast<double>(count) / 1000.0));
    }
    return QString::number(count);
}

std::optional<long long> truncatedInteger(double value) {
    if (!isShowableNumber(value)) {
        return std::nullopt;
    }
    return static_cast<long long>(std::trunc(value));
}

QString formatCompactCurrency(double value) {
    if (!isShowableNumber(value)) {
        return noValue();
    }
    if (value >= 1'000'000.0) {
        return toQString(fmt::format("${:.1f}M", value / 1'000'000.0));
    }
    if (value >= 1000.0) {
        return toQString(fmt::format("${:.0f}K", value / 1000.0));
    }
    return toQString(withoutNegativeZero(fmt::format("${:.0f}", value)));
}

QString formatNumber(std::int64_t value) {
    const QString text = QLocale().toString(static_cast<qlonglong>(value));
    return text.isEmpty() ? QString::number(value) : text;
}

} // namespace norvane::app
