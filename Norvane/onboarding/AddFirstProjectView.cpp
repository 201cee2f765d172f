#include "Norvane/onboarding/AddFirstProjectView.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/BusyIndicator.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/onboarding/BusyButton.h"
#include "Norvane/onboarding/ErrorCaption.h"
#include "Norvane/onboarding/OnboardingWizardModel.h"
#include "Norvane/onboarding/StepLayout.h"
#include "Norvane/sheets/AddProjectForm.h"
#include "Norvane/sheets/ProjectFolderFields.h"

namespace norvane::app {
namespace {

constexpr int fieldGroupWidth = 350;
constexpr int addButtonWidth = 120;
constexpr int importBarWidth = 200;
constexpr int historyBarHeight = 6;
// Close enough that the form with its warning and a refusal fits the wizard's fixed height.
constexpr int formSpacing = 16;
// The bar's resolution: the import's fraction in thousandths.
constexpr int progressSteps = 1000;

StyledLabel* makeFieldLabel(const QString& text) {
    return makeLabel(text, TextStyle::subheadline, Palette::textSecondary());
}

/// A figure over what it counts, in the added project's card.
QWidget* makeFigure(StyledLabel*& value, const QString& unit) {
    value = makeLabel(QString(), TextStyle::headline, Palette::textPrimary());
    auto* column = makeColumn(2);
    column->addWidget(value, 0, Qt::AlignHCenter);
    column->addWidget(makeLabel(unit, TextStyle::caption, Palette::textSecondary()), 0, Qt::AlignHCenter);
    return wrap(column);
}

/// A display's column: centred, 20 apart, with room above.
QVBoxLayout* makeDisplayColumn(int spacing) {
    auto* column = makeColumn(spacing);
    column->setContentsMargins(RoundedPanel::defaultPadding, RoundedPanel::defaultPadding + 10,
                               RoundedPanel::defaultPadding, RoundedPanel::defaultPadding);
    return column;
}

} // namespace

AddFirstProjectView::AddFirstProjectView(OnboardingWizardModel& model, QWidget* parent)
    : QWidget(parent), model_(model), adder_(model.projectAdder()) {
    displays_ = new QStackedWidget;
    displays_->addWidget(makeForm());
    displays_->addWidget(makeProgress());
    displays_->addWidget(makeAdded());
    displays_->addWidget(makeFailure());
    auto* layout = makeColumn(0);
    layout->addWidget(displays_);
    setLayout(layout);

    connect(name_, &QLineEdit::textChanged, this, &AddFirstProjectView::refresh);
    connect(path_, &QLineEdit::textChanged, this, &AddFirstProjectView::refresh);
    connect(&adder_, &AddProjectController::changed, this, &AddFirstProjectView::refresh);
    connect(&model_, &OnboardingWizardModel::changed, this, &AddFirstProjectView::refresh);
    refresh();
}

std::optional<QString> AddFirstProjectView::toolHint(const CommandLineTool::Status& tool) {
    QString command;
    switch (tool.reach) {
    case CommandLineTool::Reach::onPath: command = QStringLiteral("norvane"); break;
    // A terminal finds it only by its full path.
    case CommandLineTool::Reach::besideApplication:
        command = QString::fromStdString(tool.path.string()).toHtmlEscaped();
        break;
    case CommandLineTool::Reach::missing: return std::nullopt;
    }
    return QStringLiteral("You can also add projects via CLI: <code>%1 add {name}</code> in the project folder")
        .arg(command);
}

QString AddFirstProjectView::shownToolHint() const { return toolHint_->isHidden() ? QString() : toolHint_->text(); }

AddFirstProjectView::Display AddFirstProjectView::display(const AddProjectController& adder, bool hasAddedProject) {
    if (adder.isImporting()) return Display::progress;
    if (adder.collectionError()) return Display::failed;
    return hasAddedProject ? Display::added : Display::form;
}

AddFirstProjectView::Display AddFirstProjectView::shownDisplay() const { return Display(displays_->currentIndex()); }

QWidget* AddFirstProjectView::makeForm() {
    add_ = new BusyButton(QStringLiteral("Add Project"), addButtonWidth);
    add_->setObjectName(QStringLiteral("addProject"));
    connect(add_, &QPushButton::clicked, this, &AddFirstProjectView::addProject);
    error_ = new ErrorCaption;
    const auto hint = toolHint(model_.cliStatus());
    toolHint_ = makeLabel(hint.value_or(QString()), TextStyle::caption, Palette::textSecondary());
    toolHint_->setTextFormat(Qt::RichText);
    toolHint_->setWordWrap(true);
    toolHint_->setAlignment(Qt::AlignCenter);
    // Only hidden here: shown before it joins the form, it would open as a window of its own.
    if (!hint) toolHint_->hide();

    auto* column = makeDisplayColumn(formSpacing);
    column->addWidget(StepLayout::makeLargeSymbol(QStringLiteral("folder.badge.plus"), Palette::blue()), 0,
                      Qt::AlignHCenter);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Add Your First Project"), TextStyle::title,
                                                  Palette::textPrimary(), QFont::Bold));
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Select a code project to start tracking"),
                                                  TextStyle::subheadline, Palette::textSecondary()));
    column->addWidget(makeFields(), 0, Qt::AlignHCenter);
    column->addWidget(error_);
    column->addWidget(add_, 0, Qt::AlignHCenter);
    column->addWidget(toolHint_);
    column->addStretch(1);
    return wrap(column);
}

