#include "Norvane/state/UpdateDialogPresenter.h"

#include <QDesktopServices>
#include <QPushButton>

#include "Norvane/state/AlertBox.h"

namespace norvane::app {

std::unique_ptr<QMessageBox> UpdateDialogPresenter::makeUpdateAvailableBox(const QString& newestVersion,
                                                                           const QString& currentVersion) {
    auto box = AlertBox::make(
        QMessageBox::Information, QObject::tr("A new version of Norvane is available!"),
        QObject::tr("Norvane %1 is now available (you have %2). Would you like to open its download page?")
            .arg(newestVersion, currentVersion));
    box->addButton(QObject::tr("Download"), QMessageBox::AcceptRole);
    box->setDefaultButton(box->addButton(QObject::tr("Later"), QMessageBox::RejectRole));
    return box;
}

std::unique_ptr<QMessageBox> UpdateDialogPresenter::makeUpToDateBox(const QString& currentVersion) {
    auto box = AlertBox::make(QMessageBox::Information, QObject::tr("You're up to date!"),
                              QObject::tr("Norvane %1 is currently the newest version available.").arg(currentVersion));
    box->addButton(QObject::tr("OK"), QMessageBox::AcceptRole);
    return box;
}

std::unique_ptr<QMessageBox> UpdateDialogPresenter::makeCheckFailedBox(const QString& reason) {
    auto box =
        AlertBox::make(QMessageBox::Warning, QObject::tr("Update Error!"),
                       QObject::tr("An error occurred in retrieving update information. Please try again later."));
    box->setDetailedText(reason);
    box->addButton(QObject::tr("OK"), QMessageBox::AcceptRole);
    return box;
}

void UpdateDialogPresenter::showUpdateAvailable(const QString& newestVersion, const QString& currentVersion,
                                                const QUrl& downloadPage) {
    const auto box = makeUpdateAvailableBox(newestVersion, currentVersion);
    box->exec();
    if (box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole) {
        QDesktopServices::openUrl(downloadPage);
    }
}

void UpdateDialogPresenter::showUpToDate(const QString& currentVersion) { makeUpToDateBox(currentVersion)->exec(); }

void UpdateDialogPresenter::showCheckFailed(const QString& reason) { makeCheckFailedBox(reason)->exec(); }

} // namespace norvane::app
