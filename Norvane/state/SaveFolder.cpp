#include "Norvane/state/SaveFolder.h"

#include <QDir>
#include <QFileInfo>

namespace norvane::app {

// Never the folder the program was started from, which the user did not choose.
QString SaveFolder::folder() const { return lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_; }

void SaveFolder::remember(const QString& savedFile) { lastFolder_ = QFileInfo(savedFile).absolutePath(); }

} // namespace norvane::app
