#pragma once

#include "platform/Date.h"

#include <QString>

#include <functional>
#include <limits>
#include <vector>

class QWidget;

namespace norvane::app {

/// One card in one of its named states, as the gallery pictures it and the card tests walk it.
struct CardSample {
    QString name;
    int width;
    std::function<QWidget*()> make;
    /// Brings the shown card into its state before the picture (a pointer over its chart, a
    /// click); none for a card that shows its state as made.
    std::function<void(QWidget*)> prepare;
};

/// Every analysis card in each of its states, including values that cannot be shown.
std::vector<CardSample> cardSamples();
/// The retention, suggestion, achievement and work-pattern cards in their states.
std::vector<CardSample> performanceCardSamples();

/// What the samples of both lists are made of: figures that are not known or beyond any bound,
/// and days counted back from today.
namespace samples {
inline constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
inline constexpr double infinity = std::numeric_limits<double>::infinity();

/// Midnight `days` days before today's midnight, in local time.
platform::Date daysAgo(int days);
} // namespace samples

} // namespace norvane::app
