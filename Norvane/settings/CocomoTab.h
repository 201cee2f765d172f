#pragma once

#include <optional>
#include <vector>

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace norvane::app {

class CaptionMessage;
class Preferences;
class StyledLabel;

/// The settings window's cost tab: the salary, overhead and headcount of the traditional cost
/// model, and the hourly rate of the market-rate estimate. Every control writes its preference as
/// soon as it changes, and follows a change made elsewhere; an amount typed counts once Return or
/// Tab ends it, or the user leaves the window. Under the cost model's rows it says when the store
/// did not take them.
class CocomoTab : public QWidget {
    Q_OBJECT
public:
    struct HourlyRate {
        QString title;
        double rate;
    };

    explicit CocomoTab(Preferences& preferences, QWidget* parent = nullptr);

    static constexpr int minimumHeadcount = 1;
    static constexpr int maximumHeadcount = 100;

    static const std::vector<HourlyRate>& hourlyRates();
    /// US dollars with grouping and cents, whatever the locale: "$150,000.00".
    static QString formatSalary(double wage);
    /// A salary typed with or without the dollar sign, grouping and cents; none for anything else
    /// and for a negative or endless amount.
    static std::optional<double> parseSalary(const QString& text);
    /// One fraction digit: "2.4".
    static QString formatOverhead(double overhead);
    static std::optional<double> parseOverhead(const QString& text);

    QLineEdit& salaryField() const { return *salary_; }
    QLineEdit& overheadField() const { return *overhead_; }
    QPushButton& fewerButton() const { return *fewer_; }
    QPushButton& moreButton() const { return *more_; }
    QString headcountTitle() const;
    QComboBox& hourlyRatePicker() const { return *hourlyRate_; }
    const CaptionMessage& storeMessage() const { return *storeMessage_; }
    /// How the last write of the cost model to the store ended: empty when it was stored.
    void showStoreWrite(const QString& failure);

protected:
    bool event(QEvent* event) override;

private:
    void commitSalary();
    void commitOverhead();
    void stepHeadcount(int step);
    void refresh();

    Preferences& preferences_;
    QLineEdit* salary_;
    QLineEdit* overhead_;
    StyledLabel* headcount_;
    QPushButton* fewer_;
    QPushButton* more_;
    QComboBox* hourlyRate_;
    CaptionMessage* storeMessage_;
};

} // namespace norvane::app
