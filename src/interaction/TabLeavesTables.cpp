#include "interaction/TabLeavesTables.h"

#include <QAbstractItemView>
#include <QEvent>

namespace quantaro {

bool TabLeavesTables::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Polish) {
        if (auto* view = qobject_cast<QAbstractItemView*>(watched))
            view->setTabKeyNavigation(false);
    }
    return false;
}

}  // namespace quantaro
