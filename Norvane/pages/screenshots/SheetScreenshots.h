#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace norvane::app {

class ApplicationController;
class DashboardView;

/// The pictures of the welcome screen and of the sheets in their states, over the demo store: the
/// add-project sheet from the window's sidebar (the form, its warnings, a refusal, the history
/// import, a failed first collection), and the index export and the shared summary from the
/// portfolio page's menu.
namespace SheetScreenshots {

void stage(ApplicationController& controller, DashboardView& window,
           const std::function<void(const QString& name, QWidget& widget)>& take);

} // namespace SheetScreenshots
} // namespace norvane::app
