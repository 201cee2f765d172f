#include "Norvane/settings/IndexProgressView.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/ColorDot.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/settings/ContributorMilestone.h"

namespace norvane::app {
namespace {

constexpr int progressBarHeight = 8;
constexpr double barRadius = 4.0;
constexpr int progressMarkerDiameter = 8;

QWidget* marker(const ContributorMilestone& milestone, int contributorCount) {
    const bool reached = contributorCount >= milestone.target;
    auto* column = makeColumn(2);
    column->addWidget(new ColorDot(progressMarkerDiameter,
                                   reached ? milestone.color : Palette::withOpacity(Palette::textSecondary(), 0.3)),
                      0, Qt::AlignHCenter);
    column->addWidget(makeLabel(QString::number(milestone.target), TextStyle::caption2, Palette::textMuted()), 0,
                      Qt::AlignHCenter);
    return wrap(column);
}

} // namespace

IndexProgressView::IndexProgressView(int contributorCount, QWidget* parent)
    : QWidget(parent), contributorCount_(contributorCount), column_(makeColumn(defaultSpacing)) {
    setLayout(column_);
    rebuild();
}

void IndexProgressView::setContributorCount(int contributorCount) {
    if (contributorCount == contributorCount_) return;
    contributorCount_ = contributorCount;
    rebuild();
}

QString IndexProgressView::countText(int contributorCount) {
    return QString::number(contributorCount) + QStringLiteral(" / ") +
           QString::number(ContributorMilestone::current(contributorCount).target);
}

void IndexProgressView::rebuild() {
    clearLayout(column_);
    const auto& milestone = ContributorMilestone::current(contributorCount_);

    auto* countLine = makeRow(defaultSpacing);
    countLine->addWidget(makeLabel(QStringLiteral("Contributors"), TextStyle::subheadline, Palette::textPrimary()));
    countLine->addStretch(1);
    countLine->addWidget(makeLabel(countText(contributorCount_), TextStyle::subheadline, Palette::textSecondary()));
    column_->addWidget(wrap(countLine));

    auto* bar = new ProgressTrack(progressBarHeight, barRadius, milestone.color);
    bar->setFraction(milestone.progress(contributorCount_));
    column_->addWidget(bar);

    auto* message = makeRow(6);
    message->addWidget(makeSymbol(milestone.symbol, TextStyle::caption, milestone.color));
    message->addWidget(makeLabel(milestone.message, TextStyle::caption, Palette::textSecondary()));
    message->addStretch(1);
    column_->addWidget(wrap(message));
    column_->addWidget(makeMarkers());
}

QWidget* IndexProgressView::makeMarkers() const {
    auto* row = makeRow(0);
    row->setContentsMargins(0, 4, 0, 0);
    const auto& milestones = ContributorMilestone::all();
    // The targets on the way, at the leading edge, the middle and the trailing edge.
    for (std::size_t index = 0; index + 1 < milestones.size(); ++index) {
        if (index > 0) row->addStretch(1);
        row->addWidget(marker(milestones[index], contributorCount_));
    }
    return wrap(row);
}

} // namespace norvane::app
