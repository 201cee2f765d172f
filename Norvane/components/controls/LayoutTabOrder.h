#pragma once

class QWidget;

namespace norvane::app::LayoutTabOrder {

/// Orders Tab through the controls inside `root` as its layouts place them, depth first, so that
/// what a page makes later (a section opened, a card made anew for new figures) is reached where
/// it stands rather than after everything made before it.
void apply(QWidget& root);

} // namespace norvane::app::LayoutTabOrder
