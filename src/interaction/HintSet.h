#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

#include "interaction/HintTarget.h"

namespace quantaro {

// The hints of one window: each registered widget (the window itself among
// them) shows its hint as a tool tip only while hint display is on for it.
class HintSet {
  public:
    // Registers a hint; shown at once when shownNow is true.
    void add(QWidget* widget, const QString& hint, bool shownNow = false);
    // Switches hint display on or off for every registered widget.
    void setShown(bool shown);

  private:
    struct Entry {
        QPointer<QWidget> widget;
        QString hint;
    };
    std::vector<Entry> entries_;
};

// A tool tip that shows text as it is: Qt takes a tool tip that looks like
// markup for markup, and has no switch to say otherwise.
QString ToolTipText(const QString& text);

}  // namespace quantaro
