#include "Norvane/pages/PortfolioProjectsSection.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Norvane/cards/kit/CardLayout.h"
#include "Norvane/components/text/StyledLabel.h"
#include "Norvane/components/text/SymbolLabel.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/tiles/TileFrame.h"
#include "Norvane/pages/PortfolioFigures.h"
#include "Norvane/pages/PortfolioProjectList.h"

namespace norvane::app {
namespace {

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

QVBoxLayout* titled(const QString& title) {
    auto* column = makeColumn(12);
    column->addWidget(makeLabel(title, TextStyle::headline, Palette::textPrimary()));
    return column;
}

} // namespace

PortfolioProjectsSection::PortfolioProjectsSection(const std::vector<PortfolioProject>& projects, QWidget* parent)
    : QWidget(parent), sizes_(makeRow(12)), list_(new PortfolioProjectList) {
    auto* layout = makeColumn(16);
    setLayout(layout);
    auto* sizes = titled(QStringLiteral("Projects by Size"));
    sizes->addLayout(sizes_);
    layout->addLayout(sizes);
    auto* list = titled(QStringLiteral("Projects"));
    list->addWidget(list_);
    layout->addLayout(list);
    setProjects(projects);
}

void PortfolioProjectsSection::setProjects(const std::vector<PortfolioProject>& projects) {
    clearLayout(sizes_);
    for (const auto& [bucket, members] : PortfolioFigures::projectsBySize(projects)) {
        sizes_->addWidget(sizeBucketCard(bucket, members.size()), 1);
    }
    list_->setProjects(projects);
}

} // namespace norvane::app
