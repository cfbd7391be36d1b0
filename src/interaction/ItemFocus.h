#pragma once

class QAbstractItemView;

namespace quantaro {

// Qt tells a screen reader that a view's current item is focused whether or
// not the view has the focus, so an item would stay "focused" after the
// focus has moved on. While it has not the focus, the view keeps no current
// item; the one it had comes back with the focus. For views whose current
// item means nothing but the keyboard's place in them.
void ReportItemFocusOnlyWithTheView(QAbstractItemView* view);

}  // namespace quantaro
