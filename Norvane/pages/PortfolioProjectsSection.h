#pragma once

#include <QWidget>

#include "Norvane/pages/PortfolioState.h"

class QHBoxLayout;

namespace norvane::app {

class PortfolioProjectList;

/// The "Projects" section of the portfolio page: how many projects each size holds, then one card
/// per listed project with its code lines and its share of the portfolio's.
class PortfolioProjectsSection : public QWidget {
    Q_OBJECT

public:
    explicit PortfolioProjectsSection(const std::vector<PortfolioProject>& projects, QWidget* parent = nullptr);

    void setProjects(const std::vector<PortfolioProject>& projects);

    const PortfolioProjectList& list() const { return *list_; }

private:
    QHBoxLayout* sizes_;
    PortfolioProjectList* list_;
};

} // namespace norvane::app
