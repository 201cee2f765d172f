#pragma once

#include "Norvane/components/tiles/SummaryStat.h"

#include <QWidget>

namespace norvane::app {

class StyledLabel;
class SymbolLabel;
class Tween;

/// One small headline card: the figure with an optional trend, its label, an optional sublabel,
/// and a lighter fill and border while the pointer is over it.
class SummaryStatCard : public QWidget {
    Q_OBJECT
public:
    explicit SummaryStatCard(const SummaryStat& stat, QWidget* parent = nullptr);

    void setStat(const SummaryStat& stat);
    const QUuid& statId() const { return id_; }

    /// Text-secondary for "--" or an empty value, else text-primary.
    static QColor valueColor(const QString& value);

    bool isHovered() const { return hovered_; }
    QColor fillColor() const;
    QColor borderColor() const;
    const StyledLabel& valueLabel() const { return *value_; }
    const StyledLabel& label() const { return *label_; }
    const StyledLabel& sublabel() const { return *sublabel_; }
    /// The trend, hidden for a neutral or absent trend.
    const QWidget& trendRow() const { return *trendRow_; }
    const SymbolLabel& trendArrow() const { return *trendArrow_; }
    const StyledLabel& trendText() const { return *trendText_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QUuid id_;
    StyledLabel* value_;
    QWidget* trendRow_;
    SymbolLabel* trendArrow_;
    StyledLabel* trendText_;
    StyledLabel* label_;
    StyledLabel* sublabel_;
    Tween* hover_;
    bool hovered_ = false;
};

} // namespace norvane::app
