#pragma once

#include <cmath>

namespace norvane {

/// A percentage cut toward zero for display. The nudge keeps values such as 0.29 × 100
/// (28.999999999999996) from showing one less than they are. A non-finite value gives 0.
inline long long wholePercent(double percent) {
    if (!std::isfinite(percent)) return 0;
    return static_cast<long long>(std::trunc(percent + std::copysign(1e-9, percent)));
}

} // namespace norvane
