#pragma once

#include <qcustomplot.h>

#include <functional>

namespace norvane::app {

/// Value-axis marks at the automatic positions, each labelled by a given text rule.
class LabelAxisTicker : public QCPAxisTicker {
public:
    using LabelText = std::function<QString(double)>;

    explicit LabelAxisTicker(LabelText labelText) : labelText_(std::move(labelText)) {}

    void setLabelText(LabelText labelText) { labelText_ = std::move(labelText); }

protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override { return labelText_(tick); }
    int getSubTickCount(double) override { return 0; }

private:
    LabelText labelText_;
};

} // namespace norvane::app
