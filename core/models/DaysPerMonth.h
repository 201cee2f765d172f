#pragma once

namespace norvane {

/// Wherever effort is set against time (leverage, maturity, a project's age in months), a month is
/// 30 days: every figure divides by this one month, so none can drift from the others.
inline constexpr double daysPerMonth = 30.0;

} // namespace norvane
