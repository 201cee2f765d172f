#pragma once

class QWidget;

namespace norvane::app::LayoutPass {

/// Places every shown widget inside `root` now, from the top down, each in the room its parent
/// has just given it. A change deep inside a page (a card shown, a section revealed) otherwise lays
/// out from the inside first, squeezing what the outer layouts have not grown yet, and a window may
/// draw in between.
void run(QWidget& root);

} // namespace norvane::app::LayoutPass
