#pragma once

#include <QLoggingCategory>

namespace norvane::app {

// Where the application reports a failure of the core library that no view shows, one category
// per area, so that QT_LOGGING_RULES can quiet or widen an area on its own.
Q_DECLARE_LOGGING_CATEGORY(stateLog)
Q_DECLARE_LOGGING_CATEGORY(pagesLog)
Q_DECLARE_LOGGING_CATEGORY(settingsLog)

} // namespace norvane::app
