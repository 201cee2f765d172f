#include "Norvane/components/text/NumberText.h"

#include <fmt/format.h>

#include <cmath>

namespace norvane::app {

namespace {

// 2^63: the first magnitude that no 64-bit integer holds.
constexpr double integerLimit = 9223372036854775808.0;

QString toQString(const std::string& text) { return QString::fromStdString(text); }

} // namespace

bool isShowableNumber(double value) { return std::isfinite(value) && std::fabs(value) < integerLimit; }

bool isNoValueText(const QString& text) { return text.isEmpty() || text == QLatin1String(noValueText); }

QString formatFixed(double value, int decimals) {
    if (!isShowableNumber(value)) {
        return QString::fromLatin1(noValueText);
    }
    return toQString(fmt::format("{:.{}f}", value, decimals));
}

QString formatSignedPercent(double value) {
    if (!isShowableNumber(value)) {
        return QString::fromLatin1(noValueText);
    }
    return toQString(fmt::format("{:+.0f}%", value));
}

std::optional<long long> truncatedInteger(double value) {
    if (!isShowableNumber(value)) {
        return std::nullopt;
    }
    return static_cast<long long>(std::trunc(value));
}

QString formatCompactCurrency(double value) {
    if (!isShowableNumber(value)) {
        return QString::fromLatin1(noValueText);
    }
    if (value >= 1'000'000.0) {
        return toQString(fmt::format("${:.1f}M", value / 1'000'000.0));
    }
    if (value >= 1000.0) {
        return toQString(fmt::format("${:.0f}K", value / 1000.0));
    }
    return toQString(fmt::format("${:.0f}", value));
}

} // namespace norvane::app
