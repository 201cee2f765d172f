#include "Norvane/settings/CocomoTab.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/FormSection.h"
#include "Norvane/settings/GroupedForm.h"
#include "Norvane/state/Preferences.h"

namespace norvane::app {
namespace {

constexpr int fieldWidth = 140;

const QLocale& dollarLocale() {
    static const QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

std::optional<double> parseAmount(const QLocale& locale, const QString& text) {
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < 0) return std::nullopt;
    return value;
}

QLineEdit* makeField() {
    auto* field = new QLineEdit;
    field->setFixedWidth(fieldWidth);
    field->setAlignment(Qt::AlignRight);
    return field;
}

QPushButton* makeStepButton(const QString& text) {
    auto* button = new BorderedButton(text, BorderedButton::Prominence::standard);
    button->setFixedWidth(36);
    return button;
}

} // namespace

CocomoTab::CocomoTab(Preferences& preferences, QWidget* parent)
    : QWidget(parent), preferences_(preferences), salary_(makeField()), overhead_(makeField()),
      headcount_(makeLabel(QString(), TextStyle::body, Palette::textPrimary())),
      fewer_(makeStepButton(QStringLiteral("−"))), more_(makeStepButton(QStringLiteral("+"))),
      hourlyRate_(new QComboBox), storeMessage_(new CaptionMessage) {
    auto* form = new GroupedForm;
    auto* parameters = form->addSection(QStringLiteral("COCOMO Parameters"));
    parameters->addLabeledRow(QStringLiteral("Average Developer Salary"), salary_);
    parameters->addLabeledRow(QStringLiteral("Overhead Multiplier"), overhead_);
    auto* stepper = makeRow(4);
    stepper->addWidget(headcount_);
    stepper->addStretch(1);
    stepper->addWidget(fewer_);
    stepper->addWidget(more_);
    parameters->addRow(wrap(stepper));
    parameters->addRow(storeMessage_);
    parameters->setFooter(QStringLiteral("These values are used to calculate the traditional development cost and "
                                         "leverage ratio. Overhead includes benefits, office space, management, etc."));

    for (const auto& rate : hourlyRates()) hourlyRate_->addItem(rate.title, rate.rate);
    auto* market = form->addSection(QStringLiteral("Market Rate Estimate"));
    market->addLabeledRow(QStringLiteral("Hourly Rate"), hourlyRate_);
    market->setFooter(QStringLiteral("Hourly rate for market-based cost estimates. Adjust to reflect your local "
                                     "market or contract rates."));
    auto* layout = makeColumn(0);
    layout->addWidget(form);
    setLayout(layout);

    connect(salary_, &QLineEdit::editingFinished, this, &CocomoTab::commitSalary);
    connect(overhead_, &QLineEdit::editingFinished, this, &CocomoTab::commitOverhead);
    connect(fewer_, &QPushButton::clicked, this, [this] { stepHeadcount(-1); });
    connect(more_, &QPushButton::clicked, this, [this] { stepHeadcount(1); });
    connect(hourlyRate_, &QComboBox::activated, this,
            [this](int index) { preferences_.setMarketHourlyRate(hourlyRate_->itemData(index).toDouble()); });
    connect(&preferences_, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKey::averageWage || key == PreferenceKey::overhead || key == PreferenceKey::headcount ||
            key == PreferenceKey::marketHourlyRate)
            refresh();
    });
    refresh();
}

const std::vector<CocomoTab::HourlyRate>& CocomoTab::hourlyRates() {
    static const std::vector<HourlyRate> rates = {{QStringLiteral("$100/hr"), 100.0},
                                                  {QStringLiteral("$125/hr"), 125.0},
                                                  {QStringLiteral("$150/hr (Default)"), 150.0},
                                                  {QStringLiteral("$175/hr"), 175.0},
                                                  {QStringLiteral("$200/hr"), 200.0},
                                                  {QStringLiteral("$250/hr"), 250.0},
                                                  {QStringLiteral("$300/hr"), 300.0}};
    return rates;
}

QString CocomoTab::formatSalary(double wage) { return dollarLocale().toCurrencyString(wage, QStringLiteral("$"), 2); }

std::optional<double> CocomoTab::parseSalary(const QString& text) {
    QString amount = text.trimmed();
    if (amount.startsWith(QLatin1Char('$'))) amount.remove(0, 1);
    return parseAmount(dollarLocale(), amount);
}

QString CocomoTab::formatOverhead(double overhead) { return formatFixed(overhead, 1); }

std::optional<double> CocomoTab::parseOverhead(const QString& text) {
    QLocale plain = QLocale::c();
    plain.setNumberOptions(QLocale::RejectGroupSeparator);
    return parseAmount(plain, text);
}

QString CocomoTab::headcountTitle() const { return headcount_->text(); }

bool CocomoTab::event(QEvent* event) {
    // Qt ends no editing when the window is left, for a terminal say: the amount shown would then
    // be neither in the preferences nor in the store.
    if (event->type() == QEvent::WindowDeactivate) {
        if (salary_->isModified()) commitSalary();
        if (overhead_->isModified()) commitOverhead();
    }
    return QWidget::event(event);
}

void CocomoTab::commitSalary() {
    if (const auto wage = parseSalary(salary_->text())) preferences_.setAverageWage(*wage);
    // Text that does not parse gives way to the stored value again.
    refresh();
}

void CocomoTab::commitOverhead() {
    if (const auto overhead = parseOverhead(overhead_->text())) preferences_.setOverhead(*overhead);
    refresh();
}

void CocomoTab::stepHeadcount(int step) {
    preferences_.setHeadcount(std::clamp(preferences_.headcount() + step, minimumHeadcount, maximumHeadcount));
}

void CocomoTab::showStoreWrite(const QString& failure) {
    if (failure.isEmpty()) {
        storeMessage_->clear();
    } else {
        storeMessage_->showError(QStringLiteral("Not saved in the store: ") + failure);
    }
}

void CocomoTab::refresh() {
    salary_->setText(formatSalary(preferences_.averageWage()));
    overhead_->setText(formatOverhead(preferences_.overhead()));
    const int headcount = preferences_.headcount();
    headcount_->setText(QStringLiteral("Team Headcount: ") + QString::number(headcount));
    fewer_->setEnabled(headcount > minimumHeadcount);
    more_->setEnabled(headcount < maximumHeadcount);
    hourlyRate_->setCurrentIndex(hourlyRate_->findData(preferences_.marketHourlyRate()));
}

} // namespace norvane::app
