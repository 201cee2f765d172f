#include "Norvane/pages/Sidebar.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/pages/SidebarRowDelegate.h"

namespace norvane::app {
namespace {

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
    list_ = new QListView(this);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // Rows are measured again at every width: the "Get Started" text wraps, names are cut.
    list_->setResizeMode(QListView::Adjust);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setModel(&model_);
    delegate_ = new SidebarRowDelegate(model_, *list_);
    list_->setItemDelegate(delegate_);
    layout->addWidget(list_, 1);
    auto* add = addProjectButton(this);
    connect(add, &QPushButton::clicked, this, &Sidebar::addProjectRequested);
    layout->addWidget(add);
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (updatingRows_ || !current.isValid()) return;
        const auto value = model_.row(current.row()).selection();
        if (!value || value == selection_) return;
        selection_ = value;
        emit selectionChanged();
    });
    setProjects({});
}

void Sidebar::setProjects(const DashboardModel::Projects& projects) {
    updatingRows_ = true;
    model_.setProjects(projects);
    updatingRows_ = false;
    selectCurrentRow();
}

void Sidebar::setSelection(const std::optional<SidebarSelection>& selection) {
    selection_ = selection;
    selectCurrentRow();
    emit selectionChanged();
}

void Sidebar::selectCurrentRow() {
    const auto row = selection_ ? model_.rowOf(*selection_) : std::nullopt;
    const QModelIndex wanted = row ? model_.index(*row) : QModelIndex();
    if (list_->currentIndex() == wanted && list_->selectionModel()->isSelected(wanted)) return;
    updatingRows_ = true;
    if (wanted.isValid()) {
        list_->selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::ClearAndSelect);
    } else {
        list_->selectionModel()->clear();
    }
    updatingRows_ = false;
}

QStringList Sidebar::rowTexts() const {
    QStringList texts;
    for (int row = 0; row < model_.rowCount(); ++row)
        texts << model_.index(row).data(Qt::AccessibleTextRole).toString();
    return texts;
}

QStringList Sidebar::detailTexts() const {
    QStringList texts;
    for (int row = 0; row < model_.rowCount(); ++row)
        texts << model_.index(row).data(SidebarModel::detailRole).toString();
    return texts;
}

QStringList Sidebar::shownTexts() const {
    QStringList texts;
    for (int row = 0; row < model_.rowCount(); ++row) {
        texts << delegate_->shownText(model_.index(row), list_->visualRect(model_.index(row)).width());
    }
    return texts;
}

} // namespace norvane::app
