#include "Norvane/cards/FocusIndicator.h"

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ColorDot.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>
#include <QHash>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace norvane::app {

namespace {

using NamedShare = std::pair<std::string, double>;

// A share that is not a number sorts after every real one.
double sortKey(double share) { return std::isnan(share) ? -std::numeric_limits<double>::infinity() : share; }

} // namespace

FocusIndicator::FocusIndicator(double focusIndex, int activeProjects,
                               const std::map<std::string, double>& projectShares, QWidget* parent)
    : TileFrame(parent), symbol_(makeSymbol({}, TextStyle::title2, Palette::blue())),
      label_(makeLabel({}, TextStyle::title2, Palette::textPrimary(), QFont::DemiBold)),
      summary_(makeLabel({}, TextStyle::caption, Palette::textSecondary())), sharesLayout_(makeRow(8)) {
    auto* verdictRow = makeRow(6);
    verdictRow->addWidget(symbol_);
    verdictRow->addWidget(label_);
    contentLayout()->addLayout(verdictRow);
    contentLayout()->setAlignment(verdictRow, Qt::AlignHCenter);
    contentLayout()->addWidget(summary_, 0, Qt::AlignHCenter);
    shares_ = wrap(sharesLayout_);
    contentLayout()->addWidget(shares_, 0, Qt::AlignHCenter);
    setValues(focusIndex, activeProjects, projectShares);
}

void FocusIndicator::setValues(double focusIndex, int activeProjects,
                               const std::map<std::string, double>& projectShares) {
    const Verdict shown = verdict(focusIndex, activeProjects);
    symbol_->setSymbolName(shown.symbol);
    symbol_->setColor(shown.color);
    label_->setText(shown.label);
    summary_->setText(summaryText(focusIndex, activeProjects));
    shares_->setVisible(activeProjects >= 2);
    showShares(projectShares);
    setToolTip(tooltipText(focusIndex, activeProjects));
}

void FocusIndicator::showShares(const std::map<std::string, double>& projectShares) {
    clearLayout(sharesLayout_);
    const ShareList list = shareList(projectShares);
    for (const ShareDot& dot : list.dots) {
        auto* pair = makeRow(2);
        pair->addWidget(new ColorDot(6, dot.color));
        pair->addWidget(makeLabel(dot.text, TextStyle::caption2, Palette::textSecondary()));
        sharesLayout_->addLayout(pair);
    }
    if (list.overflow) {
        sharesLayout_->addWidget(makeLabel(*list.overflow, TextStyle::caption2, Palette::textMuted()));
    }
}

FocusIndicator::Verdict FocusIndicator::verdict(double focusIndex, int activeProjects) {
    if (activeProjects < 2) {
        return {QStringLiteral("scope"), Palette::blue(), QStringLiteral("Single Focus")};
    }
    if (focusIndex > 0.6) {
        return {QStringLiteral("target"), Palette::violet(), QStringLiteral("Focused")};
    }
    if (focusIndex > 0.35) {
        return {QStringLiteral("scale.3d"), Palette::green(), QStringLiteral("Balanced")};
    }
    return {QStringLiteral("circle.grid.3x3"), Palette::amber(), QStringLiteral("Distributed")};
}

QString FocusIndicator::summaryText(double focusIndex, int activeProjects) {
    if (activeProjects == 1) {
        return QStringLiteral("100% on 1 project");
    }
    if (activeProjects == 0) {
        return QStringLiteral("No recent activity");
    }
    return QString::number(activeProjects) + QStringLiteral(" projects, ") + formatWholePercent(focusIndex * 100.0) +
           QStringLiteral(" concentration");
}

FocusIndicator::ShareList FocusIndicator::shareList(const std::map<std::string, double>& projectShares) {
    std::vector<NamedShare> sorted(projectShares.begin(), projectShares.end());
    std::ranges::stable_sort(sorted, [](const NamedShare& left, const NamedShare& right) {
        return sortKey(left.second) > sortKey(right.second);
    });
    ShareList list;
    const std::size_t shown = sorted.size() >= 4 ? 3 : sorted.size();
    for (std::size_t index = 0; index < shown; ++index) {
        const QString name = fromCore(sorted[index].first);
        list.dots.push_back({name, formatWholePercent(sorted[index].second), dotColor(name)});
    }
    if (sorted.size() >= 4) {
        list.overflow = QStringLiteral("+") + QString::number(sorted.size() - 3);
    }
    return list;
}

QColor FocusIndicator::dotColor(const QString& projectName) {
    const std::array<QColor, 8> colors{Palette::systemBlue(),   Palette::systemPurple(), Palette::systemGreen(),
                                       Palette::systemOrange(), Palette::pink(),         Palette::systemCyan(),
                                       Palette::systemIndigo(), Palette::systemMint()};
    // A fixed seed, so a project keeps its colour from one launch to the next.
    return colors.at(qHash(projectName, 0) % colors.size());
}

QString FocusIndicator::tooltipText(double focusIndex, int activeProjects) {
    const double evenSplit = activeProjects < 1 ? 1.0 : 1.0 / activeProjects;
    return QStringLiteral("Focus Index (HHI): ") + formatFixed(focusIndex, 2) +
           QStringLiteral("\n\n• 1.0 = All work on one project (deep focus)\n• ") + formatFixed(evenSplit, 2) +
           QStringLiteral(" = Even split across ") + QString::number(activeProjects) +
           QStringLiteral(" projects\n\nHigher focus = deeper concentration on fewer projects\n"
                          "Lower focus = work spread across more projects\n\n"
                          "Neither is inherently better - depends on your goals.");
}

} // namespace norvane::app
