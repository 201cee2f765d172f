#include "Norvane/settings/GeneralTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QTime>

#include "Norvane/LogCategories.h"
#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/settings/CaptionMessage.h"
#include "Norvane/settings/FormSection.h"
#include "Norvane/settings/GroupedForm.h"
#include "Norvane/state/BackgroundWork.h"

namespace norvane::app {
namespace {

constexpr int tickMilliseconds = 1000;

std::pair<QString, QColor> toolSymbol(CommandLineTool::Reach reach) {
    switch (reach) {
    case CommandLineTool::Reach::onPath: return {QStringLiteral("checkmark.circle.fill"), Palette::systemGreen()};
    case CommandLineTool::Reach::besideApplication: return {QStringLiteral("info.circle"), Palette::systemBlue()};
    case CommandLineTool::Reach::missing: break;
    }
    return {QStringLiteral("xmark.circle.fill"), Palette::textSecondary()};
}

} // namespace

GeneralTab::GeneralTab(const SettingsServices& services, InitialState initial, QWidget* parent)
    : QWidget(parent), services_(services), launchdEnabled_(initial.launchdEnabled),
      collectionHour_(initial.collectionHour) {
    form_ = new GroupedForm;
    buildToolSection(*form_->addSection(QStringLiteral("Command Line Tool")));
    buildBackgroundSection(*form_->addSection(QStringLiteral("Background Collection")));
    buildDisplaySection(*form_->addSection(QStringLiteral("Display")));
    buildSetupSection(*form_->addSection(QStringLiteral("Setup")));
    auto* layout = makeColumn(0);
    layout->addWidget(form_);
    setLayout(layout);
    ticker_.setInterval(tickMilliseconds);
    connect(&ticker_, &QTimer::timeout, this, &GeneralTab::refresh);
    refresh();
}

const std::vector<GeneralTab::ChartRange>& GeneralTab::chartRanges() {
    static const std::vector<ChartRange> ranges = {{QStringLiteral("30 Days"), 30},
                                                   {QStringLiteral("90 Days"), 90},
                                                   {QStringLiteral("1 Year"), 365},
                                                   {QStringLiteral("All Time"), 0}};
    return ranges;
}

QString GeneralTab::toolStatusText(const CommandLineTool::Status& tool) {
    const auto path = QString::fromStdString(tool.path.string());
    switch (tool.reach) {
    case CommandLineTool::Reach::onPath: return QStringLiteral("Installed at ") + path;
    case CommandLineTool::Reach::besideApplication: return QStringLiteral("Not on PATH: ") + path;
    case CommandLineTool::Reach::missing: break;
    }
    return QStringLiteral("Not installed");
}

QString GeneralTab::backgroundCollectionFooter(bool toolInstalled) {
    // The agent runs the tool wherever it is found, beside the program too: nothing more is required.
    return toolInstalled ? QStringLiteral("Runs collection daily even when app isn't open.")
                         : QStringLiteral("Install the CLI tool first to enable background collection.");
}

std::optional<platform::Date> GeneralTab::lastCollectionDate(const NorvaneStore& store) {
    return newestCollection(store.listProjects());
}

void GeneralTab::buildToolSection(FormSection& section) {
    toolSymbol_ = makeSymbol(QString(), TextStyle::body, Palette::systemGreen());
    // A long path wraps, within the window's fixed width, rather than pushing the button out of it,
    // and is shown whole however many lines it takes: the window grows to hold them.
    toolStatus_ = new ElidedLabel(Typography::font(TextStyle::body), Palette::textPrimary(), ElidedLabel::everyLine);
    toolButton_ = new BorderedButton(QString(), BorderedButton::Prominence::standard);
    connect(toolButton_, &QPushButton::clicked, this,
            [this] { runCLIAction(services_.tool.status().action != CommandLineTool::Action::uninstall); });
    auto* row = makeRow(6);
    row->addWidget(toolSymbol_);
    row->addWidget(toolStatus_);
    row->addStretch(1);
    row->addWidget(toolButton_);
    section.addRow(wrap(row));
    toolError_ = new CaptionMessage;
    section.addRow(toolError_);
}

void GeneralTab::buildBackgroundSection(FormSection& section) {
    backgroundSection_ = &section;
    toggle_ = new QCheckBox(QStringLiteral("Enable background collection"));
    toggle_->setChecked(launchdEnabled_);
    // Only the user's clicks run the handler; putting the toggle back does not.
    connect(toggle_, &QCheckBox::clicked, this, &GeneralTab::backgroundCollectionToggled);
    section.addRow(toggle_);

    hourPicker_ = new QComboBox;
    for (int hour = 0; hour < 24; ++hour) hourPicker_->addItem(DateText::hourOfDay(hour), hour);
    hourPicker_->setCurrentIndex(collectionHour_);
    connect(hourPicker_, &QComboBox::activated, this, [this](int index) { collectionHourChanged(index); });
    hourRow_ = section.addLabeledRow(QStringLiteral("Collection time"), hourPicker_);

    lastCollectionAge_ = makeLabel(QString(), TextStyle::caption, Palette::textSecondary());
    auto* row = makeRow(4);
    row->addWidget(makeLabel(QStringLiteral("Last collection:"), TextStyle::caption, Palette::textSecondary()));
    row->addWidget(lastCollectionAge_);
    row->addWidget(makeLabel(QStringLiteral("ago"), TextStyle::caption, Palette::textSecondary()));
    row->addStretch(1);
    lastCollectionRow_ = section.addRow(wrap(row));

    agentError_ = new CaptionMessage;
    section.addRow(agentError_);
}

void GeneralTab::buildDisplaySection(FormSection& section) {
    chartRange_ = new QComboBox;
    for (const auto& range : chartRanges()) chartRange_->addItem(range.title, range.days);
    chartRange_->setCurrentIndex(chartRange_->findData(services_.preferences->defaultChartRange()));
    connect(chartRange_, &QComboBox::activated, this,
            [this](int index) { services_.preferences->setDefaultChartRange(chartRange_->itemData(index).toInt()); });
    connect(services_.preferences, &Preferences::changed, chartRange_, [this](const QString& key) {
        if (key == PreferenceKey::defaultChartRange)
            chartRange_->setCurrentIndex(chartRange_->findData(services_.preferences->defaultChartRange()));
    });
    section.addLabeledRow(QStringLiteral("Default chart range"), chartRange_);
}

void GeneralTab::buildSetupSection(FormSection& section) {
    setupButton_ = new BorderedButton(QStringLiteral("Run Setup Wizard Again"), BorderedButton::Prominence::standard,
                                      QStringLiteral("wand.and.stars"));
    connect(setupButton_, &QPushButton::clicked, this, [this] {
        services_.preferences->setHasCompletedOnboarding(false);
        emit setupWizardRequested();
    });
    auto* row = makeRow(0);
    row->addWidget(setupButton_);
    row->addStretch(1);
    section.addRow(wrap(row));
}

void GeneralTab::runCLIAction(bool install) {
    toolError_->clear();
    isInstallingCLI_ = true;
    focus_.hold(*this);
    refresh();
    auto installer = services_.installer;
    runInBackground<CLIInstaller::InstallResult>(
        this, [installer, install] { return install ? installer->install() : installer->uninstall(); },
        [this](std::optional<CLIInstaller::InstallResult> result, const QString& error) {
            isInstallingCLI_ = false;
            if (!result) {
                toolError_->showError(error);
            } else if (!result->succeeded()) {
                if (const auto text = result->error().errorDescription())
                    toolError_->showError(QString::fromStdString(*text));
            }
            refresh();
            focus_.giveBack();
        });
}

void GeneralTab::backgroundCollectionToggled(bool enabled) {
    launchdEnabled_ = enabled;
    const int hour = collectionHour_;
    runAgentOperation(
        [enabled, hour](const LaunchdManager& agent) { enabled ? agent.install(hour, 0) : agent.uninstall(); },
        [this, enabled] { launchdEnabled_ = !enabled; });
}

void GeneralTab::collectionHourChanged(int hour) {
    if (hour == collectionHour_) return;
    collectionHour_ = hour;
    runAgentOperation(
        [hour](const LaunchdManager& agent) {
            agent.uninstall();
            agent.install(hour, 0);
        },
        // The toggle then says whether an agent is left: the old one, or none after a failed install.
        [this] { launchdEnabled_ = services_.agent->isInstalled(); });
}

void GeneralTab::runAgentOperation(std::function<void(const LaunchdManager&)> operation,
                                   std::function<void()> restore) {
    agentError_->clear();
    isAgentBusy_ = true;
    focus_.hold(*this);
    refresh();
    auto agent = services_.agent;
    runInBackground<bool>(
        this,
        [agent, operation = std::move(operation)] {
            operation(*agent);
            return true;
        },
        [this, restore = std::move(restore)](std::optional<bool> done, const QString& error) {
            isAgentBusy_ = false;
            if (!done) {
                agentError_->showError(error);
                restore();
            }
            refresh();
            focus_.giveBack();
        });
}

void GeneralTab::loadLastCollectionDate() {
    const int generation = ++lastCollectionGeneration_;
    runInBackground<std::optional<platform::Date>>(
        this, [store = services_.store] { return lastCollectionDate(store); },
        [this, generation](std::optional<std::optional<platform::Date>> date, const QString& error) {
            if (generation != lastCollectionGeneration_) return;
            if (!date) {
                qCWarning(settingsLog, "Failed to load the last collection date: %s", qUtf8Printable(error));
                return;
            }
            lastScheduledCollection_ = *date;
            refresh();
        });
}

void GeneralTab::refresh() {
    // The files themselves, as the menu reads them: the menu may have installed or removed the link.
    const auto tool = services_.tool.status();
    const auto [symbol, color] = toolSymbol(tool.reach);
    toolSymbol_->setSymbolName(symbol);
    toolSymbol_->setColor(color);
    toolStatus_->setText(toolStatusText(tool));
    toolButton_->setText(tool.action == CommandLineTool::Action::install ? QStringLiteral("Install")
                                                                         : QStringLiteral("Uninstall"));
    // Only the installer's link can be uninstalled, not a tool installed with the application.
    toolButton_->setEnabled(!isInstallingCLI_ && tool.action != CommandLineTool::Action::none);

    const bool toolReady = tool.reach != CommandLineTool::Reach::missing;
    toggle_->setChecked(launchdEnabled_);
    toggle_->setEnabled(toolReady && !isAgentBusy_);
    backgroundSection_->setFooter(backgroundCollectionFooter(toolReady));
    hourPicker_->setCurrentIndex(collectionHour_);
    hourPicker_->setEnabled(!isAgentBusy_);
    hourRow_->setVisible(launchdEnabled_);
    lastCollectionRow_->setVisible(launchdEnabled_ && lastScheduledCollection_.has_value());
    if (lastScheduledCollection_) {
        lastCollectionAge_->setText(DateText::elapsedText(*lastScheduledCollection_, platform::currentDate()));
    }
}

QString GeneralTab::toolStatus() const { return toolStatus_->text(); }

QString GeneralTab::lastCollectionText() const {
    if (lastCollectionRow_->isHidden()) return {};
    return QStringLiteral("Last collection: ") + lastCollectionAge_->text() + QStringLiteral(" ago");
}

QString GeneralTab::backgroundFooter() const { return backgroundSection_->footer(); }

void GeneralTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    loadLastCollectionDate();
    refresh();
    ticker_.start();
}

void GeneralTab::hideEvent(QHideEvent* event) {
    ticker_.stop();
    QWidget::hideEvent(event);
}

} // namespace norvane::app
