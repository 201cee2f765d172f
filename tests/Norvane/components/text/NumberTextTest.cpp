#include "Norvane/components/text/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

namespace norvane::app {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

TEST(NumberText, FixedDecimalsUseAFullStopAndNoGrouping) {
    EXPECT_EQ(formatFixed(1.84, 1), QStringLiteral("1.8"));
    EXPECT_EQ(formatFixed(3.0, 1), QStringLiteral("3.0"));
    EXPECT_EQ(formatFixed(1234567.891, 2), QStringLiteral("1234567.89"));
    EXPECT_EQ(formatFixed(-0.4, 0), QStringLiteral("0"));
    EXPECT_EQ(formatFixed(-0.04, 1), QStringLiteral("0.0"));
    EXPECT_EQ(formatFixed(-0.06, 1), QStringLiteral("-0.1"));
}

TEST(NumberText, FiguresThatCannotBeShownReadAsNoValue) {
    for (const double value : {nan, infinity, -infinity, 1e19, -1e300}) {
        EXPECT_EQ(formatFixed(value, 1), QStringLiteral("--")) << value;
        EXPECT_EQ(formatSignedPercent(value), QStringLiteral("--")) << value;
        EXPECT_EQ(formatCompactCurrency(value), QStringLiteral("--")) << value;
        EXPECT_FALSE(truncatedInteger(value).has_value()) << value;
    }
    EXPECT_EQ(truncatedInteger(9.2e18), 9200000000000000000LL);
}

TEST(NumberText, PercentMultiplierCompactCountAndCurrencyTexts) {
    const struct {
        QString text;
        const char* expected;
    } cases[] = {{formatWholePercent(33.5), "34%"},
                 {formatWholePercent(-0.3), "0%"},
                 {formatWholePercent(nan), "--"},
                 {formatTruncatedPercent(0.29 * 100), "29%"},
                 {formatTruncatedPercent(99.9), "99%"},
                 {formatTruncatedPercent(-0.5), "0%"},
                 {formatTruncatedPercent(infinity), "--"},
                 {formatMultiplier(12.34), "12.3x"},
                 {formatMultiplier(-0.01), "0.0x"},
                 {formatMultiplier(nan), "--"},
                 {formatCompactCount(999), "999"},
                 {formatCompactCount(1000), "1.0K"},
                 {formatCompactCount(999'999), "1000.0K"},
                 {formatCompactCount(2'500'000), "2.5M"},
                 {formatCompactCurrency(-0.3), "$0"},
                 {formatSignedPercent(35.0), "+35%"},
                 {formatSignedPercent(-8.0), "-8%"},
                 {formatSignedPercent(0.4), "+0%"},
                 {formatSignedPercent(-0.4), "+0%"},
                 {formatCompactCurrency(999), "$999"},
                 {formatCompactCurrency(1000), "$1K"},
                 {formatCompactCurrency(1500), "$2K"},
                 {formatCompactCurrency(999999), "$1000K"},
                 {formatCompactCurrency(1'000'000), "$1.0M"},
                 {formatCompactCurrency(2'500'000), "$2.5M"},
                 {formatCompactCurrency(12.4), "$12"}};
    for (const auto& entry : cases) {
        EXPECT_EQ(entry.text, QString::fromLatin1(entry.expected)) << entry.expected;
    }
}

TEST(NumberText, IgnoresTheProcessNumericLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr && std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    EXPECT_EQ(formatFixed(1.25, 2), QStringLiteral("1.25"));
    EXPECT_EQ(formatCompactCurrency(2'500'000), QStringLiteral("$2.5M"));
    std::setlocale(LC_NUMERIC, previous.c_str());
}

} // namespace
} // namespace norvane::app
