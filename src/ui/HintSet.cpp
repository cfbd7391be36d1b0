#include "HintSet.h"

namespace quantaro {

void HintSet::add(QWidget* widget, const QString& hint, bool shownNow) {
    entries_.push_back({widget, hint});
    widget->setToolTip(shownNow ? hint : QString());
}

void HintSet::setShown(bool shown) {
    for (const Entry& entry : entries_) {
        if (entry.widget) entry.widget->setToolTip(shown ? entry.hint : QString());
    }
}

}  // namespace quantaro
