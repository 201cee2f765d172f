#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace norvane::app {

class DashboardView;
class PortfolioView;

/// The pictures of the portfolio page over the demo store, whole from its header to its last row:
/// as a first start leaves its sections, with its menu open, and with every section open over
/// "1 Year".
namespace PortfolioScreenshots {

void stage(DashboardView& window, const std::function<void(const QString& name, QWidget& widget)>& take);

/// Chooses the portfolio in the window's sidebar and waits until the page has loaded.
PortfolioView* showPortfolio(DashboardView& window);

} // namespace PortfolioScreenshots
} // namespace norvane::app
