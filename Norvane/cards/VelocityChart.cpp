#include "Norvane/cards/VelocityChart.h"

#include "Norvane/cards/MedianLabel.h"
#include "Norvane/cards/VelocityRetentionCard.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/charts/ChartStyle.h"
#include "Norvane/components/charts/DateAxisTicker.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/LabelAxisTicker.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

#include <qcustomplot.h>

#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace norvane::app {

namespace {

// Room above the highest value, so the baseline's label stays inside the plot.
constexpr double headroom = 0.15;
// Between a rule and its label.
constexpr double velocityLabelGap = 4.0;

QPen dashedPen(const QColor& color, double dash) {
    QPen pen(Palette::withOpacity(color, 0.7), 2.0, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({dash / 2.0, dash / 2.0});
    return pen;
}

/// A rule's label: caption-2 text in `color`, padded 4 on the sides, on `color` at 0.1, standing
/// `velocityLabelGap` pixels from the end of the rule named by `anchor`.
QCPItemText* makeRuleLabel(QCustomPlot* plot, QCPItemAnchor* anchor, const QColor& color, Qt::Alignment alignment,
                           double offsetY) {
    auto* label = new QCPItemText(plot);
    label->position->setParentAnchor(anchor);
    label->position->setType(QCPItemPosition::ptAbsolute);
    label->position->setCoords(0.0, offsetY);
    label->setPositionAlignment(alignment);
    label->setFont(Typography::font(TextStyle::caption2));
    label->setColor(color);
    label->setBrush(Palette::withOpacity(color, 0.1));
    label->setPen(Qt::NoPen);
    label->setPadding(QMargins(4, 0, 4, 0));
    label->setClipToAxisRect(true);
    label->setVisible(false);
    return label;
}

} // namespace

VelocityChart::VelocityChart(Inputs inputs, QWidget* parent)
    : QWidget(parent), inputs_(std::move(inputs)),
      header_(new HoverHeader(QStringLiteral("7-day rolling average"), Palette::textMuted())),
      plot_(ChartStyle::makePlot(axisRange(inputs_.selectedDays), nullptr)) {
    inputs_.baselineVelocity = showableValue(inputs_.baselineVelocity);
    inputs_.industryMedian = showableValue(inputs_.industryMedian);
    ChartStyle::layOutBody(this, header_, plot_, plotHeight);
    QCPAxis* valueAxis = ChartStyle::valueAxis(plot_);
    // Dash lengths are in line widths: 5 on, 5 off and 3 on, 3 off at width 2.
    baselineRule_ = ChartStyle::makeValueRule(plot_, dashedPen(Palette::amber(), 5.0));
    baselineLabel_ =
        makeRuleLabel(plot_, baselineRule_->end, Palette::amber(), Qt::AlignRight | Qt::AlignBottom, -velocityLabelGap);
    medianRule_ = ChartStyle::makeValueRule(plot_, dashedPen(Palette::purple(), 3.0));
    medianLabel_ =
        makeRuleLabel(plot_, medianRule_->start, Palette::purple(), Qt::AlignLeft | Qt::AlignTop, velocityLabelGap);
    area_ = plot_->addGraph(plot_->xAxis, valueAxis);
    area_->setPen(Qt::NoPen);
    area_->setBrush(Palette::withOpacity(Palette::cyan(), 0.1));
    line_ = plot_->addGraph(plot_->xAxis, valueAxis);
    line_->setPen(QPen(Palette::cyan(), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    lastPoint_ = ChartStyle::makePointMark(plot_, Palette::cyan(), 8.0);
    hoverMarks_ = ChartStyle::makeHoverMarks(plot_, Palette::cyan(), 10.0);
    ChartStyle::valueTicker(plot_).setLabelText(&VelocityRetentionCard::formatVelocity);
    // Points stand in the middle of their day; the pointer is measured against that spot.
    hover_ = std::make_unique<PlotHoverTracker>(plot_, PlotHoverTracker::MarkPlacement::middleOfDay, [this] {
        return PlotHoverTracker::pointsOf(drawablePoints(inputs_.velocityData), &VelocityPoint::velocity);
    });
    connect(hover_.get(), &PlotHoverTracker::changed, this, &VelocityChart::showHoverState);
    placeRules();
    plotSeries();
    showHoverState();
}

void VelocityChart::setSelectedDays(int selectedDays) {
    inputs_.selectedDays = selectedDays;
    ChartStyle::dateTicker(plot_).setTimeRange(axisRange(selectedDays));
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

QWidget* VelocityChart::makePlaceholder() {
    auto* panel = new RoundedPanel(RoundedPanel::box(Palette::backgroundBase(), 0, Qt::Vertical, 8));
    panel->setFixedHeight(plotHeight);
    QBoxLayout* layout = panel->contentLayout();
    layout->addStretch(1);
    layout->addWidget(
        makeSymbol(QStringLiteral("chart.line.uptrend.xyaxis"), TextStyle::title2, Palette::textSecondary()), 0,
        Qt::AlignHCenter);
    layout->addWidget(
        makeLabel(QStringLiteral("No velocity data for this period"), TextStyle::caption, Palette::textSecondary()), 0,
        Qt::AlignHCenter);
    layout->addStretch(1);
    return panel;
}

TimeRange VelocityChart::axisRange(int selectedDays) {
    if (selectedDays == 30) {
        return TimeRange::thirtyDays;
    }
    return selectedDays == 90 ? TimeRange::ninetyDays : TimeRange::oneYear;
}

std::vector<VelocityChart::VelocityPoint> VelocityChart::drawablePoints(const std::vector<VelocityPoint>& points) {
    std::vector<VelocityPoint> drawable;
    std::copy_if(points.begin(), points.end(), std::back_inserter(drawable),
                 [](const VelocityPoint& point) { return isShowableNumber(point.velocity); });
    return drawable;
}

ValueDomain VelocityChart::valueDomain(const Inputs& inputs) {
    std::vector<double> values;
    for (const VelocityPoint& point : drawablePoints(inputs.velocityData)) {
        values.push_back(point.velocity);
    }
    for (const auto& rule : {showableValue(inputs.baselineVelocity), showableValue(inputs.industryMedian)}) {
        if (rule) {
            values.push_back(*rule);
        }
    }
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    const double lower = values.empty() ? 0.0 : std::min(0.0, *lowest);
    const double upper = values.empty() ? 0.0 : std::max(0.0, *highest);
    return ChartMath::drawableDomain({lower, upper + (upper - lower) * headroom});
}

std::optional<QString> VelocityChart::baselineRuleLabel() const {
    return baselineRule_->visible() ? std::optional(baselineLabel_->text()) : std::nullopt;
}

std::optional<QString> VelocityChart::medianRuleLabel() const {
    return medianRule_->visible() ? std::optional(medianLabel_->text()) : std::nullopt;
}

void VelocityChart::placeRules() {
    if (inputs_.baselineVelocity) {
        ChartStyle::placeValueRule(baselineRule_, *inputs_.baselineVelocity);
        baselineLabel_->setText(QStringLiteral("Baseline"));
        baselineLabel_->setVisible(true);
    }
    if (inputs_.industryMedian) {
        ChartStyle::placeValueRule(medianRule_, *inputs_.industryMedian);
        medianLabel_->setText(medianLabel(inputs_.sizeBucket));
        medianLabel_->setVisible(true);
    }
}

void VelocityChart::plotSeries() {
    const std::vector<VelocityPoint> points = drawablePoints(inputs_.velocityData);
    std::vector<QPointF> corners;
    for (const VelocityPoint& point : points) {
        corners.emplace_back(ChartMath::dayCentre(point.date), point.velocity);
    }
    ChartStyle::setSmoothCurve(line_, area_, corners);
    if (!corners.empty()) {
        lastPoint_->setData({corners.back().x()}, {corners.back().y()});
        const auto [earliest, latest] =
            std::minmax_element(points.begin(), points.end(),
                                [](const VelocityPoint& a, const VelocityPoint& b) { return a.date < b.date; });
        plot_->xAxis->setRange(ChartMath::dayBounds(earliest->date).first, ChartMath::dayBounds(latest->date).second);
    }
    const ValueDomain domain = valueDomain(inputs_);
    ChartStyle::valueAxis(plot_)->setRange(domain.lower, domain.upper);
}

void VelocityChart::showHoverState() {
    ChartStyle::showDayHover(
        hoverMarks_, *header_, hover_->point(),
        [](double velocity) { return VelocityRetentionCard::formatVelocity(velocity) + QStringLiteral(" lines/day"); },
        Palette::textPrimary());
}

} // namespace norvane::app
