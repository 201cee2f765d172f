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
};

/// Every analysis card in each of its states, including values that cannot be shown.
std::vector<CardSample> cardSamples();

} // namespace norvane::app
