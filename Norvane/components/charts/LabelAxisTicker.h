#pragma once

#include <qcustomplot.h>

#include <functional>

namespace norvane::app {

/// Value-axis marks at the automatic positions, each labelled by a given text rule. Marks closer
/// than the rule can tell apart ("1.2" three times) are spread to the next round step instead.
class LabelAxisTicker : public QCPAxisTicker {
public:
    using LabelText = std::function<QString(double)>;

    explicit LabelAxisTicker(LabelText labelText) : labelText_(std::move(labelText)) {}

    void setLabelText(LabelText labelText) { labelText_ = std::move(labelText); }

protected:
    double getTickStep(const QCPRange& range) override;
    QString getTickLabel(double tick, const QLocale&, QChar, int) override { return labelText_(tick); }
    int getSubTickCount(double) override { return 0; }

private:
    /// Whether two neighbouring marks of `step` over `range` would read the same.
    bool labelsRepeat(const QCPRange& range, double step) const;

    LabelText labelText_;
};

} // namespace norvane::app
