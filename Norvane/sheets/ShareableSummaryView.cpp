#include "Norvane/sheets/ShareableSummaryView.h"

#include <cmath>

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/GlowText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "core/models/DaysPerMonth.h"

namespace norvane::app {
namespace {

constexpr double summaryCornerRadius = 16.0;
constexpr double borderWidth = 2.0;

std::optional<double> showable(std::optional<double> leverage) {
    return leverage && isShowableNumber(*leverage) ? leverage : std::nullopt;
}

QWidget* statBox(const QString& value, const QColor& color, const QString& label, std::optional<QString> badge) {
    auto* box = new RoundedPanel({10.0, QBrush(Palette::backgroundRaised()), Palette::withOpacity(color, 0.3),
                                  QMargins(8, 14, 8, 14), 6, Qt::Vertical});
    auto* layout = box->contentLayout();
    layout->addWidget(
        new StyledLabel(value, Typography::systemFont(20, QFont::Bold), ShareableSummaryView::valueColor(value, color)),
        0, Qt::AlignHCenter);
    layout->addWidget(makeLabel(label, TextStyle::caption2, Palette::textSecondary()), 0, Qt::AlignHCenter);
    if (badge) {
        layout->addWidget(
            new StyledLabel(*badge, Typography::systemFont(9), Palette::withOpacity(Palette::textSecondary(), 0.8)), 0,
            Qt::AlignHCenter);
    }
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    return box;
}

QBoxLayout* footer(platform::Date today) {
    auto* row = makeRow(defaultSpacing);
    row->setContentsMargins(0, 8, 0, 0);
    auto* mark = makeRow(4);
    mark->addWidget(makeSymbol(QStringLiteral("waveform.path.ecg"), TextStyle::caption, Palette::cyan()));
    mark->addWidget(makeLabel(QStringLiteral("Norvane"), TextStyle::caption, Palette::textPrimary(), QFont::DemiBold));
    row->addLayout(mark);
    row->addStretch(1);
    row->addWidget(makeLabel(DateText::dateOnly(today), TextStyle::caption2, Palette::textSecondary()));
    return row;
}

} // namespace

ShareableSummaryView::ShareableSummaryView(const ShareableMetrics& metrics, ShareableSummaryConfig config,
                                           platform::Date today, QWidget* parent)
    : QWidget(parent) {
    setFixedWidth(cardWidth);
    setAttribute(Qt::WA_TranslucentBackground);
    auto* layout = makeColumn(0);
    setLayout(layout);
    layout->addWidget(makeHeader(config.timePeriod));
    layout->addWidget(makeContent(metrics, config.timePeriod, today));
}

QWidget* ShareableSummaryView::makeHeader(ShareTimePeriod period) {
    auto* titles = makeColumn(2);
    titles->addWidget(makeLabel(QStringLiteral("Productivity Summary"), TextStyle::headline, Palette::textPrimary()));
    const auto periodText = platform::rawValue(period);
    period_ = makeLabel(QString::fromUtf8(periodText.data(), qsizetype(periodText.size())), TextStyle::caption,
                        Palette::textSecondary());
    titles->addWidget(period_);
    auto* row = makeRow(defaultSpacing);
    row->setContentsMargins(16, 16, 16, 16);
    row->addLayout(titles);
    row->addStretch(1);
    row->addWidget(makeSymbol(QStringLiteral("chart.line.uptrend.xyaxis"), TextStyle::title2, Palette::cyan()));
    header_ = wrap(row);
    return header_;
}

QWidget* ShareableSummaryView::makeContent(const ShareableMetrics& metrics, ShareTimePeriod period,
                                           platform::Date today) {
    auto* content = makeColumn(24);
    content->setContentsMargins(24, 24, 24, 24);
    content->addWidget(makeLeverage(metrics.leverage(period)));
    const QString index = metrics.norvaneIndex ? QString::number(*metrics.norvaneIndex) : QString(noValueText);
    auto* stats = makeRow(12);
    stats->addWidget(statBox(index, Palette::blue(), QStringLiteral("Norvane Index"), indexBadge(metrics.norvaneIndex)),
                     1, Qt::AlignVCenter);
    stats->addWidget(statBox(formatCount(metrics.linesTouched(period)), Palette::purple(),
                             QStringLiteral("Lines Touched"), std::nullopt),
                     1, Qt::AlignVCenter);
    stats->addWidget(statBox(QString::number(metrics.projectCount), Palette::green(),
                             projectLabel(metrics.projectCount), std::nullopt),
                     1, Qt::AlignVCenter);
    content->addLayout(stats);
    content->addLayout(footer(today));
    return wrap(content);
}

QWidget* ShareableSummaryView::makeLeverage(std::optional<double> leverage) {
    leverage = showable(leverage);
    auto* block = makeColumn(8);
    block->setContentsMargins(0, 16, 0, 16);
    block->addWidget(new StyledLabel(QStringLiteral("LEVERAGE"),
                                     Typography::tracked(Typography::systemFont(11, QFont::DemiBold), 1.5),
                                     Palette::textSecondary()),
                     0, Qt::AlignHCenter);
    bigValue_ = new GlowText(Typography::systemFont(56, QFont::Bold));
    bigValue_->setText(leverageText(leverage), leverage ? Palette::cyan() : Palette::textSecondary(),
                       leverage ? Palette::withOpacity(Palette::cyan(), 0.5) : QColor(Qt::transparent));
    block->addWidget(bigValue_, 0, Qt::AlignHCenter);
    auto* line = makeLabel(monthsLine(leverage), TextStyle::caption, Palette::textSecondary());
    line->setAlignment(Qt::AlignCenter);
    line->setWordWrap(true);
    block->addWidget(line);
    return wrap(block);
}

void ShareableSummaryView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), summaryCornerRadius, summaryCornerRadius);
    painter.setClipPath(outline);
    painter.fillRect(rect(), Palette::backgroundBase());
    painter.fillRect(header_->geometry(), Palette::backgroundRaised());
    // The border lies inside the outline, so nothing is drawn beyond it.
    const double inset = borderWidth / 2.0;
    painter.setPen(QPen(QBrush(Palette::accentGradient()), borderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), summaryCornerRadius - inset,
                            summaryCornerRadius - inset);
}