QWidget* AddFirstProjectView::makeFields() {
    name_ = ProjectFolderFields::makeField(QStringLiteral("name"), QStringLiteral("my-project"));
    path_ = ProjectFolderFields::makeField(QStringLiteral("path"), QStringLiteral("/path/to/project"));
    browse_ = ProjectFolderFields::makeBrowseButton(*this, *name_, *path_);

    auto* nameGroup = makeColumn(4);
    nameGroup->addWidget(makeFieldLabel(QStringLiteral("Name")));
    nameGroup->addWidget(name_);
    auto* pathRow = makeRow(defaultSpacing);
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(browse_);
    auto* pathGroup = makeColumn(4);
    pathGroup->addWidget(makeFieldLabel(QStringLiteral("Path")));
    pathGroup->addLayout(pathRow);
    auto* warning = makeRow(4);
    warning->addWidget(makeSymbol(QStringLiteral("info.circle"), TextStyle::caption, Palette::textSecondary()));
    warning->addWidget(makeLabel(QStringLiteral("Not a git repository (some features will be limited)"),
                                 TextStyle::caption, Palette::textSecondary()));
    warning->addStretch(1);
    gitWarning_ = wrap(warning);

    auto* fields = makeColumn(12);
    fields->addLayout(nameGroup);
    fields->addLayout(pathGroup);
    fields->addWidget(gitWarning_);
    auto* group = wrap(fields);
    group->setFixedWidth(fieldGroupWidth);
    return group;
}

QWidget* AddFirstProjectView::makeProgress() {
    status_ = StepLayout::makeCentredText(QString(), TextStyle::headline, Palette::textPrimary());
    bar_ = new QProgressBar;
    bar_->setRange(0, progressSteps);
    bar_->setTextVisible(false);
    bar_->setFixedSize(importBarWidth, historyBarHeight);
    bar_->setStyleSheet(QStringLiteral("QProgressBar { background: %1; border: none; border-radius: 3px; }"
                                       "QProgressBar::chunk { background: %2; border-radius: 3px; }")
                            .arg(Palette::backgroundRaised().name(), Palette::blue().name()));
    auto* column = makeDisplayColumn(20);
    column->addStretch(1);
    column->addWidget(new BusyIndicator(30), 0, Qt::AlignHCenter);
    column->addWidget(status_);
    column->addWidget(bar_, 0, Qt::AlignHCenter);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Analyzing code and importing git history..."),
                                                  TextStyle::caption, Palette::textSecondary()));
    column->addStretch(1);
    return wrap(column);
}

