#include "Norvane/pages/PortfolioProjectsSection.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/cards/kit/RoundedPanel.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/TileFrame.h"
#include "Norvane/pages/MenuBarModel.h"
#include "Norvane/pages/PortfolioFigures.h"

namespace norvane::app {
namespace {

constexpr int tileCornerRadius = 8;

QWidget* sizeBucketCard(ProjectSizeBucket bucket, std::size_t count) {
    auto* tile = new TileFrame;
    auto* layout = tile->contentLayout();
    layout->setSpacing(4);
    layout->addWidget(makeSymbol(fromCore(iconName(bucket)), TextStyle::title2,
                                 count > 0 ? Palette::textPrimary() : Palette::textMuted()),
                      0, Qt::AlignHCenter);
    layout->addWidget(makeLabel(QString::number(count), TextStyle::title3, Palette::textPrimary(), QFont::DemiBold), 0,
                      Qt::AlignHCenter);
    layout->addWidget(makeLabel(fromCore(platform::rawValue(bucket)), TextStyle::caption, Palette::textSecondary()), 0,
                      Qt::AlignHCenter);
    layout->addWidget(makeLabel(fromCore(lineRange(bucket)), TextStyle::caption2, Palette::textMuted()), 0,
                      Qt::AlignHCenter);
    return tile;
}

QWidget* projectCard(const PortfolioProject& project, std::int64_t totalCodeLines) {
    RoundedPanel::Look look =
        RoundedPanel::box(Palette::backgroundRaised(), RoundedPanel::defaultPadding, Qt::Horizontal, defaultSpacing);
    look.cornerRadius = tileCornerRadius;
    auto* card = new RoundedPanel(look);
    auto* texts = makeColumn(2);
    texts->addWidget(
        makeLabel(QString::fromStdString(project.name), TextStyle::body, Palette::textPrimary(), QFont::Medium));
    texts->addWidget(makeLabel(project.codeLines ? formatNumber(*project.codeLines) + QStringLiteral(" lines")
                                                 : QStringLiteral("No scc data"),
                               TextStyle::caption, Palette::textSecondary()));
    card->contentLayout()->addLayout(texts);
    card->contentLayout()->addStretch(1);
    if (const auto share = PortfolioFigures::shareText(project, totalCodeLines)) {
        card->contentLayout()->addWidget(makeLabel(*share, TextStyle::caption, Palette::textSecondary()));
    }
    return card;
}

QVBoxLayout* titled(const QString& title) {
    auto* column = makeColumn(12);
    column->addWidget(makeLabel(title, TextStyle::headline, Palette::textPrimary()));
    return column;
}

} // namespace

PortfolioProjectsSection::PortfolioProjectsSection(const std::vector<PortfolioProject>& projects, QWidget* parent)
    : QWidget(parent), layout_(makeColumn(16)) {
    setLayout(layout_);
    setProjects(projects);
}

void PortfolioProjectsSection::setProjects(const std::vector<PortfolioProject>& projects) {
    clearLayout(layout_);
    auto* sizes = titled(QStringLiteral("Projects by Size"));
    auto* grid = makeRow(12);
    for (const auto& [bucket, members] : PortfolioFigures::projectsBySize(projects)) {
        grid->addWidget(sizeBucketCard(bucket, members.size()), 1);
    }
    sizes->addLayout(grid);
    layout_->addLayout(sizes);

    auto* list = titled(QStringLiteral("Projects"));
    const auto total = PortfolioFigures::totalCodeLines(projects);
    for (const auto& project : projects) list->addWidget(projectCard(project, total));
    layout_->addLayout(list);
}

} // namespace norvane::app
