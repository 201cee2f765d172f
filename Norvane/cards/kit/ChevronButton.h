#pragma once

#include <QAbstractButton>

namespace norvane::app {

class SymbolLabel;

/// The plain expand button of a collapsible card: "chevron.up" while the card is open,
/// "chevron.down" while it is closed, in the caption size and the secondary text colour.
class ChevronButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ChevronButton(bool expanded, QWidget* parent = nullptr);

    void setExpanded(bool expanded);
    const SymbolLabel& symbol() const { return *symbol_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SymbolLabel* symbol_;
};

} // namespace norvane::app
