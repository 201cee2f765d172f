#pragma once

#include <QString>

#include <optional>

namespace norvane::app {

/// The name of the community median's rule or column: "Median (" + the size bucket's name + ")",
/// or "Industry Median" without a bucket. The core marks a bucket whose figures came from the
/// whole community with a trailing "*"; the label shows the bucket's name without it.
QString medianLabel(const std::optional<QString>& sizeBucket);

} // namespace norvane::app
