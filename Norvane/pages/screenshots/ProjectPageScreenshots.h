#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace norvane::app {

class ApplicationController;
class DashboardView;

/// The pictures of the project page over the demo store: the oldest active project's page at its
/// top, with every section open over its whole length and at the end of a collection, then the
/// pages of a project with history only and of one without any data, each added for its picture
/// and removed after it.
namespace ProjectPageScreenshots {

void stage(ApplicationController& controller, DashboardView& window,
           const std::function<void(const QString& name, QWidget& widget)>& take);

} // namespace ProjectPageScreenshots
} // namespace norvane::app
