#pragma once

#include "Norvane/components/tiles/MetricDelta.h"

#include <QString>
#include <QUuid>

#include <optional>

namespace norvane::app {

/// A headline figure as the pages hand it to the hero zone, already formatted; "--" means no value.
struct HeroMetric {
    HeroMetric(QString valueText, QString labelText, std::optional<MetricDelta> change = std::nullopt,
               std::optional<QString> sublabelText = std::nullopt)
        : value(std::move(valueText)), label(std::move(labelText)), delta(std::move(change)),
          sublabel(std::move(sublabelText)) {}

    QUuid id = QUuid::createUuid();
    QString value;
    QString label;
    std::optional<MetricDelta> delta;
    std::optional<QString> sublabel;
};

} // namespace norvane::app
