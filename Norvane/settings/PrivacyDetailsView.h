#pragma once

#include <QStringList>
#include <QWidget>

class QAbstractButton;

namespace norvane::app {

class SymbolLabel;

/// "What data is collected?": a disclosure group, closed at first, listing what the anonymous
/// reports hold and what they never hold.
class PrivacyDetailsView : public QWidget {
    Q_OBJECT
public:
    explicit PrivacyDetailsView(QWidget* parent = nullptr);

    static const QStringList& collectedItems();
    static const QStringList& neverCollectedItems();

    QAbstractButton& disclosureButton() const { return *disclosure_; }
    bool isExpanded() const;

private:
    QWidget* makeDetails() const;

    QAbstractButton* disclosure_;
    SymbolLabel* chevron_;
    QWidget* details_;
};

} // namespace norvane::app
