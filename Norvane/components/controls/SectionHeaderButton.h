#pragma once

#include <QAbstractButton>

#include <optional>

namespace norvane::app {

class StyledLabel;
class SymbolLabel;
class Tween;

/// The full-width header row of a collapsible section: optional symbol, the title in spaced
/// capitals and a chevron that points down while the section is open.
class SectionHeaderButton : public QAbstractButton {
    Q_OBJECT
public:
    SectionHeaderButton(const QString& title, const std::optional<QString>& icon, bool expanded,
                        QWidget* parent = nullptr);

    void setExpanded(bool expanded);
    bool isHovered() const { return hovered_; }

    const StyledLabel& titleLabel() const { return *title_; }
    const SymbolLabel* iconLabel() const { return icon_; }
    const SymbolLabel& chevron() const { return *chevron_; }
    /// The opacity of the hover background (0 when not hovered).
    double hoverAmount() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void setHovered(bool hovered);
    void showHover(double amount);

    SymbolLabel* icon_ = nullptr;
    StyledLabel* title_;
    SymbolLabel* chevron_;
    Tween* hover_;
    Tween* rotation_;
    bool expanded_;
    bool hovered_ = false;
};

} // namespace norvane::app
