#include "Norvane/state/Updater.h"

#include <QNetworkReply>
#include <QNetworkRequest>

#include "Norvane/state/UpdateFeed.h"

namespace norvane::app {
namespace {

constexpr int transferTimeoutMilliseconds = 30'000;
// The feed is a few dozen bytes; anything far larger is not our feed.
constexpr qint64 maximumFeedSize = 64 * 1024;

bool isWebAddress(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() && (url.scheme() == "https" || url.scheme() == "http");
}

} // namespace

Updater::Updater(const QString& feedUrl, QString currentVersion, UpdatePresenter& presenter, QObject* parent)
    : QObject(parent), feedUrl_(feedUrl, QUrl::StrictMode), currentVersion_(std::move(currentVersion)),
      presenter_(presenter), canCheckForUpdates_(isWebAddress(feedUrl_)) {}

void Updater::checkForUpdates() {
    if (!canCheckForUpdates_) {
        return;
    }
    setCanCheckForUpdates(false);
    QNetworkRequest request(feedUrl_);
    request.setTransferTimeout(transferTimeoutMilliseconds);
    QNetworkReply* reply = network_.get(request);
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > maximumFeedSize) {
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finishCheck(reply); });
}

void Updater::finishCheck(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        presenter_.showCheckFailed(reply->errorString());
    } else {
        presentFeed(reply->readAll());
    }
    setCanCheckForUpdates(true);
}

void Updater::presentFeed(const QByteArray& document) {
    const auto feed =
        UpdateFeed::parse(std::string_view(document.constData(), static_cast<std::size_t>(document.size())));
    if (!feed) {
        presenter_.showCheckFailed(tr("The update feed could not be read."));
        return;
    }
    const auto order = compareVersions(feed->version, currentVersion_.toStdString());
    if (!order) {
        presenter_.showCheckFailed(tr("The installed version \"%1\" cannot be compared.").arg(currentVersion_));
    } else if (*order > 0) {
        presenter_.showUpdateAvailable(QString::fromStdString(feed->version), currentVersion_,
                                       QUrl(QString::fromStdString(feed->url)));
    } else {
        presenter_.showUpToDate(currentVersion_);
    }
}

void Updater::setCanCheckForUpdates(bool canCheck) {
    if (canCheck != canCheckForUpdates_) {
        canCheckForUpdates_ = canCheck;
        emit canCheckForUpdatesChanged(canCheck);
    }
}

} // namespace norvane::app
