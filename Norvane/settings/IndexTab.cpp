#include "Norvane/settings/IndexTab.h"

#include <utility>

#include <QCheckBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QUrl>
#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/FormSection.h"
#include "Norvane/settings/GroupedForm.h"
#include "Norvane/settings/IndexProgressView.h"
#include "Norvane/settings/LinkButton.h"
#include "Norvane/settings/PrivacyDetailsView.h"
#include "Norvane/state/BackgroundWork.h"
#include "core/community/SubmissionError.h"
#include "platform/Uuid.h"

namespace norvane::app {
namespace {

constexpr int deviceIdPrefixLength = 8;

QString newDeviceId() { return QString::fromStdString(platform::Uuid::random().toString()); }

QPushButton* destructiveButton(const QString& text, const QString& symbol) {
    auto* button = new BorderedButton(text, BorderedButton::Prominence::standard, symbol);
    button->setStyleSheet(button->styleSheet() +
                          QStringLiteral("QPushButton { color: %1; }").arg(Palette::red().name(QColor::HexArgb)));
    return button;
}

void openSite(const char* path) {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(makerWebSite) + QString::fromLatin1(path)));
}

/// What to tell the user when the deletion failed: the service's refusal as the client words it,
/// else why the service could not be asked.
QString deletionFailureText(const std::exception& failure) {
    if (dynamic_cast<const SubmissionError*>(&failure) != nullptr) return QString::fromUtf8(failure.what());
    return QStringLiteral("Failed to delete data: ") + QString::fromUtf8(failure.what());
}

} // namespace

IndexTab::IndexTab(const SettingsServices& services, QWidget* parent) : QWidget(parent), services_(services) {
    auto* form = new GroupedForm;
    buildParticipation(*form->addSection(QStringLiteral("Community Benchmarks")));
    progress_ = new IndexProgressView(services_.preferences->cachedContributorCount());
    form->addSection(QStringLiteral("Index Progress"))->addRow(progress_);
    privacy_ = new PrivacyDetailsView;
    form->addSection(QStringLiteral("Privacy Details"))->addRow(privacy_);
    buildLinks(*form->addSection(QStringLiteral("Learn More")));
    buildDataManagement(*form->addSection(QStringLiteral("Data Management")));
    auto* layout = makeColumn(0);
    layout->addWidget(form);
    setLayout(layout);
    connect(services_.preferences, &Preferences::changed, this, [this](const QString& key) {
        // Leaving drops what waits to be sent, and a new id sends nothing under the old one.
        if (key == PreferenceKey::anonymousDeviceId || key == PreferenceKey::shareAnonymousMetrics) loadClientState();
        if (key == PreferenceKey::shareAnonymousMetrics || key == PreferenceKey::anonymousDeviceId ||
            key == PreferenceKey::cachedContributorCount)
            refresh();
    });
    refresh();
}

QString IndexTab::deviceIdPrefix(const QString& deviceId) {
    return deviceId.left(deviceIdPrefixLength) + QStringLiteral("...");
}

QString IndexTab::pendingText(std::size_t count) {
    if (count == 0) return {};
    return QString::number(count) + (count == 1 ? QStringLiteral(" report") : QStringLiteral(" reports")) +
           QStringLiteral(" pending");
}

void IndexTab::buildParticipation(FormSection& section) {
    share_ = new QCheckBox(QStringLiteral("Share anonymous metrics"));
    // Only the user's clicks: a change made in another window already brings its own id.
    connect(share_, &QCheckBox::clicked, this, &IndexTab::ensureDeviceId);
    section.addRow(share_);

    auto* rows = makeColumn(4);
    auto* helping = makeRow(6);
    helping->addWidget(makeSymbol(QStringLiteral("checkmark.circle.fill"), TextStyle::caption, Palette::systemGreen()));
    helping->addWidget(makeLabel(QStringLiteral("You're helping build the Norvane Index!"), TextStyle::caption,
                                 Palette::textSecondary()));
    helping->addStretch(1);
    helpingRow_ = wrap(helping);
    rows->addWidget(helpingRow_);
    forgottenMessage_ = new CaptionMessage;
    rows->addWidget(forgottenMessage_);
    auto* device = makeRow(6);
    device->addWidget(makeLabel(QStringLiteral("Device ID:"), TextStyle::caption, Palette::textSecondary()));
    deviceId_ = makeLabel(QString(), TextStyle::caption, Palette::textMuted());
    QFont monospaced = Typography::font(TextStyle::caption);
    monospaced.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("monospace")});
    monospaced.setStyleHint(QFont::Monospace);
    deviceId_->setFont(monospaced);
    device->addWidget(deviceId_);
    device->addStretch(1);
    rows->addLayout(device);
    auto* pending = makeRow(6);
    pending->addWidget(
        makeSymbol(QStringLiteral("clock.arrow.circlepath"), TextStyle::caption, Palette::systemOrange()));
    pending_ = makeLabel(QString(), TextStyle::caption, Palette::textSecondary());
    pending->addWidget(pending_);
    pending->addStretch(1);
    pendingRow_ = wrap(pending);
    rows->addWidget(pendingRow_);
    sharingRows_ = section.addRow(wrap(rows));
    queueMessage_ = new CaptionMessage;
    section.addRow(queueMessage_);
    section.setFooter(QStringLiteral("Help build productivity benchmarks by sharing anonymous, aggregated metrics. "
                                     "No code, file names, or identifying information is ever collected."));
}

