#include "Norvane/pages/Sidebar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"

namespace norvane::app {
namespace {

QWidget* rowWidget(const QString& text, const QString& symbolName) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(8, 4, 8, 4);
    if (!symbolName.isEmpty()) layout->addWidget(new SymbolLabel(symbolName, 14, Palette::textPrimary()));
    layout->addWidget(new StyledLabel(text, Typography::font(TextStyle::body), Palette::textPrimary()), 1);
    return row;
}

QPushButton* addProjectButton(QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QStringLiteral("addProject"));
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    auto* layout = new QHBoxLayout(button);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->addWidget(new SymbolLabel(QStringLiteral("plus.circle.fill"), 14, Palette::cyan()));
    layout->addWidget(
        new StyledLabel(QStringLiteral("Add Project"), Typography::font(TextStyle::body), Palette::textSecondary()), 1);
    button->setMinimumHeight(36);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background: %1; border: none; }").arg(Palette::backgroundBase().name()));
    return button;
}

} // namespace

Sidebar::Sidebar(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Palette::backgroundBase());
    setPalette(colours);
    setMinimumWidth(200);
    setMaximumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(this);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setStyleSheet(QStringLiteral("QListWidget { background: transparent; } QListWidget::item:selected { "
                                        "background: %1; border-radius: 6px; }")
                             .arg(Palette::backgroundRaised().name()));
    layout->addWidget(list_, 1);
    auto* add = addProjectButton(this);
    connect(add, &QPushButton::clicked, this, &Sidebar::addProjectRequested);
    layout->addWidget(add);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= int(rowValues_.size()) || !rowValues_[row]) return;
        selection_ = rowValues_[row];
        emit selectionChanged();
    });
    setProjects({});
}

void Sidebar::setProjects(const DashboardModel::Projects& projects) {
    QSignalBlocker blocker(list_);
    list_->clear();
    rowValues_.clear();
    addRow(QStringLiteral("Portfolio"), QStringLiteral("chart.pie"), SidebarSelection::portfolio());
    if (DashboardModel::showsEmptyState(projects)) {
        addEmptyState();
    } else {
        addHeader(QStringLiteral("Projects"));
        for (const auto& project : DashboardModel::activeProjects(projects)) {
            addRow(QString::fromStdString(project->name), {}, SidebarSelection::project(project->id));
        }
        const auto archived = DashboardModel::archivedProjects(projects);
        if (!archived.empty()) addHeader(QStringLiteral("Archived"));
        for (const auto& project : archived) {
            addRow(QString::fromStdString(project->name), {}, SidebarSelection::project(project->id));
        }
    }
    selectCurrentRow();
}

void Sidebar::setSelection(const std::optional<SidebarSelection>& selection) {
    selection_ = selection;
    QSignalBlocker blocker(list_);
    selectCurrentRow();
    emit selectionChanged();
}

void Sidebar::selectCurrentRow() {
    list_->setCurrentRow(-1);
    for (std::size_t row = 0; row < rowValues_.size(); ++row) {
        if (rowValues_[row] && selection_ && *rowValues_[row] == *selection_) list_->setCurrentRow(int(row));
    }
}

void Sidebar::addRow(const QString& text, const QString& symbolName, std::optional<SidebarSelection> value) {
    auto* item = new QListWidgetItem(list_);
    item->setData(Qt::AccessibleTextRole, text);
    auto* widget = rowWidget(text, symbolName);
    item->setSizeHint(widget->sizeHint());
    list_->setItemWidget(item, widget);
    rowValues_.push_back(value);
}

void Sidebar::addHeader(const QString& title) {
    auto* item = new QListWidgetItem(list_);
    item->setFlags(Qt::NoItemFlags);
    item->setData(Qt::AccessibleTextRole, title.toUpper());
    // Indented like the rows' text, with a gap above that sets the section apart.
    auto* header = new QWidget;
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(8, 12, 8, 2);
    layout->addWidget(new StyledLabel(
        title.toUpper(), Typography::tracked(Typography::systemFont(11, QFont::DemiBold), 0.5), Palette::textMuted()));
    item->setSizeHint(header->sizeHint());
    list_->setItemWidget(item, header);
    rowValues_.push_back(std::nullopt);
}

void Sidebar::addEmptyState() {
    auto* item = new QListWidgetItem(list_);
    item->setFlags(Qt::NoItemFlags);
    auto* block = new QWidget;
    auto* layout = new QVBoxLayout(block);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(new StyledLabel(QStringLiteral("Get Started"),
                                      Typography::font(TextStyle::caption, QFont::DemiBold), Palette::textSecondary()));
    auto* hint = new StyledLabel(QStringLiteral("Add your first project to start tracking development metrics."),
                                 Typography::font(TextStyle::caption), Palette::textMuted());
    hint->setWordWrap(true);
    layout->addWidget(hint);
    item->setData(Qt::AccessibleTextRole, QStringLiteral("Get Started"));
    item->setSizeHint(QSize(200, block->sizeHint().height() + 16));
    list_->setItemWidget(item, block);
    rowValues_.push_back(std::nullopt);
}

QStringList Sidebar::rowTexts() const {
    QStringList texts;
    for (int row = 0; row < list_->count(); ++row) texts << list_->item(row)->data(Qt::AccessibleTextRole).toString();
    return texts;
}

} // namespace norvane::app
