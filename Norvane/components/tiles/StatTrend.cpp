#include "Norvane/components/tiles/StatTrend.h"

#include "Norvane/components/theme/Palette.h"

namespace norvane::app {

std::optional<StatTrend::Shown> StatTrend::shown() const {
    switch (direction_) {
    case Direction::up: return Shown{QStringLiteral("arrow.up"), text_, Palette::green()};
    case Direction::down: return Shown{QStringLiteral("arrow.down"), text_, Palette::red()};
    case Direction::neutral: return std::nullopt;
    }
    return std::nullopt;
}

} // namespace norvane::app