void IndexTab::buildLinks(FormSection& section) {
    privacyLink_ = new LinkButton(QStringLiteral("Privacy Policy"), QStringLiteral("doc.text"), TextStyle::body);
    connect(privacyLink_, &QAbstractButton::clicked, this, [] { openSite(privacyPolicyPath); });
    section.addRow(privacyLink_);
    auto* faq =
        new LinkButton(QStringLiteral("Norvane Index FAQ"), QStringLiteral("questionmark.circle"), TextStyle::body);
    connect(faq, &QAbstractButton::clicked, this, [] { openSite(indexFaqPath); });
    section.addRow(faq);
}

void IndexTab::buildDataManagement(FormSection& section) {
    dataManagement_ = &section;
    reset_ = destructiveButton(QStringLiteral("Reset Device ID"), QStringLiteral("arrow.counterclockwise"));
    connect(reset_, &QPushButton::clicked, this, [this] {
        confirm(QStringLiteral("Reset Device ID?"),
                QStringLiteral("This will generate a new anonymous identity. Your previous data will remain on our "
                               "servers but won't be linked to you. You'll start fresh in the benchmarks."),
                QStringLiteral("Reset"), &IndexTab::resetDeviceId);
    });
    delete_ = destructiveButton(QStringLiteral("Delete My Anonymous Data"), QStringLiteral("trash"));
    connect(delete_, &QPushButton::clicked, this, [this] {
        confirm(QStringLiteral("Delete Anonymous Data?"),
                QStringLiteral("This will send a request to delete all anonymous data associated with your device ID "
                               "from our servers. This cannot be undone."),
                QStringLiteral("Delete"), &IndexTab::deleteAnonymousData);
    });
    for (auto* button : {reset_, delete_}) {
        auto* row = makeRow(0);
        row->addWidget(button);
        row->addStretch(1);
        section.addRow(wrap(row));
    }
    deletionMessage_ = new CaptionMessage;
    section.addRow(deletionMessage_);
    section.setFooter(QStringLiteral("Reset creates a fresh anonymous identity. Delete requests removal of all data "
                                     "associated with your current device ID from our servers."));
}

void IndexTab::ensureDeviceId(bool sharing) {
    services_.preferences->setShareAnonymousMetrics(sharing);
    if (sharing && services_.preferences->anonymousDeviceId().isEmpty()) {
        services_.preferences->setAnonymousDeviceId(newDeviceId());
    }
}

void IndexTab::confirm(const QString& title, const QString& message, const QString& action, void (IndexTab::*run)()) {
    auto* alert = new QMessageBox(QMessageBox::Warning, title, title, QMessageBox::NoButton, this);
    alert->setInformativeText(message);
    auto* cancel = alert->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    auto* confirmed = alert->addButton(action, QMessageBox::DestructiveRole);
    // Return and Escape both keep things as they are; only a click destroys.
    alert->setDefaultButton(cancel);
    alert->setEscapeButton(cancel);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    connect(alert, &QMessageBox::buttonClicked, this, [this, confirmed, run](QAbstractButton* clicked) {
        if (clicked == confirmed) (this->*run)();
    });
    alert->open();
}

void IndexTab::beginIdentityChange() {
    deletionMessage_->clear();
    isChangingIdentity_ = true;
    refresh();
}

void IndexTab::resetDeviceId() {
    const QString deviceId = services_.preferences->anonymousDeviceId();
    beginIdentityChange();
    auto client = services_.indexClient;
    runInBackground<std::optional<std::string>>(
        this,
        [client, deviceId] {
            // Kept on disk first, so that nothing queued under the old id goes out beside the new one.
            client->forgetDevice(deviceId.toStdString()).get();
            return client->pendingReportsSaveFailure().get();
        },
        [this, deviceId](std::optional<std::optional<std::string>> saveFailure, const QString& error) {
            isChangingIdentity_ = false;
            if (!saveFailure) {
                // The old id stays: a new one beside it could be linked to it.
                deletionMessage_->showError(QStringLiteral("Failed to reset the device ID: ") + error);
            } else {
                if (services_.preferences->anonymousDeviceId() == deviceId) {
                    services_.preferences->setAnonymousDeviceId(newDeviceId());
                }
                showQueueSaveFailure(*saveFailure);
            }
            refresh();
        });
}

