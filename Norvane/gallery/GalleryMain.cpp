// Shows every view component and analysis card with sample data and saves one picture of each,
// so their look can be reviewed as images: norvane-gallery [OUTPUT-FOLDER].

#include "Norvane/components/charts/DailyThroughputChartView.h"
#include "Norvane/components/charts/MetricsTimelineChartView.h"
#include "Norvane/components/charts/ProjectActivityOverlapView.h"
#include "Norvane/components/charts/RollingLeverageChartView.h"
#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/controls/InfoTooltipButton.h"
#include "Norvane/components/controls/Popover.h"
#include "Norvane/components/controls/TimeRangePicker.h"
#include "Norvane/components/controls/Tween.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/DarkTheme.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/components/tiles/CapacityStatView.h"
#include "Norvane/components/tiles/ChurnIndicator.h"
#include "Norvane/components/tiles/HeroZoneView.h"
#include "Norvane/components/tiles/ParallelismStatView.h"
#include "Norvane/components/tiles/SummaryRowView.h"
#include "Norvane/gallery/CardSamples.h"
#include "platform/LocalCalendar.h"
#include "platform/ProgramArguments.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <cmath>
#include <iostream>
#include <string>
#include <vector>

using namespace norvane::app;
namespace calendar = norvane::platform::LocalCalendar;
using norvane::platform::Date;

namespace {

Date daysAgo(int days) { return calendar::addingDays(calendar::startOfDay(norvane::platform::currentDate()), -days); }

void settle() {
    for (int round = 0; round < 5; ++round) {
        QApplication::processEvents();
    }
}

/// Gives `host` the height its content needs: content whose height follows its width (wrapped
/// text, grids) is measured at the host's width rather than at its own preferred width.
void fitHeight(QWidget* host) {
    host->adjustSize();
    if (host->hasHeightForWidth()) {
        host->resize(host->width(), host->heightForWidth(host->width()));
    }
}

/// Hosts `content` on the darkest background with a margin, at `width` pixels.
QWidget* stage(QWidget* content, int width) {
    auto* host = new QWidget;
    host->setAutoFillBackground(true);
    QPalette palette = host->palette();
    palette.setColor(QPalette::Window, Palette::backgroundDeep());
    host->setPalette(palette);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(content);
    layout->addStretch(1);
    host->setFixedWidth(width);
    host->show();
    settle();
    fitHeight(host);
    settle();
    return host;
}

void save(QWidget* widget, const QDir& folder, const QString& name) {
    settle();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path)) {
        std::cerr << "could not write " << path.toStdString() << '\n';
    }
}

