#pragma once

#include <QPushButton>

namespace norvane::app {

/// A push button in the dark look: a rounded, bordered button, or a prominent one filled with the
/// accent blue. An optional registry symbol leads its text.
class BorderedButton : public QPushButton {
    Q_OBJECT
public:
    enum class Prominence { standard, prominent };

    BorderedButton(const QString& text, Prominence prominence, const QString& symbol = {}, QWidget* parent = nullptr);

    Prominence prominence() const { return prominence_; }
    const QString& symbolName() const { return symbol_; }

private:
    Prominence prominence_;
    QString symbol_;
};

} // namespace norvane::app
