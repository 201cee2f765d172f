#include "Norvane/cards/MedianLabel.h"

namespace norvane::app {

QString medianLabel(const std::optional<QString>& sizeBucket) {
    if (!sizeBucket) {
        return QStringLiteral("Industry Median");
    }
    const QString name = sizeBucket->endsWith(QLatin1Char('*')) ? sizeBucket->chopped(1) : *sizeBucket;
    return QStringLiteral("Median (") + name + QStringLiteral(")");
}

} // namespace norvane::app