void IndexTab::deleteAnonymousData() {
    const QString deviceId = services_.preferences->anonymousDeviceId();
    beginIdentityChange();
    auto client = services_.indexClient;
    struct Outcome {
        std::optional<QString> failure;
        std::optional<std::string> saveFailure;
    };
    runInBackground<Outcome>(
        this,
        [client, deviceId] {
            Outcome outcome;
            try {
                client->requestDeletion(deviceId.toStdString()).get();
            } catch (const std::exception& failure) {
                outcome.failure = deletionFailureText(failure);
            }
            outcome.saveFailure = client->pendingReportsSaveFailure().get();
            return outcome;
        },
        [this, deviceId](std::optional<Outcome> outcome, const QString& error) {
            isChangingIdentity_ = false;
            if (!outcome || outcome->failure) {
                // The id stays, so the user can ask again.
                deletionMessage_->showError(outcome ? *outcome->failure : error);
            } else if (services_.preferences->anonymousDeviceId() == deviceId) {
                services_.preferences->setShareAnonymousMetrics(false);
                services_.preferences->setAnonymousDeviceId(QString());
            }
            if (outcome) showQueueSaveFailure(outcome->saveFailure);
            refresh();
        });
}

void IndexTab::showQueueSaveFailure(const std::optional<std::string>& failure) {
    if (failure) {
        queueMessage_->showError(QString::fromStdString(*failure));
    } else {
        queueMessage_->clear();
    }
}

void IndexTab::loadClientState() {
    const int generation = ++clientStateGeneration_;
    struct ClientState {
        std::size_t pendingReports = 0;
        std::optional<std::string> saveFailure;
        bool deviceIdForgotten = false;
    };
    const QString deviceId = services_.preferences->anonymousDeviceId();
    runInBackground<ClientState>(
        this,
        [client = services_.indexClient, deviceId] {
            return ClientState{client->pendingReportCount().get(), client->pendingReportsSaveFailure().get(),
                               !deviceId.isEmpty() && client->isForgotten(deviceId.toStdString()).get()};
        },
        [this, generation, deviceId](std::optional<ClientState> state, const QString&) {
            if (generation != clientStateGeneration_ || !state) return;
            pendingReportCount_ = state->pendingReports;
            forgottenDeviceId_ = state->deviceIdForgotten ? deviceId : QString();
            showQueueSaveFailure(state->saveFailure);
            refresh();
        });
}

void IndexTab::refresh() {
    const Preferences& preferences = *services_.preferences;
    const bool sharing = preferences.shareAnonymousMetrics();
    const QString deviceId = preferences.anonymousDeviceId();
    share_->setChecked(sharing);
    sharingRows_->setVisible(sharing);
    deviceId_->setText(deviceIdPrefix(deviceId));
    // An id kept from before a reset or a deletion that did not finish: every report is dropped.
    const bool forgotten = !deviceId.isEmpty() && deviceId == forgottenDeviceId_;
    helpingRow_->setVisible(!forgotten);
    if (forgotten) {
        forgottenMessage_->showError(QStringLiteral("Nothing is sent under this device ID: it was reset, or its data "
                                                    "deleted. Reset the Device ID to share again."));
    } else {
        forgottenMessage_->clear();
    }
    pending_->setText(pendingText(pendingReportCount_));
    pendingRow_->setVisible(pendingReportCount_ > 0);
    progress_->setContributorCount(preferences.cachedContributorCount());
    // The section follows the id, not the switch: an id kept after leaving can still be deleted.
    dataManagement_->setVisible(!deviceId.isEmpty());
    reset_->setEnabled(!isChangingIdentity_);
    delete_->setEnabled(!isChangingIdentity_);
}

QString IndexTab::deviceIdText() const { return deviceId_->text(); }

QString IndexTab::shownPendingText() const {
    return sharingRows_->isHidden() || pendingRow_->isHidden() ? QString() : pending_->text();
}

bool IndexTab::showsDataManagement() const { return !dataManagement_->isHidden(); }

bool IndexTab::saysItHelps() const { return !sharingRows_->isHidden() && !helpingRow_->isHidden(); }

void IndexTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    loadClientState();
}

} // namespace norvane::app
