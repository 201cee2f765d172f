#pragma once

#include "Norvane/components/tiles/TileFrame.h"

#include <QColor>

#include <map>
#include <optional>
#include <string>
#include <vector>

class QHBoxLayout;

namespace norvane::app {

class StyledLabel;
class SymbolLabel;

/// A tile that tells how concentrated recent work is across projects: a one-word verdict with a
/// symbol, a one-line summary, the three largest project shares as coloured dots, and the
/// focus index explained on hover.
class FocusIndicator : public TileFrame {
    Q_OBJECT
public:
    struct Verdict {
        QString symbol;
        QColor color;
        QString label;
    };
    struct ShareDot {
        QString projectName;
        QString text;
        QColor color;
    };
    struct ShareList {
        std::vector<ShareDot> dots;
        /// "+2" for two more projects than the three shown.
        std::optional<QString> overflow;
    };

    FocusIndicator(double focusIndex, int activeProjects, const std::map<std::string, double>& projectShares,
                   QWidget* parent = nullptr);

    void setValues(double focusIndex, int activeProjects, const std::map<std::string, double>& projectShares);

    /// Fewer than two projects: Single Focus; else by the index (above 0.6, above 0.35).
    static Verdict verdict(double focusIndex, int activeProjects);
    static QString summaryText(double focusIndex, int activeProjects);
    /// The largest shares first; three of them and the count of the rest from four on.
    static ShareList shareList(const std::map<std::string, double>& projectShares);
    /// One of eight colours, always the same for one name.
    static QColor dotColor(const QString& projectName);
    static QString tooltipText(double focusIndex, int activeProjects);

    const SymbolLabel& verdictSymbol() const { return *symbol_; }
    const StyledLabel& verdictLabel() const { return *label_; }
    const StyledLabel& summaryLabel() const { return *summary_; }
    /// The row of share dots; hidden below two projects.
    const QWidget& sharesRow() const { return *shares_; }

private:
    void showShares(const std::map<std::string, double>& projectShares);

    SymbolLabel* symbol_;
    StyledLabel* label_;
    StyledLabel* summary_;
    QWidget* shares_;
    QHBoxLayout* sharesLayout_;
};

} // namespace norvane::app
