#pragma once

#include <QWidget>

class QPushButton;

namespace norvane::app {

class OnboardingWizardModel;

/// The wizard's benchmark step: what the anonymous community benchmark gives and collects, and
/// joining or leaving it, which only stores the sharing switch and the device id; the application
/// state hands them to the benchmark client.
class NorvaneIndexOptInView : public QWidget {
    Q_OBJECT
public:
    explicit NorvaneIndexOptInView(OnboardingWizardModel& model, QWidget* parent = nullptr);

    QPushButton& enableButton() const { return *enable_; }
    QPushButton& optOutButton() const { return *optOut_; }
    /// The joined state's box and button; hidden while not joined.
    const QWidget& joinedBlock() const { return *joined_; }

private:
    QWidget* makeBenefits();
    QWidget* makePrivacyBox();
    QWidget* makeJoinedBlock();
    QWidget* makeNotJoinedBlock();
    void enableIndex();
    void optOut();
    void refresh();

    OnboardingWizardModel& model_;
    QWidget* joined_ = nullptr;
    QWidget* notJoined_ = nullptr;
    QPushButton* enable_ = nullptr;
    QPushButton* optOut_ = nullptr;
};

} // namespace norvane::app
