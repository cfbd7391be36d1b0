#include "interaction/ItemFocus.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPersistentModelIndex>

namespace quantaro {
namespace {

class ItemFocusFilter : public QObject {
  public:
    explicit ItemFocusFilter(QAbstractItemView* view) : QObject(view), view_(view) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        QItemSelectionModel* selection = view_->selectionModel();
        if (watched != view_ || !selection) return false;
        if (event->type() == QEvent::FocusOut) {
            kept_ = selection->currentIndex();
            selection->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
        } else if (event->type() == QEvent::FocusIn && kept_.isValid()) {
            selection->setCurrentIndex(kept_, QItemSelectionModel::NoUpdate);
        }
        return false;
    }

  private:
    QAbstractItemView* view_;
    QPersistentModelIndex kept_;
};

}  // namespace

void ReportItemFocusOnlyWithTheView(QAbstractItemView* view) {
    view->installEventFilter(new ItemFocusFilter(view));
}

}  // namespace quantaro
