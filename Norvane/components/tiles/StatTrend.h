#pragma once

#include <QColor>
#include <QString>

#include <optional>

namespace norvane::app {

/// The change indicator beside a summary figure: up or down with a short text, or neutral.
class StatTrend {
public:
    enum class Direction { up, down, neutral };

    static StatTrend up(QString text) { return {Direction::up, std::move(text)}; }
    static StatTrend down(QString text) { return {Direction::down, std::move(text)}; }
    static StatTrend neutral() { return {Direction::neutral, {}}; }

    Direction direction() const { return direction_; }
    const QString& text() const { return text_; }

    /// What the card shows: an arrow symbol, the text and their colour; none for neutral.
    struct Shown {
        QString symbol;
        QString text;
        QColor color;
    };
    std::optional<Shown> shown() const;

private:
    StatTrend(Direction direction, QString text) : direction_(direction), text_(std::move(text)) {}

    Direction direction_;
    QString text_;
};

} // namespace norvane::app
