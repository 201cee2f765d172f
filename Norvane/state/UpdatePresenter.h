#pragma once

#include <QString>
#include <QUrl>

namespace norvane::app {

/// Tells the user how an update check ended; the updater waits until the user has read it.
class UpdatePresenter {
public:
    virtual ~UpdatePresenter() = default;
    virtual void showUpdateAvailable(const QString& newestVersion, const QString& currentVersion,
                                     const QUrl& downloadPage) = 0;
    virtual void showUpToDate(const QString& currentVersion) = 0;
    virtual void showCheckFailed(const QString& reason) = 0;
};

} // namespace norvane::app
