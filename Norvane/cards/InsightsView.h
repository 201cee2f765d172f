#pragma once

#include "core/analytics/Insight.h"

#include <QWidget>

#include <vector>

class QVBoxLayout;

namespace norvane::app {

/// The portfolio's insights as a column of insight cards in the order given, or one placeholder
/// row while there are none.
class InsightsView : public QWidget {
    Q_OBJECT
public:
    explicit InsightsView(const std::vector<Insight>& insights, QWidget* parent = nullptr);

    void setInsights(const std::vector<Insight>& insights);

private:
    QVBoxLayout* layout_;
};

} // namespace norvane::app
