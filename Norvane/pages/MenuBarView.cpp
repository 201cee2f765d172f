#include "Norvane/pages/MenuBarView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "Norvane/components/controls/BusyIndicator.h"
#include "Norvane/components/text/DateText.h"
#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/FocusRing.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/SymbolRegistry.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/pages/ProjectListModel.h"
#include "Norvane/state/AppState.h"

namespace norvane::app {
namespace {

constexpr int panelWidth = 300;
// "Last collected" counts the seconds while the panel is open.
constexpr int elapsedRefreshMilliseconds = 1000;

QFrame* divider() {
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(
        QStringLiteral("color: %1;").arg(Palette::withOpacity(Palette::textMuted(), 0.4).name(QColor::HexArgb)));
    return line;
}

QPushButton* panelButton(const QString& title, const QString& symbolName, const QColor& colour) {
    auto* button = new QPushButton;
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setMinimumHeight(28);
    auto* layout = new QHBoxLayout(button);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addStretch();
    layout->addWidget(new SymbolLabel(symbolName, 14, colour));
    layout->addWidget(new StyledLabel(title, Typography::font(TextStyle::body), colour));
    layout->addStretch();
    button->setAccessibleName(title);
    return button;
}

} // namespace

MenuBarView::MenuBarView(AppState& appState, ProjectListModel& projects, QWidget* parent)
    : QWidget(parent), appState_(appState), projects_(projects) {
    setFixedWidth(panelWidth);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeader());
    layout->addWidget(divider());
    layout->addWidget(makeFigures());
    layout->addWidget(divider());
    layout->addWidget(makeStatus());
    layout->addWidget(divider());
    layout->addWidget(makeButtons());
    connect(&projects_, &ProjectListModel::changed, this, &MenuBarView::refresh);
    connect(&appState_, &AppState::isCollectingChanged, this, &MenuBarView::refresh);
    connect(&clock_, &QTimer::timeout, this, &MenuBarView::refresh);
    clock_.setInterval(elapsedRefreshMilliseconds);
    refresh();
}

void MenuBarView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    refresh();
    clock_.start();
}

void MenuBarView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    FocusRing::restFocus(*this);
    clock_.stop();
    emit closed();
}

QWidget* MenuBarView::makeHeader() {
    auto* header = new QWidget;
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(new SymbolLabel(QStringLiteral("chart.xyaxis.line"), Typography::pixelSize(TextStyle::title2),
                                      Palette::blue()));
    layout->addWidget(
        new StyledLabel(QStringLiteral("Norvane"), Typography::font(TextStyle::headline), Palette::textPrimary()));
    layout->addStretch();
    auto* settings = new QToolButton;
    settings->setObjectName(QStringLiteral("settings"));
    settings->setAutoRaise(true);
    settings->setFont(SymbolRegistry::font(16));
    settings->setText(SymbolRegistry::text(QStringLiteral("gear")));
    connect(settings, &QToolButton::clicked, this, &MenuBarView::settingsRequested);
    layout->addWidget(settings);
    return header;
}

QWidget* MenuBarView::makeFigures() {
    auto* figures = new QWidget;
    auto* layout = new QVBoxLayout(figures);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(12);
    auto* row = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    totalLines_ = new StyledLabel({}, Typography::font(TextStyle::title, QFont::Bold), Palette::textPrimary());
    left->addWidget(totalLines_);
    left->addWidget(
        new StyledLabel(QStringLiteral("total lines"), Typography::font(TextStyle::caption), Palette::textSecondary()));
    auto* right = new QVBoxLayout;
    projectCount_ = new StyledLabel({}, Typography::font(TextStyle::title, QFont::Bold), Palette::textPrimary());
    right->addWidget(projectCount_, 0, Qt::AlignRight);
    right->addWidget(
        new StyledLabel(QStringLiteral("projects"), Typography::font(TextStyle::caption), Palette::textSecondary()), 0,
        Qt::AlignRight);
    row->addLayout(left);
    row->addStretch();
    row->addLayout(right);
    layout->addLayout(row);
    leverageRow_ = new QWidget;
    auto* leverageLayout = new QHBoxLayout(leverageRow_);
    leverageLayout->setContentsMargins(0, 0, 0, 0);
    leverage_ = new StyledLabel({}, Typography::font(TextStyle::subheadline), Palette::textSecondary());
    leverageLayout->addWidget(leverage_);
    leverageLayout->addStretch();
    layout->addWidget(leverageRow_);
    return figures;
}

