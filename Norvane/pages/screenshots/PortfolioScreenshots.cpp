#include "Norvane/pages/screenshots/PortfolioScreenshots.h"

#include <QAction>
#include <QMenu>
#include <QScrollArea>

#include "Norvane/components/controls/CollapsibleSection.h"
#include "Norvane/components/controls/TimeRangePicker.h"
#include "Norvane/pages/DashboardView.h"
#include "Norvane/pages/PortfolioTrendsSection.h"
#include "Norvane/pages/PortfolioView.h"
#include "Norvane/pages/Sidebar.h"
#include "Norvane/pages/screenshots/AppScreenshots.h"

namespace norvane::app::PortfolioScreenshots {
namespace {

using AppScreenshots::choose;
using AppScreenshots::settle;

/// The page's scrolled content, drawn whole.
QWidget& wholePage(PortfolioView& page) { return *page.findChild<QScrollArea*>()->widget(); }

} // namespace

PortfolioView* showPortfolio(DashboardView& window) {
    window.sidebar().setSelection(SidebarSelection::portfolio());
    auto* page = window.findChild<PortfolioView*>();
    if (page) settle([page] { return page->isSettled(); });
    return page;
}

void stage(DashboardView& window, const std::function<void(const QString& name, QWidget& widget)>& take) {
    auto* page = showPortfolio(window);
    if (!page) return;
    take(QStringLiteral("portfolio-page.png"), wholePage(*page));

    auto* menu = qobject_cast<QMenu*>(page->shareAction().parent());
    menu->popup(page->mapToGlobal(QPoint(page->width() - menu->sizeHint().width(), 60)));
    settle();
    take(QStringLiteral("portfolio-menu.png"), *menu);
    menu->close();

    for (int section = PortfolioView::trends; section <= PortfolioView::achievements; ++section) {
        page->section(static_cast<PortfolioView::Section>(section)).setExpanded(true);
    }
    choose(page->trendsContent()->picker().picker(), TimeRange(TimeRange::oneYear).rawValue());
    settle([page] { return page->isSettled(); });
    take(QStringLiteral("portfolio-page-sections-open.png"), wholePage(*page));
    // The window at its smallest: the widest page still fits beside the sidebar.
    const QSize usual = window.size();
    window.resize(window.minimumSize());
    settle();
    take(QStringLiteral("main-window-minimum.png"), window);
    take(QStringLiteral("portfolio-page-minimum.png"), wholePage(*page));
    window.resize(usual);
    for (int section = PortfolioView::output; section <= PortfolioView::achievements; ++section) {
        page->section(static_cast<PortfolioView::Section>(section)).setExpanded(false);
    }
}

} // namespace norvane::app::PortfolioScreenshots
