#include "Norvane/cards/VelocityRetentionCard.h"

#include "Norvane/cards/VelocityChart.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Notice.h"
#include "Norvane/components/controls/DaysPicker.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace norvane::app {

namespace {

const QString emDash = QStringLiteral("\u2014");

/// A figure tile: label, value (or the dash) and unit line, taking an equal share of the row.
QWidget* metricTile(const QString& label, const std::optional<QString>& value, const QColor& valueColor,
                    const QString& unit) {
    auto* tile = makeColumn(4);
    tile->addWidget(makeLabel(label, TextStyle::caption, Palette::textSecondary()));
    tile->addWidget(value ? makeLabel(*value, TextStyle::title3, valueColor, QFont::DemiBold)
                          : makeLabel(emDash, TextStyle::title3, Palette::textMuted()));
    tile->addWidget(makeLabel(unit, TextStyle::caption2, Palette::textMuted()));
    return wrap(tile);
}

QWidget* tooEarlyNotice() {
    const int padding = RoundedPanel::defaultPadding;
    return makeNoticeColumn({QStringLiteral("clock"), Palette::textSecondary(),
                             QStringLiteral("Baseline Not Yet Established"), Palette::textPrimary(),
                             QStringLiteral("Velocity retention requires 60+ days of project history"),
                             Palette::textSecondary()},
                            QMargins(padding, padding, padding, padding));
}

} // namespace

VelocityRetentionCard::VelocityRetentionCard(Inputs inputs, QWidget* parent)
    : RoundedPanel(card(12), parent), inputs_(std::move(inputs)),
      picker_(new DaysPicker(inputs_.selectedDays, inputs_.dayOptions)) {
    auto* header = makeRow(defaultSpacing);
    header->addWidget(makeLabel(QStringLiteral("Velocity Retention"), TextStyle::headline, Palette::textPrimary()));
    header->addStretch(1);
    header->addWidget(picker_);
    contentLayout()->addLayout(header);
    // Reports the choice and keeps showing the owner's value until the owner passes a new one.
    connect(picker_, &DaysPicker::selectionChanged, this, [this](int days) {
        picker_->setSelection(inputs_.selectedDays);
        emit daysChanged(days);
    });

    const State shown = state(inputs_);
    if (shown == State::tooEarly) {
        contentLayout()->addWidget(tooEarlyNotice());
        return;
    }
    contentLayout()->addWidget(makeMetricsRow());
    if (shown == State::assessedWithChart) {
        chart_ = new VelocityChart({inputs_.velocityData, inputs_.retention.baselineVelocity, inputs_.industryMedian,
                                    inputs_.sizeBucket, inputs_.selectedDays});
        contentLayout()->addWidget(chart_);
    } else {
        contentLayout()->addWidget(VelocityChart::makePlaceholder());
    }
    contentLayout()->addWidget(makeAssessmentRow());
}

void VelocityRetentionCard::setSelectedDays(int selectedDays) {
    inputs_.selectedDays = selectedDays;
    picker_->setSelection(selectedDays);
    if (chart_ != nullptr) {
        chart_->setSelectedDays(selectedDays);
    }
}

VelocityRetentionCard::State VelocityRetentionCard::state(const Inputs& inputs) {
    if (inputs.retention.assessment == RetentionAssessment::tooEarly) {
        return State::tooEarly;
    }
    return inputs.velocityData.size() >= 2 ? State::assessedWithChart : State::assessedWithoutChart;
}

QString VelocityRetentionCard::formatVelocity(double velocity) {
    if (velocity >= 1000.0) {
        return formatFixed(velocity / 1000.0, 1) + QStringLiteral("K");
    }
    return formatFixed(velocity, 0);
}

std::optional<QString> VelocityRetentionCard::velocityText(std::optional<double> velocity) {
    const auto shown = showableValue(velocity);
    return shown ? std::optional(formatVelocity(*shown)) : std::nullopt;
}

std::optional<QString> VelocityRetentionCard::retentionText(std::optional<double> retentionPercent) {
    const auto shown = showableValue(retentionPercent);
    return shown ? std::optional(formatWholePercent(*shown)) : std::nullopt;
}

VelocityRetentionCard::VerdictLook VelocityRetentionCard::verdictLook(RetentionAssessment assessment) {
    QColor color = Palette::red();
    switch (assessment) {
    case RetentionAssessment::excellent: color = Palette::green(); break;
    case RetentionAssessment::good: color = Palette::blue(); break;
    case RetentionAssessment::typical: color = Palette::amber(); break;
    case RetentionAssessment::belowAverage:
    case RetentionAssessment::tooEarly: break;
    }
    return {fromCore(iconName(assessment)), fromCore(platform::rawValue(assessment)), fromCore(message(assessment)),
            color};
}

QWidget* VelocityRetentionCard::makeMetricsRow() const {
    const VelocityRetention& retention = inputs_.retention;
    auto* row = makeRow(24);
    row->addWidget(metricTile(QStringLiteral("Baseline"), velocityText(retention.baselineVelocity),
                              Palette::textPrimary(), QStringLiteral("lines/day")),
                   1);
    row->addWidget(metricTile(QStringLiteral("Current"), velocityText(retention.currentVelocity),
                              Palette::textPrimary(), QStringLiteral("lines/day")),
                   1);
    row->addWidget(metricTile(QStringLiteral("Retention"), retentionText(retention.retentionPercent),
                              verdictLook(retention.assessment).color, QStringLiteral("of baseline")),
                   1);
    return wrap(row);
}

QWidget* VelocityRetentionCard::makeAssessmentRow() const {
    const VerdictLook look = verdictLook(inputs_.retention.assessment);
    auto* row = makeRow(8);
    row->addWidget(makeSymbol(look.symbol, TextStyle::body, look.color));
    row->addWidget(makeLabel(look.label, TextStyle::caption, Palette::textPrimary(), QFont::Medium));
    row->addWidget(makeLabel(emDash, TextStyle::caption, Palette::textMuted()));
    row->addWidget(makeLabel(look.message, TextStyle::caption, Palette::textSecondary()));
    row->addStretch(1);
    return wrap(row);
}

} // namespace norvane::app
