#include "Norvane/sheets/OnboardingView.h"

#include <QLabel>
#include <QVBoxLayout>

#include "Norvane/cards/kit/BorderedButton.h"
#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/Divider.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"

namespace norvane::app {
namespace {

constexpr int contentWidth = 400;
constexpr int badgeSize = 24;

struct Feature {
    const char* icon;
    const char* title;
    const char* description;
};

constexpr Feature welcomeFeatures[] = {
    {"bolt.fill", "Measure Your Leverage", "See how AI accelerates your development compared to traditional methods."},
    {"chart.xyaxis.line", "Track Progress Over Time", "Visualize your productivity trends from git history."},
    {"dollarsign.circle.fill", "Estimate Project Value", "Calculate the equivalent cost using COCOMO industry models."},
    {"folder.badge.gearshape", "Multiple Projects", "Track all your projects in one place with portfolio aggregation."},
};

constexpr const char* steps[] = {
    "Add a project folder (must be a git repository)",
    "Norvane will analyze your code and git history",
    "See your productivity leverage and project value",
};

const QColor& accent() { return Palette::blue(); }

/// `widget` as wide as offered up to the content width, centred.
QBoxLayout* limited(QWidget* widget) {
    widget->setMaximumWidth(contentWidth);
    auto* row = makeRow(0);
    row->addStretch(1);
    row->addWidget(widget, contentWidth);
    row->addStretch(1);
    return row;
}

QWidget* featureRow(const Feature& feature) {
    auto* symbol = makeSymbol(QString::fromUtf8(feature.icon), TextStyle::title2, accent());
    symbol->setFixedWidth(32);
    auto* texts = makeColumn(4);
    texts->addWidget(
        makeLabel(QString::fromUtf8(feature.title), TextStyle::body, Palette::textPrimary(), QFont::DemiBold));
    auto* description =
        makeLabel(QString::fromUtf8(feature.description), TextStyle::subheadline, Palette::textSecondary());
    description->setWordWrap(true);
    texts->addWidget(description);
    auto* row = makeRow(16);
    row->addWidget(symbol, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    return wrap(row);
}

QWidget* stepRow(int number, const char* text) {
    auto* badge = new QLabel(QString::number(number));
    badge->setFixedSize(badgeSize, badgeSize);
    badge->setAlignment(Qt::AlignCenter);
    badge->setFont(Typography::font(TextStyle::caption, QFont::Bold));
    badge->setStyleSheet(QStringLiteral("QLabel { background: %1; color: white; border-radius: %2px; }")
                             .arg(accent().name())
                             .arg(badgeSize / 2));
    auto* row = makeRow(12);
    row->addWidget(badge, 0, Qt::AlignVCenter);
    row->addWidget(makeLabel(QString::fromUtf8(text), TextStyle::subheadline, Palette::textPrimary()), 1);
    return wrap(row);
}

QBoxLayout* heading() {
    auto* column = makeColumn(12);
    column->addWidget(new SymbolLabel(QStringLiteral("chart.line.uptrend.xyaxis"), 64, accent()), 0, Qt::AlignHCenter);
    column->addWidget(
        makeLabel(QStringLiteral("Welcome to Norvane"), TextStyle::largeTitle, Palette::textPrimary(), QFont::Bold), 0,
        Qt::AlignHCenter);
    column->addWidget(makeLabel(QStringLiteral("Track your AI-powered development productivity"), TextStyle::title3,
                                Palette::textSecondary()),
                      0, Qt::AlignHCenter);
    return column;
}

} // namespace

OnboardingView::OnboardingView(QWidget* parent) : QWidget(parent) {
    auto* root = makeColumn(32);
    root->setContentsMargins(40, 40, 40, 40);
    root->addStretch(1);
    root->addLayout(heading());
    root->addLayout(limited(new Divider));

    auto* featureList = makeColumn(20);
    for (const auto& feature : welcomeFeatures) featureList->addWidget(featureRow(feature));
    root->addLayout(limited(wrap(featureList)));
    root->addLayout(limited(new Divider));

    auto* gettingStarted = makeColumn(16);
    gettingStarted->addWidget(makeLabel(QStringLiteral("Getting Started"), TextStyle::headline, Palette::textPrimary()),
                              0, Qt::AlignHCenter);
    auto* stepList = makeColumn(12);
    for (int index = 0; index < int(std::size(steps)); ++index) stepList->addWidget(stepRow(index + 1, steps[index]));
    gettingStarted->addLayout(limited(wrap(stepList)));
    add_ = new BorderedButton(QStringLiteral("Add Your First Project"), BorderedButton::Prominence::prominent,
                              QStringLiteral("plus"));
    add_->setMinimumWidth(200);
    add_->setMinimumHeight(36);
    connect(add_, &QPushButton::clicked, this, &OnboardingView::addProjectRequested);
    gettingStarted->addWidget(add_, 0, Qt::AlignHCenter);
    root->addLayout(gettingStarted);
    root->addStretch(1);
    setLayout(root);
}

} // namespace norvane::app
