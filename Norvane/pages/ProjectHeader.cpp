#include "Norvane/pages/ProjectHeader.h"

#include <QDir>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CapsuleBadge.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/ElidedLabel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/pages/LatestCommitCard.h"
#include "Norvane/pages/ProjectDetailModel.h"

namespace norvane::app {
namespace {

const QString middleDot = QStringLiteral("\u00B7");

int subheadlineIconSize() { return Typography::pixelSize(TextStyle::subheadline) + 2; }

QString plainButtonStyle(const QColor& text) {
    return QStringLiteral(
               "QPushButton, QToolButton { background: transparent; border: none; color: %1; padding: 2px 0; }"
               "QToolButton::menu-indicator { image: none; }")
        .arg(text.name(QColor::HexArgb));
}

} // namespace

ProjectHeader::ProjectHeader(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(makeTitleRow());

    path_ = new QPushButton;
    path_->setObjectName(QStringLiteral("projectPath"));
    path_->setFont(Typography::font(TextStyle::subheadline));
    path_->setIcon(SymbolRegistry::icon(QStringLiteral("folder"), subheadlineIconSize(), Palette::textSecondary()));
    path_->setCursor(Qt::PointingHandCursor);
    path_->setStyleSheet(plainButtonStyle(Palette::textSecondary()));
    connect(path_, &QPushButton::clicked, this, &ProjectHeader::showFolderRequested);
    layout->addWidget(path_, 0, Qt::AlignLeft);

    layout->addWidget(makeCommitLine());
    description_ = makeLabel({}, TextStyle::subheadline, Palette::textSecondary());
    description_->setWordWrap(true);
    layout->addWidget(description_);
}

QWidget* ProjectHeader::makeTitleRow() {
    auto* row = makeRow(defaultSpacing);
    name_ = makeLabel({}, TextStyle::title, Palette::textPrimary(), QFont::Bold);
    row->addWidget(name_);
    row->addStretch(1);

    collect_ = new QToolButton;
    collect_->setObjectName(QStringLiteral("collectMenu"));
    collect_->setText(QStringLiteral("Collect"));
    collect_->setFont(Typography::font(TextStyle::subheadline));
    collect_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    collect_->setPopupMode(QToolButton::InstantPopup);
    collect_->setCursor(Qt::PointingHandCursor);
    auto* menu = new QMenu(collect_);
    const int iconSize = Typography::pixelSize(TextStyle::body);
    collectMetrics_ =
        menu->addAction(SymbolRegistry::icon(QStringLiteral("arrow.clockwise"), iconSize, Palette::textPrimary()),
                        QStringLiteral("Collect Metrics"), this, &ProjectHeader::collectMetricsRequested);
    fullCollection_ = menu->addAction(
        SymbolRegistry::icon(QStringLiteral("clock.arrow.circlepath"), iconSize, Palette::textPrimary()),
        QStringLiteral("Full Collection (with history)"), this, &ProjectHeader::fullCollectionRequested);
    collect_->setMenu(menu);
    setCollecting(false);
    row->addWidget(collect_);

    status_ = new CapsuleBadge({}, Palette::green(), TextStyle::caption);
    row->addWidget(status_);
    return wrap(row);
}

QWidget* ProjectHeader::makeCommitLine() {
    auto* row = makeRow(4);
    commitHash_ = new StyledLabel({}, LatestCommitCard::monospacedFont(TextStyle::caption), Palette::textMuted());
    row->addWidget(commitHash_);
    row->addWidget(makeLabel(middleDot, TextStyle::caption, Palette::textMuted()));
    commitSubject_ = new ElidedLabel(Typography::font(TextStyle::caption), Palette::textMuted(), 1);
    row->addWidget(commitSubject_, 1);
    commitLine_ = wrap(row);
    commitLine_->hide();
    return commitLine_;
}

void ProjectHeader::setProject(const ProjectInfo& project) {
    name_->setText(QString::fromStdString(project.name));
    status_->setText(ProjectDetailModel::statusText(project.status), ProjectDetailModel::statusColor(project.status));
    path_->setText(ProjectDetailModel::displayPath(QString::fromStdString(project.path), QDir::homePath()));
    const auto& description = project.projectDescription;
    description_->setText(description ? QString::fromStdString(*description) : QString());
    description_->setVisible(description.has_value());
}

void ProjectHeader::setCommitSummary(const std::optional<CommitSummary>& summary) {
    commitLine_->setVisible(summary.has_value());
    commitHash_->setText(summary ? QString::fromStdString(summary->first) : QString());
    commitSubject_->setText(summary ? QString::fromStdString(summary->second) : QString());
}

void ProjectHeader::setCollecting(bool isCollecting) {
    // Greyed whole, the label as well as the symbol.
    const QColor colour = isCollecting ? Palette::textMuted() : Palette::blue();
    collect_->setIcon(SymbolRegistry::icon(QStringLiteral("arrow.clockwise"), subheadlineIconSize(), colour));
    collect_->setStyleSheet(plainButtonStyle(colour));
    collect_->setEnabled(!isCollecting);
    collectMetrics_->setEnabled(!isCollecting);
    fullCollection_->setEnabled(!isCollecting);
}

QString ProjectHeader::commitLineText() const {
    if (commitLine_->isHidden()) return {};
    return commitHash_->text() + QStringLiteral(" ") + middleDot + QStringLiteral(" ") + commitSubject_->text();
}

QString ProjectHeader::descriptionText() const { return description_->isHidden() ? QString() : description_->text(); }

} // namespace norvane::app
