#pragma once

#include "Norvane/cards/kit/RoundedPanel.h"

#include <optional>
#include <vector>

namespace norvane::app {

class ComparisonBar;

/// The user's velocity retention against the community median: both figures, the difference, a
/// comparison bar, the user's percentile as a badge and a verdict for its band. Without the
/// user's retention it explains that projects need more history, or, where their early pace is
/// known, that the last 30 days had no commits in them, naming the projects each holds for.
class VelocityRetentionComparisonCard : public RoundedPanel {
    Q_OBJECT
public:
    struct Inputs {
        std::optional<double> userRetention;
        std::optional<double> industryMedian;
        std::optional<int> percentile;
        std::optional<QString> sizeBucket;
        /// The listed projects whose early pace is known, where a missing retention means a quiet
        /// month, and those too young for it.
        std::vector<QString> withBaseline;
        std::vector<QString> withoutBaseline;
    };

    /// What stands in for the figures without the user's retention.
    struct EmptyText {
        QString title;
        QString detail;
    };

    struct Verdict {
        QString symbol;
        QColor color;
        QString message;
    };

    /// The user's lead over the median (ahead from 0 up) and its size as a whole percent.
    struct Difference {
        bool ahead = true;
        QString text;
    };

    explicit VelocityRetentionComparisonCard(Inputs inputs, QWidget* parent = nullptr);

    /// The band colour of a percentile: green from 90, blue from 75, cyan from 50, amber from 25,
    /// red below 25 and outside 0...100.
    static QColor percentileColor(int percentile);
    static Verdict verdict(int percentile);
    /// "12th", "22nd".
    static QString ordinal(int percentile);
    /// "%.0f%%", or "--" for a missing figure.
    static QString percentText(std::optional<double> percent);
    static EmptyText emptyText(const std::vector<QString>& withBaseline, const std::vector<QString>& withoutBaseline);
    /// "atlas", "atlas and beacon", "atlas, beacon and pylon", "atlas, beacon, pylon and 2 more".
    static QString namesText(const std::vector<QString>& names);
    /// None unless both figures are present.
    static std::optional<Difference> difference(std::optional<double> userRetention,
                                                std::optional<double> industryMedian);

    /// The comparison bar; none while it is not shown.
    const ComparisonBar* bar() const { return bar_; }

private:
    QWidget* makeHeader() const;
    QWidget* makeFiguresRow() const;
    QWidget* makeBarSection();
    QWidget* makeVerdictBox(int percentile) const;

    Inputs inputs_;
    ComparisonBar* bar_ = nullptr;
};

} // namespace norvane::app
