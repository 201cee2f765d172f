#include "Norvane/sheets/AddProjectSheet.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/cards/kit/ProgressTrack.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/controls/BusyIndicator.h"
#include "Norvane/components/controls/OceanSegmentedPicker.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/sheets/AddProjectForm.h"
#include "Norvane/sheets/ProjectFolderFields.h"

namespace norvane::app {
namespace {

constexpr int sheetWidth = 450;
constexpr int sheetMinimumHeight = 380;
constexpr int historyBarWidth = 200;

/// A group of the form: rows on the raised background.
RoundedPanel* makeSection(QLayout* rows) {
    auto* section = new RoundedPanel(RoundedPanel::box(QBrush(Palette::backgroundRaised()), 12, Qt::Vertical, 8));
    section->contentLayout()->addLayout(rows);
    return section;
}

QWidget* makeSymbolLine(SymbolLabel* symbol, QWidget* text) {
    auto* row = makeRow(6);
    row->addWidget(symbol, 0, Qt::AlignTop);
    row->addWidget(text, 1);
    return wrap(row);
}

} // namespace

AddProjectSheet::AddProjectSheet(AppState& appState, QWidget* parent)
    : Sheet(QStringLiteral("Add Project"), parent), controller_(appState) {
    // The form never scrolls: with a path warning and a refusal the sheet grows to show them.
    setFixedWidth(sheetWidth);
    setMinimumHeight(sheetMinimumHeight);
    auto* layout = makeColumn(0);
    setLayout(layout);
    layout->addWidget(makeHeader(&close_));
    layout->addWidget(new Divider);
    pages_ = new QStackedWidget(this);
    pages_->addWidget(makeForm());
    pages_->addWidget(makeProgress());
    layout->addWidget(pages_, 1);

    connect(name_, &QLineEdit::textChanged, this, &AddProjectSheet::showState);
    connect(path_, &QLineEdit::textChanged, this, &AddProjectSheet::showState);
    connect(&controller_, &AddProjectController::changed, this, &AddProjectSheet::showState);
    connect(&controller_, &AddProjectController::finished, this, [this](bool succeeded) {
        if (succeeded) emit dismissRequested();
    });
    showState();
}

void AddProjectSheet::showEvent(QShowEvent* event) {
    Sheet::showEvent(event);
    // The sheet opens ready for typing the name.
    if (!controller_.isImporting()) name_->setFocus();
}

QWidget* AddProjectSheet::makeForm() {
    auto* form = makeColumn(0);
    form->addWidget(makeFormSections(), 1);
    form->addWidget(new Divider);
    form->addWidget(makeFooter());
    return wrap(form);
}

QWidget* AddProjectSheet::makeFormSections() {
    name_ = ProjectFolderFields::makeField(QStringLiteral("name"), QStringLiteral("my-project"));
    path_ = ProjectFolderFields::makeField(QStringLiteral("path"), QStringLiteral("/path/to/project"));
    description_ =
        ProjectFolderFields::makeField(QStringLiteral("description"), QStringLiteral("Optional description"));
    browse_ = ProjectFolderFields::makeBrowseButton(*this, *name_, *path_);
    warningSymbol_ = makeSymbol({}, TextStyle::caption, Palette::amber());
    warningText_ = makeLabel({}, TextStyle::caption, Palette::amber());
    warningText_->setWordWrap(true);
    warning_ = makeSymbolLine(warningSymbol_, warningText_);

    auto* fields = new QGridLayout;
    fields->setContentsMargins(0, 0, 0, 0);
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(8);
    const auto fieldLabel = [](const QString& text) {
        return makeLabel(text, TextStyle::body, Palette::textPrimary());
    };
    fields->addWidget(fieldLabel(QStringLiteral("Name")), 0, 0);
    fields->addWidget(name_, 0, 1);
    fields->addWidget(fieldLabel(QStringLiteral("Path")), 1, 0);
    auto* pathRow = makeRow(defaultSpacing);
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(browse_);
    fields->addLayout(pathRow, 1, 1);
    fields->addWidget(warning_, 2, 1);
    fields->addWidget(fieldLabel(QStringLiteral("Description")), 3, 0);
    fields->addWidget(description_, 3, 1);

    QList<OceanSegmentedPicker::Option> types;
    for (const auto type : {ProjectType::organic, ProjectType::semiDetached, ProjectType::embedded}) {
        types.append({QVariant::fromValue(int(type)), AddProjectForm::typeLabel(type)});
    }
    type_ = new OceanSegmentedPicker(int(ProjectType::organic), types);
    typeDescription_ = makeLabel({}, TextStyle::caption, Palette::textSecondary());
    connect(type_, &OceanSegmentedPicker::selectionChanged, this, [this](const QVariant& type) {
        type_->setSelection(type);
        showState();
    });
    auto* typeRows = makeColumn(8);
    auto* picker = makeRow(12);
    picker->addWidget(makeLabel(QStringLiteral("Type"), TextStyle::body, Palette::textPrimary()));
    picker->addWidget(type_);
    picker->addStretch(1);
    typeRows->addLayout(picker);
    typeRows->addWidget(typeDescription_);

    // A refusal names the path, which may be longer than a line and hold no space to break at.
    errorText_ = new ElidedLabel(Typography::font(TextStyle::body), Palette::red(), ElidedLabel::everyLine);
    auto* errorRow = makeColumn(0);
    errorRow->addWidget(makeSymbolLine(
        makeSymbol(QStringLiteral("exclamationmark.triangle"), TextStyle::body, Palette::red()), errorText_));
    error_ = makeSection(errorRow);

    auto* sections = makeColumn(8);
    sections->setContentsMargins(16, 12, 16, 12);
    sections->addWidget(makeSection(fields));
    sections->addSpacing(4);
    sections->addWidget(makeLabel(QStringLiteral("PROJECT TYPE"), TextStyle::caption, Palette::textSecondary()));
    sections->addWidget(makeSection(typeRows));
    sections->addSpacing(4);
    sections->addWidget(error_);
    sections->addStretch(1);
    return wrap(sections);
}

QWidget* AddProjectSheet::makeFooter() {
    auto* footer = makeRow(defaultSpacing);
    footer->setContentsMargins(16, 10, 16, 10);
    auto* cancel = makeCancelButton();
    add_ = new BorderedButton(QStringLiteral("Add Project"), BorderedButton::Prominence::prominent);
    add_->setObjectName(QStringLiteral("add"));
    add_->setDefault(true);
    add_->setMinimumWidth(add_->sizeHint().width());
    addSpinner_ = new BusyIndicator(14);
    auto* spinnerLayout = makeRow(0);
    spinnerLayout->addWidget(addSpinner_, 0, Qt::AlignCenter);
    add_->setLayout(spinnerLayout);
    connect(add_, &QPushButton::clicked, this, &AddProjectSheet::startAdd);
    footer->addWidget(cancel);
    footer->addStretch(1);
    footer->addWidget(add_);
    return wrap(footer);
}

QWidget* AddProjectSheet::makeProgress() {
    spinner_ = new BusyIndicator(30);
    failureSymbol_ = makeSymbol(QStringLiteral("exclamationmark.triangle.fill"), TextStyle::largeTitle, Palette::red());
    status_ = makeLabel({}, TextStyle::headline, Palette::textPrimary());
    status_->setAlignment(Qt::AlignCenter);
    status_->setWordWrap(true);
    bar_ = new ProgressTrack(6, 3.0, QBrush(Palette::blue()));
    bar_->setFixedWidth(historyBarWidth);
    count_ = makeLabel({}, TextStyle::caption, Palette::textSecondary());
    auto* history = makeColumn(6);
    history->addWidget(bar_, 0, Qt::AlignHCenter);
    history->addWidget(count_, 0, Qt::AlignHCenter);
    history_ = wrap(history);

    failureText_ = makeLabel({}, TextStyle::caption, Palette::textSecondary());
    failureText_->setAlignment(Qt::AlignCenter);
    failureText_->setWordWrap(true);
    auto* close = new BorderedButton(QStringLiteral("Close"), BorderedButton::Prominence::standard);
    close->setObjectName(QStringLiteral("closeAfterFailure"));
    connect(close, &QPushButton::clicked, this, &Sheet::dismissRequested);
    auto* failure = makeColumn(12);
    failure->addWidget(failureText_);
    failure->addWidget(close, 0, Qt::AlignHCenter);
    failure_ = wrap(failure);

    auto* progress = makeColumn(16);
    progress->setContentsMargins(16, 16, 16, 16);
    progress->addStretch(1);
    progress->addWidget(spinner_, 0, Qt::AlignHCenter);
    progress->addWidget(failureSymbol_, 0, Qt::AlignHCenter);
    progress->addWidget(status_);
    progress->addWidget(history_);
    progress->addWidget(failure_);
    progress->addStretch(1);
    return wrap(progress);
}

void AddProjectSheet::startAdd() {
    if (!AddProjectForm::isAddEnabled(name_->text(), path_->text(), controller_.isAdding())) return;
    const auto description = description_->text();
    controller_.start({name_->text().toStdString(), path_->text().toStdString(),
                       description.isEmpty() ? std::nullopt : std::optional(description.toStdString()),
                       ProjectType(type_->selection().toInt())});
}

void AddProjectSheet::showState() {
    const bool busy = controller_.isAdding() || controller_.isImporting();
    setInteractiveDismissDisabled(busy);
    close_->setEnabled(!busy);
    showPathWarning();
    typeDescription_->setText(AddProjectForm::typeDescription(ProjectType(type_->selection().toInt())));
    const auto& error = controller_.errorMessage();
    error_->setVisible(error.has_value());
    errorText_->setText(error.value_or(QString()));
    add_->setEnabled(AddProjectForm::isAddEnabled(name_->text(), path_->text(), controller_.isAdding()));
    add_->setText(controller_.isAdding() ? QString() : QStringLiteral("Add Project"));
    addSpinner_->setVisible(controller_.isAdding());
    showProgress();
}

void AddProjectSheet::showPathWarning() {
    const auto warning = AddProjectForm::pathWarning(path_->text());
    warning_->setVisible(warning.has_value());
    if (!warning) return;
    warningSymbol_->setSymbolName(warning->symbol);
    warningSymbol_->setColor(warning->color);
    warningText_->setText(warning->text);
    warningText_->setColor(warning->color);
}

void AddProjectSheet::showProgress() {
    const bool failed = controller_.collectionError().has_value();
    pages_->setCurrentIndex(controller_.isImporting() || failed ? 1 : 0);
    spinner_->setVisible(!failed);
    failureSymbol_->setVisible(failed);
    status_->setText(controller_.importStatus());
    history_->setVisible(controller_.importTotal() > 0);
    bar_->setFraction(controller_.importProgress());
    count_->setText(QStringLiteral("%1 of %2").arg(controller_.importCurrent()).arg(controller_.importTotal()));
    failure_->setVisible(failed);
    if (failed) failureText_->setText(controller_.registeredDespiteFailureText());
}

bool AddProjectSheet::showsProgress() const { return pages_->currentIndex() == 1; }

} // namespace norvane::app
