#include "Norvane/pages/PortfolioProjectList.h"

#include <QFontMetrics>
#include <QPainter>

#include "Norvane/components/text/NumberText.h"
#include "Norvane/components/theme/Palette.h"
#include "Norvane/components/theme/Typography.h"
#include "Norvane/pages/MenuBarModel.h"
#include "Norvane/pages/PortfolioFigures.h"

namespace norvane::app {
namespace {

constexpr int projectListPadding = 16;
constexpr int projectListRowSpacing = 12;
constexpr int lineSpacing = 2;
constexpr double projectListCornerRadius = 8.0;
constexpr int preferredWidth = 200;

QFont nameFont() { return Typography::font(TextStyle::body, QFont::Medium); }
QFont captionFont() { return Typography::font(TextStyle::caption); }

} // namespace

PortfolioProjectList::PortfolioProjectList(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

std::vector<PortfolioProjectList::Row> PortfolioProjectList::rowsOf(const std::vector<PortfolioProject>& projects) {
    const auto total = PortfolioFigures::totalCodeLines(projects);
    std::vector<Row> rows;
    for (const auto& project : projects) {
        rows.push_back({QString::fromStdString(project.name),
                        project.codeLines ? formatNumber(*project.codeLines) + QStringLiteral(" lines")
                                          : QStringLiteral("No scc data"),
                        PortfolioFigures::shareText(project, total)});
    }
    return rows;
}

void PortfolioProjectList::setProjects(const std::vector<PortfolioProject>& projects) {
    rows_ = rowsOf(projects);
    updateGeometry();
    update();
}

int PortfolioProjectList::rowHeight() const {
    return projectListPadding + QFontMetrics(nameFont()).height() + lineSpacing + QFontMetrics(captionFont()).height() +
           projectListPadding;
}

QSize PortfolioProjectList::sizeHint() const {
    const int count = static_cast<int>(rows_.size());
    return {preferredWidth, count == 0 ? 0 : count * rowHeight() + (count - 1) * projectListRowSpacing};
}

QSize PortfolioProjectList::minimumSizeHint() const { return sizeHint(); }

void PortfolioProjectList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics name(nameFont());
    const QFontMetrics caption(captionFont());
    const int height = rowHeight();
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const QRect card(0, static_cast<int>(index) * (height + projectListRowSpacing), width(), height);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::backgroundRaised());
        painter.drawRoundedRect(QRectF(card), projectListCornerRadius, projectListCornerRadius);
        const QRect text =
            card.adjusted(projectListPadding, projectListPadding, -projectListPadding, -projectListPadding);
        const auto& row = rows_[index];
        const int shareWidth = row.share ? caption.horizontalAdvance(*row.share) + projectListPadding : 0;
        painter.setFont(nameFont());
        painter.setPen(Palette::textPrimary());
        painter.drawText(QRect(text.left(), text.top(), text.width() - shareWidth, name.height()), Qt::AlignLeft,
                         name.elidedText(row.name, Qt::ElideRight, text.width() - shareWidth));
        painter.setFont(captionFont());
        painter.setPen(Palette::textSecondary());
        painter.drawText(QRect(text.left(), text.top() + name.height() + lineSpacing, text.width(), caption.height()),
                         Qt::AlignLeft, row.lines);
        if (row.share) painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, *row.share);
    }
}

} // namespace norvane::app
