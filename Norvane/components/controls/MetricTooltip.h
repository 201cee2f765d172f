#pragma once

#include <QString>

#include <array>

namespace norvane::app {

/// The metrics whose meaning the views explain on request, each with a short title and a fixed
/// explanation.
class MetricTooltip {
public:
    enum Case {
        leverage,
        rollingLeverage,
        estimatedValue,
        traditionalTime,
        linesOfCode,
        complexity,
        files,
        comments,
        dailyThroughput,
        parallelism,
        capacityUtilization
    };

    constexpr MetricTooltip(Case value) : case_(value) {}

    static constexpr std::array<MetricTooltip, 11> allCases() {
        return {leverage, rollingLeverage, estimatedValue,  traditionalTime, linesOfCode,        complexity,
                files,    comments,        dailyThroughput, parallelism,     capacityUtilization};
    }

    constexpr Case value() const { return case_; }
    QString title() const;
    QString description() const;

    friend constexpr bool operator==(MetricTooltip left, MetricTooltip right) { return left.case_ == right.case_; }

private:
    Case case_;
};

} // namespace norvane::app
