#pragma once

#include "Norvane/components/tiles/StatTrend.h"

#include <QString>
#include <QUuid>

#include <optional>

namespace norvane::app {

/// One figure of the summary row, already formatted; "--" means no value.
struct SummaryStat {
    SummaryStat(QString valueText, QString labelText, std::optional<QString> sublabelText = std::nullopt,
                std::optional<StatTrend> change = std::nullopt, std::optional<QString> tooltipText = std::nullopt)
        : value(std::move(valueText)), label(std::move(labelText)), sublabel(std::move(sublabelText)),
          trend(std::move(change)), tooltip(std::move(tooltipText)) {}

    QUuid id = QUuid::createUuid();
    QString value;
    QString label;
    std::optional<QString> sublabel;
    std::optional<StatTrend> trend;
    std::optional<QString> tooltip;
};

} // namespace norvane::app