QImage ShareableSummaryView::renderImage(const ShareableMetrics& metrics, ShareableSummaryConfig config,
                                         platform::Date today) {
    ShareableSummaryView card(metrics, config, today);
    card.ensurePolished();
    card.adjustSize();
    QImage image(card.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    card.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QString ShareableSummaryView::leverageText(std::optional<double> leverage) {
    return showable(leverage) ? formatMultiplier(*leverage) : QString(noValueText);
}

QString ShareableSummaryView::monthsLine(std::optional<double> leverage) {
    if (!showable(leverage)) return QStringLiteral("Collect more data to see your leverage");
    return formatFixed(*leverage / daysPerMonth, 1) + QStringLiteral(" months of traditional work per day");
}

std::optional<QString> ShareableSummaryView::indexBadge(std::optional<int> index) {
    if (!index) return std::nullopt;
    if (*index > 89) return QStringLiteral("Top 10%");
    if (*index > 74) return QStringLiteral("Top 25%");
    if (*index < 50) return QStringLiteral("Building up");
    return QStringLiteral("Top 50%");
}

QString ShareableSummaryView::formatCount(std::int64_t count) { return formatCompactCount(count); }

QString ShareableSummaryView::projectLabel(std::int64_t count) {
    return count == 1 ? QStringLiteral("Project") : QStringLiteral("Projects");
}

QColor ShareableSummaryView::valueColor(const QString& value, const QColor& boxColor) {
    return value == QLatin1String(noValueText) ? Palette::textSecondary() : boxColor;
}

} // namespace norvane::app
