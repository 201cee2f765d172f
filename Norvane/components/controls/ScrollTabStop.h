#pragma once

class QAbstractScrollArea;

namespace norvane::app::ScrollTabStop {

/// Makes `area` a stop of Tab, where the arrows scroll it, only while its content is taller than
/// its view: a view that shows all it holds would be a stop where no key does anything.
void follow(QAbstractScrollArea& area);

} // namespace norvane::app::ScrollTabStop
