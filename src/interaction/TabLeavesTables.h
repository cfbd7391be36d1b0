#pragma once

#include <QObject>

namespace quantaro {

// Keeps Tab and Shift+Tab for moving between controls in every table and
// list of the program, as in any other control, so that the keyboard can
// always leave them; the arrow keys move from cell to cell. Installed on the
// application, it sets each item view as the view is first polished, so
// windows made later follow too.
class TabLeavesTables : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quantaro
