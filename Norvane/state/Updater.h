#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include "Norvane/state/UpdatePresenter.h"

class QNetworkReply;

namespace norvane::app {

/// Checks a feed for a newer release when the user asks. A check may start while a feed is
/// configured and no other check runs; `canCheckForUpdates` says so and is correct from creation.
class Updater : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool canCheckForUpdates READ canCheckForUpdates NOTIFY canCheckForUpdatesChanged)

public:
    /// An empty or non-http(s) `feedUrl` means no feed: the updater never allows a check.
    Updater(const QString& feedUrl, QString currentVersion, UpdatePresenter& presenter, QObject* parent = nullptr);

    bool canCheckForUpdates() const { return canCheckForUpdates_; }

public slots:
    /// Fetches the feed and presents the outcome; does nothing while a check is not allowed.
    void checkForUpdates();

signals:
    void canCheckForUpdatesChanged(bool canCheckForUpdates);

private:
    void finishCheck(QNetworkReply* reply);
    void presentFeed(const QByteArray& document);
    void setCanCheckForUpdates(bool canCheck);

    QUrl feedUrl_;
    QString currentVersion_;
    UpdatePresenter& presenter_;
    QNetworkAccessManager network_;
    bool canCheckForUpdates_ = false;
};

} // namespace norvane::app
