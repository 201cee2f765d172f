#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace norvane {
class NorvaneKit;
struct IndexExport;
} // namespace norvane

namespace norvane::app {

class ApplicationController;
class DashboardView;
struct ShareableMetrics;

/// The pictures of the welcome screen and of the sheets in their states, over the demo store: the
/// add-project sheet from the window's sidebar (the form, its warnings, a refusal, the history
/// import, a failed first collection), the index export and the shared summary.
namespace SheetScreenshots {

void stage(ApplicationController& controller, DashboardView& window,
           const std::function<void(const QString& name, QWidget& widget)>& take);

/// The index report of the demo store, as the portfolio page will build it.
IndexExport demoIndexExport(NorvaneKit& kit);
/// The shared summary's figures of the demo store.
ShareableMetrics demoShareableMetrics(ApplicationController& controller, NorvaneKit& kit);

} // namespace SheetScreenshots
} // namespace norvane::app
