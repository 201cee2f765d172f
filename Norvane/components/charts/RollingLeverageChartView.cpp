#include "Norvane/components/charts/RollingLeverageChartView.h"

#include "Norvane/components/charts/ChartMath.h"
#include "Norvane/components/charts/ChartStyle.h"
#include "Norvane/components/charts/DateAxisTicker.h"
#include "Norvane/components/charts/EmptyChartState.h"
#include "Norvane/components/charts/HoverHeader.h"
#include "Norvane/components/charts/LabelAxisTicker.h"
#include "Norvane/components/charts/PlotHoverTracker.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "core/models/DaysPerMonth.h"
#include "platform/LocalCalendar.h"

#include <qcustomplot.h>

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace norvane::app {

namespace {

const EmptyChartText leverageWithoutHistory{QStringLiteral("No leverage trend data yet"),
                                            QStringLiteral("Collect git history to see leverage over time")};

constexpr int leverageChartHeight = 180;
// An upper bound at or beyond this reads as "no upper bound".
constexpr double unboundedBandLimit = 1000.0;

QLabel* dot(const QColor& color) {
    QPixmap pixmap(8, 8);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(QRectF(0, 0, 8, 8));
    auto* label = new QLabel;
    label->setPixmap(pixmap);
    return label;
}

QString wholeNumber(double value) {
    const auto integer = truncatedInteger(value);
    return integer ? QString::number(*integer) : QString::fromLatin1(noValueText);
}

} // namespace

RollingLeverageChartView::RollingLeverageChartView(std::vector<LeveragePoint> series, TimeRange timeRange,
                                                   QColor chartColor, QWidget* parent)
    : QWidget(parent), data_(std::move(series)), timeRange_(timeRange), chartColor_(std::move(chartColor)),
      chart_(new QWidget(this)),
      header_(new HoverHeader(QStringLiteral("Rolling leverage over time"), Palette::textSecondary())),
      plot_(ChartStyle::makePlot(timeRange, nullptr)), legend_(new QWidget),
      emptyState_(new EmptyChartState(leverageChartHeight, QStringLiteral("chart.line.uptrend.xyaxis"),
                                      leverageWithoutHistory)) {
    connect(emptyState_, &EmptyChartState::allTimeRequested, this, &RollingLeverageChartView::allTimeRequested);
    ChartStyle::layOutBody(chart_, header_, plot_, leverageChartHeight)->addWidget(legend_);
    new QHBoxLayout(legend_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chart_);
    layout->addWidget(emptyState_);

    QCPAxis* valueAxis = ChartStyle::valueAxis(plot_);
    area_ = plot_->addGraph(plot_->xAxis, valueAxis);
    area_->setPen(Qt::NoPen);
    area_->setBrush(Palette::withOpacity(chartColor_, 0.1));
    line_ = plot_->addGraph(plot_->xAxis, valueAxis);
    line_->setPen(QPen(chartColor_, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    lastPoint_ = ChartStyle::makePointMark(plot_, chartColor_, 7.0);
    hoverMarks_ = ChartStyle::makeHoverMarks(plot_, chartColor_, 9.0);
    ChartStyle::valueTicker(plot_).setLabelText(&RollingLeverageChartView::yAxisLabel);

    // Points stand in the middle of their day, so the pointer is measured against that spot.
    hover_ = std::make_unique<PlotHoverTracker>(plot_, PlotHoverTracker::MarkPlacement::middleOfDay, [this] {
        return PlotHoverTracker::pointsOf(ChartMath::pointsSince(data_, timeRange_.startDate()),
                                          &LeveragePoint::leverage);
    });
    connect(hover_.get(), &PlotHoverTracker::changed, this, &RollingLeverageChartView::showHoverState);
    rebuild();
}

void RollingLeverageChartView::setData(std::vector<LeveragePoint> series) {
    data_ = std::move(series);
    rebuild();
}

void RollingLeverageChartView::setActivity(bool hasHistory, std::size_t activeDays) {
    hasHistory_ = hasHistory;
    activeDays_ = activeDays;
    rebuild();
}

void RollingLeverageChartView::setTimeRange(TimeRange timeRange) {
    timeRange_ = timeRange;
    ChartStyle::dateTicker(plot_).setTimeRange(timeRange);
    rebuild();
}

double RollingLeverageChartView::maxLeverage(const std::vector<LeveragePoint>& filtered) {
    if (filtered.empty()) {
        return 20.0;
    }
    return std::max_element(
               filtered.begin(), filtered.end(),
               [](const LeveragePoint& left, const LeveragePoint& right) { return left.leverage < right.leverage; })
        ->leverage;
}

double RollingLeverageChartView::yAxisMaximum(const std::vector<LeveragePoint>& filtered) {
    return maxLeverage(filtered) * 1.1;
}

const std::vector<LeverageBand>& RollingLeverageChartView::leverageBands() {
    static const std::vector<LeverageBand> bands = {
        {QStringLiteral("Baseline"), 0.0, 5.0, Palette::textMuted()},
        {QStringLiteral("Good"), 5.0, 10.0, Palette::blue()},
        {QStringLiteral("Great"), 10.0, 20.0, Palette::green()},
        {QStringLiteral("Exceptional"), 20.0, unboundedBandLimit, Palette::red()},
    };
    return bands;
}

std::vector<LeverageBand> RollingLeverageChartView::visibleBands(double yAxisMaximum) {
    std::vector<LeverageBand> visible;
    for (const LeverageBand& band : leverageBands()) {
        if (!(band.minValue < yAxisMaximum)) {
            break;
        }
        visible.push_back(band);
    }
    return visible;
}

const LeverageBand& RollingLeverageChartView::currentBand(double leverage) {
    for (const LeverageBand& band : leverageBands()) {
        if (band.minValue <= leverage && leverage < band.maxValue) {
            return band;
        }
    }
    return leverageBands().back();
}

QString RollingLeverageChartView::formatLeverage(double leverage) {
    if (!isShowableNumber(leverage)) {
        return QString::fromLatin1(noValueText);
    }
    const double monthsPerDay = leverage / daysPerMonth;
    const double yearsPerDay = monthsPerDay / 12.0;
    if (yearsPerDay < 0.1) {
        return formatFixed(leverage, 1) + QStringLiteral("x (") + formatFixed(monthsPerDay, 1) +
               QStringLiteral(" mo/day)");
    }
    return formatFixed(leverage, 1) + QStringLiteral("x (") + formatFixed(yearsPerDay, 1) + QStringLiteral(" yr/day)");
}

QString RollingLeverageChartView::yAxisLabel(double value) {
    return isShowableNumber(value) ? formatFixed(value, 0) + QStringLiteral("x") : QString();
}

QString RollingLeverageChartView::bandRangeText(const LeverageBand& band) {
    const QString upper = band.maxValue >= unboundedBandLimit ? QStringLiteral("∞") : wholeNumber(band.maxValue);
    return QStringLiteral("(") + wholeNumber(band.minValue) + QStringLiteral("-") + upper + QStringLiteral("x)");
}

std::vector<BandStripe> RollingLeverageChartView::bandBackgrounds(double yAxisMaximum) {
    std::vector<BandStripe> stripes;
    const std::vector<LeverageBand>& bands = leverageBands();
    for (std::size_t index = 0; index < bands.size(); ++index) {
        const LeverageBand& band = bands[index];
        if (yAxisMaximum > band.minValue) {
            const bool top = index + 1 == bands.size();
            stripes.push_back({band.minValue, top ? yAxisMaximum : std::min(yAxisMaximum, band.maxValue), band.color});
        }
    }
    return stripes;
}

bool RollingLeverageChartView::isShowingChart() const { return !chart_->isHidden(); }

void RollingLeverageChartView::rebuild() {
    const std::vector<LeveragePoint> points = ChartMath::pointsSince(data_, timeRange_.startDate());
    const bool enough = points.size() >= 2;
    chart_->setVisible(enough);
    emptyState_->setVisible(!enough);
    if (enough) {
        rebuildPlot(points);
        rebuildLegend(points);
        showHoverState();
        return;
    }
    const bool longerRangeHasPoints =
        timeRange_ != TimeRange::allTime &&
        ChartMath::pointsSince(data_, TimeRange(TimeRange::allTime).startDate()).size() >= 2;
    emptyState_->setText(EmptyChartText::forRange(leverageWithoutHistory,
                                                  {hasHistory_, activeDays_, longerRangeHasPoints},
                                                  QStringLiteral("active day"), QStringLiteral("leverage over time")));
}

void RollingLeverageChartView::rebuildPlot(const std::vector<LeveragePoint>& points) {
    const double maximum = yAxisMaximum(points);
    for (QCPItemRect* stripe : stripes_) {
        plot_->removeItem(stripe);
    }
    stripes_.clear();
    for (const BandStripe& band : bandBackgrounds(maximum)) {
        auto* stripe = new QCPItemRect(plot_);
        stripe->setLayer(QStringLiteral("background"));
        stripe->topLeft->setAxes(plot_->xAxis, ChartStyle::valueAxis(plot_));
        stripe->bottomRight->setAxes(plot_->xAxis, ChartStyle::valueAxis(plot_));
        stripe->topLeft->setTypeX(QCPItemPosition::ptAxisRectRatio);
        stripe->bottomRight->setTypeX(QCPItemPosition::ptAxisRectRatio);
        stripe->topLeft->setCoords(0.0, band.upper);
        stripe->bottomRight->setCoords(1.0, band.lower);
        stripe->setPen(Qt::NoPen);
        stripe->setBrush(Palette::withOpacity(band.color, 0.08));
        stripes_.push_back(stripe);
    }
    std::vector<QPointF> corners;
    double first = ChartMath::dayBounds(points.front().date).first;
    double last = ChartMath::dayBounds(points.front().date).second;
    for (const LeveragePoint& point : points) {
        corners.emplace_back(ChartMath::dayCentre(point.date), point.leverage);
        first = std::min(first, ChartMath::dayBounds(point.date).first);
        last = std::max(last, ChartMath::dayBounds(point.date).second);
    }
    ChartStyle::setSmoothCurve(line_, area_, corners);
    lastPoint_->setData({corners.back().x()}, {corners.back().y()});
    plot_->xAxis->setRange(first, last);
    const ValueDomain domain = ChartMath::drawableDomain({0.0, maximum});
    ChartStyle::valueAxis(plot_)->setRange(domain.lower, domain.upper);
}

QString RollingLeverageChartView::currentBandTitle(platform::Date lastPoint, platform::Date now) {
    if (platform::LocalCalendar::localDay(lastPoint) == platform::LocalCalendar::localDay(now)) {
        return QStringLiteral("Current:");
    }
    return QStringLiteral("On ") + DateText::mediumDate(lastPoint) + QStringLiteral(":");
}

void RollingLeverageChartView::rebuildLegend(const std::vector<LeveragePoint>& points) {
    auto* layout = static_cast<QHBoxLayout*>(legend_->layout());
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(16);
    const QFont caption2 = Typography::font(TextStyle::caption2);
    for (const LeverageBand& band : visibleBands(yAxisMaximum(points))) {
        auto* entry = new QWidget;
        auto* entryLayout = new QHBoxLayout(entry);
        entryLayout->setContentsMargins(0, 0, 0, 0);
        entryLayout->setSpacing(4);
        entryLayout->addWidget(dot(Palette::withOpacity(band.color, 0.3)));
        entryLayout->addWidget(new StyledLabel(band.name, caption2, Palette::textSecondary()));
        entryLayout->addWidget(new StyledLabel(bandRangeText(band), caption2, Palette::textMuted()));
        layout->addWidget(entry);
    }
    layout->addStretch(1);
    const LeverageBand& current = currentBand(points.back().leverage);
    auto* currentEntry = new QWidget;
    auto* currentLayout = new QHBoxLayout(currentEntry);
    currentLayout->setContentsMargins(0, 0, 0, 0);
    currentLayout->setSpacing(4);
    currentLayout->addWidget(new StyledLabel(currentBandTitle(points.back().date, platform::currentDate()), caption2,
                                             Palette::textSecondary()));
    auto* currentName =
        new StyledLabel(current.name, Typography::font(TextStyle::caption2, QFont::Medium), current.color);
    currentName->setObjectName(QStringLiteral("currentBand"));
    currentLayout->addWidget(currentName);
    layout->addWidget(currentEntry);
}

void RollingLeverageChartView::showHoverState() {
    ChartStyle::showDayHover(hoverMarks_, *header_, hover_->point(), &RollingLeverageChartView::formatLeverage,
                             chartColor_);
}

} // namespace norvane::app