QWidget* MenuBarView::makeStatus() {
    auto* status = new QWidget;
    auto* layout = new QHBoxLayout(status);
    layout->setContentsMargins(12, 10, 12, 10);
    spinner_ = new BusyIndicator(14);
    layout->addWidget(spinner_);
    statusSymbol_ = new SymbolLabel(QStringLiteral("exclamationmark.circle"), 14, Palette::amber());
    layout->addWidget(statusSymbol_);
    status_ = new StyledLabel({}, Typography::font(TextStyle::caption), Palette::textSecondary());
    layout->addWidget(status_);
    layout->addStretch();
    return status;
}

QWidget* MenuBarView::makeButtons() {
    auto* buttons = new QWidget;
    auto* layout = new QVBoxLayout(buttons);
    layout->setContentsMargins(12, 8, 12, 8);
    layout->setSpacing(8);
    collectButton_ =
        panelButton(QStringLiteral("Collect Now"), QStringLiteral("arrow.clockwise"), Palette::textPrimary());
    connect(collectButton_, &QPushButton::clicked, this, [this] { appState_.collectAllProjects(); });
    layout->addWidget(collectButton_);
    auto* open =
        panelButton(QStringLiteral("Open Dashboard"), QStringLiteral("rectangle.3.group"), Palette::textPrimary());
    connect(open, &QPushButton::clicked, this, &MenuBarView::openDashboardRequested);
    layout->addWidget(open);
    layout->addWidget(divider());
    auto* quit = panelButton(QStringLiteral("Quit Norvane"), QStringLiteral("xmark.circle"), Palette::red());
    connect(quit, &QPushButton::clicked, this, &MenuBarView::quitRequested);
    layout->addWidget(quit);
    return buttons;
}

void MenuBarView::refresh() {
    const auto& projects = projects_.projects();
    const bool collecting = appState_.isCollecting();
    totalLines_->setText(formatNumber(MenuBarModel::totalLines(projects)));
    projectCount_->setText(QString::number(MenuBarModel::activeProjects(projects).size()));
    const QString leverage = MenuBarModel::leverageText(projects, platform::currentDate());
    leverage_->setText(leverage);
    leverageRow_->setVisible(!leverage.isEmpty());
    const auto status = MenuBarModel::collectionStatus(collecting, projects);
    spinner_->setVisible(status == MenuBarModel::Status::collecting);
    statusSymbol_->setVisible(status != MenuBarModel::Status::collecting);
    if (status == MenuBarModel::Status::collecting) {
        status_->setFont(Typography::font(TextStyle::body));
        status_->setText(QStringLiteral("Collecting..."));
    } else if (status == MenuBarModel::Status::lastCollected) {
        statusSymbol_->setSymbolName(QStringLiteral("checkmark.circle.fill"));
        statusSymbol_->setColor(Palette::green());
        status_->setFont(Typography::font(TextStyle::caption));
        const auto latest = MenuBarModel::latestCollection(projects);
        status_->setText(QStringLiteral("Last collected ") + DateText::elapsedText(*latest, platform::currentDate()) +
                         QStringLiteral(" ago"));
    } else {
        statusSymbol_->setSymbolName(QStringLiteral("exclamationmark.circle"));
        statusSymbol_->setColor(Palette::amber());
        status_->setFont(Typography::font(TextStyle::caption));
        status_->setText(QStringLiteral("No data collected yet"));
    }
    collectButton_->setEnabled(MenuBarModel::isCollectEnabled(collecting, projects));
}

QString MenuBarView::totalLinesText() const { return totalLines_->text(); }

QString MenuBarView::projectCountText() const { return projectCount_->text(); }

QString MenuBarView::leverageText() const { return leverageRow_->isVisibleTo(this) ? leverage_->text() : QString(); }

QString MenuBarView::statusText() const { return status_->text(); }

void MenuBarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Palette::backgroundBase());
}

} // namespace norvane::app
