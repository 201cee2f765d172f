#pragma once

#include <QString>

#include <functional>
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

} // namespace norvane::app
