#pragma once

#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

#include "Norvane/pages/PortfolioState.h"

namespace norvane::app {

/// The portfolio page's cards of its projects, one under the other: the name with the code lines
/// (or "No scc data") under it, and the share of the portfolio's lines at the right. Drawn as one
/// widget, so that a portfolio of many projects costs one widget, not four per project.
class PortfolioProjectList : public QWidget {
    Q_OBJECT

public:
    struct Row {
        QString name;
        QString lines;
        std::optional<QString> share;
    };

    explicit PortfolioProjectList(QWidget* parent = nullptr);

    void setProjects(const std::vector<PortfolioProject>& projects);
    const std::vector<Row>& rows() const { return rows_; }

    static std::vector<Row> rowsOf(const std::vector<PortfolioProject>& projects);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int rowHeight() const;

    std::vector<Row> rows_;
};

} // namespace norvane::app
