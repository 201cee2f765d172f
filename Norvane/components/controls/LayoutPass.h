#pragma once

class QWidget;

namespace norvane::app::LayoutPass {

/// Shows now what was made inside `root` to be shown a turn later (a widget added to a shown
/// layout), then places every shown widget, from the top down, each in the room its parent has just
/// given it. A change deep inside a page otherwise lays out from the inside first, squeezing what
/// the outer layouts have not grown yet, or leaves a card out for a turn, and a window may draw in
/// between.
void run(QWidget& root);

} // namespace norvane::app::LayoutPass
