#include "Norvane/LogCategories.h"

namespace norvane::app {

Q_LOGGING_CATEGORY(stateLog, "norvane.state")
Q_LOGGING_CATEGORY(pagesLog, "norvane.pages")
Q_LOGGING_CATEGORY(settingsLog, "norvane.settings")

} // namespace norvane::app