void hoverPlot(QWidget* chart, double share) {
    auto* plot = chart->findChild<QCustomPlot*>();
    const QRect area = plot->axisRect()->rect();
    const QPointF point(area.left() + share * area.width(), area.center().y());
    QMouseEvent move(QEvent::MouseMove, point, plot->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
}

template <typename Make>
void shoot(const QDir& folder, const QString& name, int width, Make make) {
    QWidget* host = stage(make(), width);
    save(host, folder, name);
    delete host;
}

std::vector<ThroughputPoint> throughputSeries() {
    std::vector<ThroughputPoint> series;
    for (int day = 40; day >= 0; --day) {
        series.push_back({daysAgo(day), 0.2 + 0.15 * std::sin(day / 3.0) + (day % 7 == 0 ? 0.0 : 0.1)});
    }
    return series;
}

std::vector<LeveragePoint> leverageSeries() {
    std::vector<LeveragePoint> series;
    for (int day = 80; day >= 0; --day) {
        series.push_back({daysAgo(day), 8.0 + 6.0 * std::sin(day / 9.0) + (80 - day) * 0.08});
    }
    return series;
}

std::vector<ActivityDay> activitySeries() {
    const QStringList names = {QStringLiteral("norvane"), QStringLiteral("atlas-api"), QStringLiteral("Website"),
                               QStringLiteral("scripts")};
    std::vector<ActivityDay> series;
    for (int day = 29; day >= 0; --day) {
        ActivityDay entry{daysAgo(day), 0, {}};
        for (int index = 0; index < names.size(); ++index) {
            if ((day + index * 3) % (index + 2) != 0) {
                entry.projects.push_back(names[index]);
            }
        }
        entry.count = static_cast<std::int64_t>(entry.projects.size());
        series.push_back(entry);
    }
    return series;
}

/// Years of work on three projects, a day in four: more days than the chart's columns.
std::vector<ActivityDay> yearsOfActivity() {
    struct Span {
        QString name;
        int from;
        int to;
    };
    const std::vector<Span> spans = {{QStringLiteral("atlas-api"), 4000, 2200},
                                     {QStringLiteral("norvane"), 2600, 10},
                                     {QStringLiteral("scripts"), 90, 2}};
    std::vector<ActivityDay> series;
    for (int day = 4000; day >= 0; day -= 4) {
        ActivityDay entry{daysAgo(day), 0, {}};
        for (const Span& span : spans) {
            if (day <= span.from && day >= span.to) entry.projects.push_back(span.name);
        }
        entry.count = static_cast<std::int64_t>(entry.projects.size());
        if (entry.count > 0) series.push_back(entry);
    }
    return series;
}

MetricsTimelineChartView::Inputs timelineInputs(MetricsTimelineChartView::MetricType metric) {
    MetricsTimelineChartView::Inputs inputs;
    inputs.metric = metric;
    inputs.timeRange = TimeRange::ninetyDays;
    inputs.firstCommitDate = daysAgo(200);
    for (int day = 85; day >= 0; day -= 5) {
        const double lines = 20000.0 + (85 - day) * 450.0;
        inputs.snapshots.push_back({daysAgo(day), static_cast<std::int64_t>(lines), 0.0, 0.0});
    }
    return inputs;
}

EffortAndCost organicEstimate(std::int64_t lines, double wage, double overhead) {
    const double effort = 2.4 * std::pow(static_cast<double>(lines) / 1000.0, 1.05);
    return {effort, wage / 12.0 * effort * overhead};
}

void shootTiles(const QDir& folder) {
    shoot(folder, QStringLiteral("stat-tiles"), 960, [] {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(12);
        layout->addWidget(new CapacityStatView(72.9, MetricTooltip::capacityUtilization));
        layout->addWidget(new ParallelismStatView(1.84, MetricTooltip::parallelism));
        layout->addWidget(new ChurnIndicator(1.42, 35.0, 1500, 300));
        // No line changed in the window.
        layout->addWidget(new ChurnIndicator(1.0, 0.0, 0, 0));
        return row;
    });
    auto* button = new InfoTooltipButton(MetricTooltip::capacityUtilization);
    QWidget* host = stage(button, 200);
    button->click();
    settle();
    if (const Popover* popover = button->popover()) {
        save(const_cast<Popover*>(popover), folder, QStringLiteral("metric-tooltip"));
    }
    delete host;
}

void shootSections(const QDir& folder, QSettings& settings) {
    shoot(folder, QStringLiteral("collapsible-section"), 560, [&settings] {
        auto* column = new QWidget;
        auto* layout = new QVBoxLayout(column);
        auto content = [] {
            return new StyledLabel(QStringLiteral("Section content"), Typography::font(TextStyle::body),
                                   Palette::textPrimary());
        };
        layout->addWidget(new CollapsibleSection(QStringLiteral("Trends"), QStringLiteral("chart.xyaxis.line"),
                                                 settings, QStringLiteral("gallery.trends"), true, content));
        layout->addWidget(new CollapsibleSection(QStringLiteral("Output composition"), std::nullopt, settings,
                                                 QStringLiteral("gallery.output"), false, content));
        return column;
    });
}

void shootHeroAndSummary(const QDir& folder) {
    shoot(folder, QStringLiteral("hero-zone"), 760, [] {
        const HeroMetric leverage(QStringLiteral("12.4x"), QStringLiteral("Leverage"),
                                  MetricDelta{1.2, QStringLiteral("+1.2x")},
                                  QStringLiteral("vs. traditional development"));
        const HeroMetric cost(QStringLiteral("$1.2M"), QStringLiteral("Traditional cost"),
                              MetricDelta{-3.0, QStringLiteral("-3%")});
        return new HeroZoneView(leverage, cost, {3, 4, 3.5, 5, 6, 5.5, 7, 8, 7.5, 9, 8.8, 10, 11, 10.5},
                                new DaysPicker(30, {30, 90, 365}));
    });
    shoot(folder, QStringLiteral("hero-zone-empty"), 760, [] {
        return new HeroZoneView(HeroMetric(QStringLiteral("--"), QStringLiteral("Leverage")),
                                HeroMetric(QStringLiteral("0"), QStringLiteral("Projects")), {}, nullptr);
    });
    shoot(folder, QStringLiteral("summary-row"), 760, [] {
        return new SummaryRowView({SummaryStat(QStringLiteral("48,210"), QStringLiteral("Lines of code"),
                                               QStringLiteral("4 projects"), StatTrend::up(QStringLiteral("+12%"))),
                                   SummaryStat(QStringLiteral("3.2"), QStringLiteral("Commits / day"), std::nullopt,
                                               StatTrend::down(QStringLiteral("3"))),
                                   SummaryStat(QStringLiteral("--"), QStringLiteral("Streak"), std::nullopt,
                                               StatTrend::neutral(), QStringLiteral("Days in a row"))});
    });
}

void shootPickers(const QDir& folder) {
    shoot(folder, QStringLiteral("pickers"), 400, [] {
        auto* column = new QWidget;
        auto* layout = new QVBoxLayout(column);
        layout->setSpacing(12);
        layout->addWidget(new TimeRangePicker(TimeRange::oneYear));
        layout->addWidget(new DaysPicker(90, {30, 90, 365}));
        layout->addWidget(new DaysPicker(14, {7, 30, 180}));
        return column;
    });
}

template <typename Make>
void shootChart(const QDir& folder, const QString& name, Make make, double hoverShare) {
    QWidget* chart = make();
    QWidget* host = stage(chart, 720);
    save(host, folder, name);
    if (hoverShare >= 0.0 && chart->findChild<QCustomPlot*>() != nullptr) {
        hoverPlot(chart, hoverShare);
        save(host, folder, name + QStringLiteral("-hover"));
    }
    delete host;
}

void shootCharts(const QDir& folder) {
    shootChart(
        folder, QStringLiteral("daily-throughput"),
        [] { return new DailyThroughputChartView(throughputSeries(), TimeRange::thirtyDays); }, 0.6);
    shootChart(
        folder, QStringLiteral("daily-throughput-empty"),
        [] { return new DailyThroughputChartView({}, TimeRange::thirtyDays); }, -1);
    shootChart(
        folder, QStringLiteral("daily-throughput-quiet-range"),
        [] {
            auto* chart = new DailyThroughputChartView({}, TimeRange::thirtyDays);
            chart->setHasHistory(true);
            return chart;
        },
        -1);
    shootChart(
        folder, QStringLiteral("rolling-leverage"),
        [] { return new RollingLeverageChartView(leverageSeries(), TimeRange::ninetyDays, Palette::blue()); }, 0.4);
    shootChart(
        folder, QStringLiteral("rolling-leverage-empty"),
        [] { return new RollingLeverageChartView({}, TimeRange::ninetyDays, Palette::blue()); }, -1);
    shootChart(
        folder, QStringLiteral("rolling-leverage-quiet-range"),
        [] {
            // The last commits were six weeks ago: 30 days are quiet, a longer range is not.
            auto series = leverageSeries();
            series.erase(series.end() - 40, series.end());
            auto* chart = new RollingLeverageChartView(series, TimeRange::thirtyDays, Palette::blue());
            chart->setActivity(true, 0);
            return chart;
        },
        -1);
    shootChart(
        folder, QStringLiteral("rolling-leverage-one-active-day"),
        [] {
            // One day with commits in 30 days, after a quiet month and a half.
            auto series = leverageSeries();
            series.erase(series.end() - 40, series.end() - 1);
            auto* chart = new RollingLeverageChartView(series, TimeRange::thirtyDays, Palette::blue());
            chart->setActivity(true, 1);
            return chart;
        },
        -1);
    for (const auto metric :
         {MetricsTimelineChartView::MetricType::estimatedValue, MetricsTimelineChartView::MetricType::effortMonths,
          MetricsTimelineChartView::MetricType::leverage}) {
        const QString name = QStringLiteral("metrics-timeline-") + QString::number(static_cast<int>(metric));
        shootChart(
            folder, name, [metric] { return new MetricsTimelineChartView(timelineInputs(metric), organicEstimate); },
            0.5);
    }
    shootChart(
        folder, QStringLiteral("metrics-timeline-empty"),
        [] { return new MetricsTimelineChartView(MetricsTimelineChartView::Inputs{}, organicEstimate); }, -1);
    shootChart(
        folder, QStringLiteral("metrics-timeline-quiet-range"),
        [] {
            // A history that ended two months ago, over the last 30 days.
            auto inputs = timelineInputs(MetricsTimelineChartView::MetricType::estimatedValue);
            inputs.timeRange = TimeRange::thirtyDays;
            std::erase_if(inputs.snapshots,
                          [](const TimelineSnapshot& snapshot) { return snapshot.capturedAt > daysAgo(60); });
            return new MetricsTimelineChartView(inputs, organicEstimate);
        },
        -1);
    shootChart(
        folder, QStringLiteral("activity-overlap-empty"),
        [] { return new ProjectActivityOverlapView({}, TimeRange::thirtyDays); }, -1);
    shootChart(
        folder, QStringLiteral("activity-overlap-quiet-range"),
        [] {
            auto* overlap = new ProjectActivityOverlapView({}, TimeRange::thirtyDays);
            overlap->setHasHistory(true);
            return overlap;
        },
        -1);
    auto* overlap = new ProjectActivityOverlapView(activitySeries(), TimeRange::thirtyDays);
    QWidget* host = stage(overlap, 720);
    save(host, folder, QStringLiteral("activity-overlap"));
    const QPointF cell = overlap->cellRect(1, 20).center();
    QMouseEvent move(QEvent::MouseMove, cell, overlap->mapToGlobal(cell), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(overlap, &move);
    save(host, folder, QStringLiteral("activity-overlap-hover"));
    delete host;
    // More days than columns: a column is a month.
    overlap = new ProjectActivityOverlapView(yearsOfActivity(), TimeRange::allTime);
    host = stage(overlap, 720);
    save(host, folder, QStringLiteral("activity-overlap-by-month"));
    delete host;
}

void shootCards(const QDir& folder) {
    for (const CardSample& sample : cardSamples()) {
        QWidget* card = sample.make();
        QWidget* host = stage(card, sample.width + 48);
        if (sample.prepare) {
            sample.prepare(card);
            settle();
            fitHeight(host);
        }
        save(host, folder, sample.name);
        delete host;
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // What Qt leaves of the command line once it has taken its own options, such as -platform.
    const QStringList arguments = QApplication::arguments().mid(1);
    std::vector<std::string> given;
    for (const QString& argument : arguments) given.push_back(argument.toStdString());
    const norvane::platform::ProgramArguments usage(
        "norvane-gallery", given,
        {"usage: norvane-gallery [OUTPUT-FOLDER]\n",
         "Saves a picture of every view component and analysis card, in each of its sample states,\n"
         "into OUTPUT-FOLDER (build/screenshots without one).\n"});
    if (const auto status = usage.refusal(0, 1)) {
        return *status;
    }
    DarkTheme::apply(application);
    Tween::setAnimationsEnabled(false);
    const QString output = arguments.isEmpty() ? QStringLiteral("build/screenshots") : arguments.first();
    QDir folder;
    if (!folder.mkpath(output)) {
        std::cerr << "could not create " << output.toStdString() << '\n';
        return 1;
    }
    folder.setPath(output);
    QTemporaryDir settingsFolder;
    QSettings settings(settingsFolder.filePath(QStringLiteral("gallery.ini")), QSettings::IniFormat);
    shootTiles(folder);
    shootSections(folder, settings);
    shootHeroAndSummary(folder);
    shootPickers(folder);
    shootCharts(folder);
    shootCards(folder);
    std::cout << "Saved pictures to " << folder.absolutePath().toStdString() << '\n';
    return 0;
}