QWidget* AddFirstProjectView::makeAdded() {
    addedName_ = StepLayout::makeCentredText(QString(), TextStyle::headline, Palette::textPrimary());
    addedPath_ = StepLayout::makeCentredText(QString(), TextStyle::caption, Palette::textSecondary());
    auto* figures = makeRow(16);
    figures->setContentsMargins(0, 8, 0, 0);
    figures->addWidget(makeFigure(lines_, QStringLiteral("lines")));
    figures->addWidget(makeFigure(files_, QStringLiteral("files")));
    sizeRow_ = wrap(figures);
    auto* card = new RoundedPanel(
        RoundedPanel::box(QBrush(Palette::backgroundRaised()), RoundedPanel::defaultPadding, Qt::Vertical, 8));
    card->contentLayout()->addWidget(addedName_);
    card->contentLayout()->addWidget(addedPath_);
    card->contentLayout()->addWidget(sizeRow_, 0, Qt::AlignHCenter);
    card->setFixedWidth(fieldGroupWidth);

    auto* column = makeDisplayColumn(20);
    column->addStretch(1);
    column->addWidget(StepLayout::makeLargeSymbol(QStringLiteral("checkmark.circle.fill"), Palette::green()), 0,
                      Qt::AlignHCenter);
    column->addWidget(StepLayout::makeCentredText(QStringLiteral("Project Added!"), TextStyle::title,
                                                  Palette::textPrimary(), QFont::Bold));
    column->addWidget(card, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return wrap(column);
}

QWidget* AddFirstProjectView::makeFailure() {
    failureStatus_ = StepLayout::makeCentredText(QString(), TextStyle::headline, Palette::red());
    failureStatus_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    failure_ = StepLayout::makeCentredText(QString(), TextStyle::caption, Palette::textSecondary());
    auto* column = makeDisplayColumn(20);
    column->addStretch(1);
    column->addWidget(StepLayout::makeLargeSymbol(QStringLiteral("exclamationmark.triangle.fill"), Palette::red()), 0,
                      Qt::AlignHCenter);
    column->addWidget(failureStatus_);
    column->addWidget(failure_);
    column->addStretch(1);
    return wrap(column);
}

void AddFirstProjectView::addProject() {
    if (!AddProjectForm::isAddEnabled(name_->text(), path_->text(), adder_.isAdding())) return;
    startedInThisVisit_ = true;
    adder_.start({name_->text().toStdString(), path_->text().toStdString(), std::nullopt, ProjectType::organic});
}

void AddFirstProjectView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The form opens ready for typing the project's name, as the add-project sheet does.
    if (shownDisplay() == Display::form) name_->setFocus();
}

void AddFirstProjectView::refresh() {
    const auto shown = display(adder_, model_.addedProject().has_value());
    displays_->setCurrentIndex(int(shown));
    // The step is as tall as the display it shows, so a short one does not scroll.
    for (int index = 0; index < displays_->count(); ++index) {
        const auto policy = index == int(shown) ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        displays_->widget(index)->setSizePolicy(policy, policy);
    }
    gitWarning_->setVisible(!path_->text().isEmpty() && !AddProjectForm::isGitRepository(path_->text()));
    error_->setMessage(startedInThisVisit_ ? adder_.errorMessage() : std::nullopt);
    add_->setBusy(adder_.isAdding());
    add_->setEnabled(AddProjectForm::isAddEnabled(name_->text(), path_->text(), adder_.isAdding()));
    status_->setText(adder_.importStatus());
    bar_->setVisible(adder_.importProgress() > 0.0);
    bar_->setValue(int(adder_.importProgress() * progressSteps));
    failureStatus_->setText(adder_.importStatus());
    failure_->setText(adder_.registeredDespiteFailureText());
    showAddedProject();
}

void AddFirstProjectView::showAddedProject() {
    const auto& added = model_.addedProject();
    if (!added) return;
    addedName_->setText(added->name);
    addedPath_->setText(added->path);
    sizeRow_->setVisible(added->codeLines.has_value());
    lines_->setText(formatNumber(added->codeLines.value_or(0)));
    files_->setText(formatNumber(added->totalFiles.value_or(0)));
}

QStringList AddFirstProjectView::addedCardTexts() const {
    QStringList texts{addedName_->text(), addedPath_->text()};
    if (!sizeRow_->isHidden())
        texts << lines_->text() + QStringLiteral(" lines") << files_->text() + QStringLiteral(" files");
    return texts;
}

} // namespace norvane::app
