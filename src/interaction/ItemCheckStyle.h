#pragma once

class QWidget;

namespace quantaro {

// Gives the check boxes of a list's items, a check box's box, or a radio
// button's circle, a frame that stands out from its ground in any palette. Fusion, the style Qt
// uses with most Linux desktops, frames the box in the window colour darkened, which a dark palette
// makes the same as the box's own base colour: an unticked box vanishes.
void KeepIndicatorsVisible(QWidget* widget);

}  // namespace quantaro
