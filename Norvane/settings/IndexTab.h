#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <QWidget>

#include "Norvane/settings/SettingsServices.h"

class QCheckBox;
class QPushButton;

namespace norvane::app {

class CaptionMessage;
class FormSection;
class IndexProgressView;
class LinkButton;
class PrivacyDetailsView;
class StyledLabel;

/// The maker's web site behind the tab's links. A placeholder on the reserved ".example" domain
/// until the project has a site of its own.
inline constexpr const char* makerWebSite = "https://norvane.example";
inline constexpr const char* privacyPolicyPath = "/privacy";
inline constexpr const char* indexFaqPath = "/index-faq";

/// The settings window's benchmark tab: joining or leaving the anonymous community benchmark, the
/// device id and the reports waiting to be sent, the community's progress, what is and is not
/// collected, and two confirmed actions on the anonymous identity: a new id, and the deletion of
/// the data sent under the current one. The benchmark client is waited for on a worker.
class IndexTab : public QWidget {
    Q_OBJECT
public:
    explicit IndexTab(const SettingsServices& services, QWidget* parent = nullptr);

    /// The first 8 characters of the id followed by "...".
    static QString deviceIdPrefix(const QString& deviceId);
    /// "1 report pending", "2 reports pending"; empty for none.
    static QString pendingText(std::size_t count);

    QCheckBox& shareToggle() const { return *share_; }
    QString deviceIdText() const;
    /// The pending row's text while it is shown, else empty.
    QString shownPendingText() const;
    const PrivacyDetailsView& privacyDetails() const { return *privacy_; }
    LinkButton& privacyPolicyLink() const { return *privacyLink_; }
    bool showsDataManagement() const;
    /// Whether "You're helping build the Norvane Index!" shows.
    bool saysItHelps() const;
    /// That nothing is sent under the device id, when the client has forgotten it.
    const CaptionMessage& forgottenMessage() const { return *forgottenMessage_; }
    QPushButton& resetButton() const { return *reset_; }
    QPushButton& deleteButton() const { return *delete_; }
    const CaptionMessage& deletionMessage() const { return *deletionMessage_; }
    /// Why the reports waiting to be sent are not saved, when the last look found so.
    const CaptionMessage& queueMessage() const { return *queueMessage_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildParticipation(FormSection& section);
    void buildLinks(FormSection& section);
    void buildDataManagement(FormSection& section);
    void ensureDeviceId(bool sharing);
    void confirm(const QString& title, const QString& message, const QString& action, void (IndexTab::*run)());
    void resetDeviceId();
    void deleteAnonymousData();
    void beginIdentityChange();
    void showQueueSaveFailure(const std::optional<std::string>& failure);
    /// The queue's count and save failure, and whether the client has forgotten the device id.
    void loadClientState();
    void refresh();

    SettingsServices services_;
    std::size_t pendingReportCount_ = 0;
    /// The device id as the client last said it forgot it; empty for none.
    QString forgottenDeviceId_;
    int clientStateGeneration_ = 0;
    /// A reset or a deletion is under way: the old id is being forgotten.
    bool isChangingIdentity_ = false;

    QCheckBox* share_ = nullptr;
    QWidget* sharingRows_ = nullptr;
    QWidget* helpingRow_ = nullptr;
    CaptionMessage* forgottenMessage_ = nullptr;
    StyledLabel* deviceId_ = nullptr;
    QWidget* pendingRow_ = nullptr;
    StyledLabel* pending_ = nullptr;
    CaptionMessage* queueMessage_ = nullptr;
    IndexProgressView* progress_ = nullptr;
    PrivacyDetailsView* privacy_ = nullptr;
    LinkButton* privacyLink_ = nullptr;
    FormSection* dataManagement_ = nullptr;
    QPushButton* reset_ = nullptr;
    QPushButton* delete_ = nullptr;
    CaptionMessage* deletionMessage_ = nullptr;
};

} // namespace norvane::app
