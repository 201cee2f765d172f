#pragma once

#include <qcustomplot.h>

namespace norvane::app {

/// Bars with rounded corners; a gradient brush in object coordinates spans each bar on its own.
class RoundedBars : public QCPBars {
    Q_OBJECT
public:
    RoundedBars(QCPAxis* keyAxis, QCPAxis* valueAxis, double cornerRadius);

protected:
    void draw(QCPPainter* painter) override;

private:
    double cornerRadius_;
};

} // namespace norvane::app
