#pragma once

#include <QRect>
#include <QString>

#include <span>
#include <string_view>

class QLabel;
class QPushButton;
class QWidget;

namespace quantaro {

class HintSet;

// When a control shows its hint: only while hints are switched on, from the
// start until they are first switched off, or always.
enum class HintDisplay { Switched, FromStart, Always };

// One control of a window as the window's table describes it. The window
// makes each control under its object name; the table gives it its text,
// its hint, its help context and, unless a layout places it, its place. The
// window itself is described under its own object name, its text being its
// title.
struct ControlEntry {
    const char* name = nullptr;
    QString text{};
    QString hint{};
    int helpContext = 0;
    QRect place{};
    HintDisplay hintDisplay = HintDisplay::Switched;
    // For a label: the control it names. The control takes the label's text
    // as the name a screen reader speaks, and the label as its labelled-by
    // relation, which on Linux is all a combo box has: its name is its value.
    const char* labelFor = nullptr;
    // The name a screen reader speaks, where no label says it alone.
    QString accessibleName{};
};

// The entry of the named control; the table must hold it.
const ControlEntry& FindControl(std::span<const ControlEntry> table, std::string_view name);

// A button or a label named and captioned as its entry says.
QPushButton* MakeButton(std::span<const ControlEntry> table, const char* name, QWidget* parent);
QLabel* MakeLabel(std::span<const ControlEntry> table, const char* name, QWidget* parent);

// Gives each control of the window that the table names its hint (in hints
// unless it always shows), its help context, its place, its accessible name
// and, for a label, the control it names.
void ApplyControlTable(QWidget* window, std::span<const ControlEntry> table, HintSet& hints);

// The window itself or its child of that name; null when there is none.
QWidget* FindNamedControl(QWidget* window, std::string_view name);

}  // namespace quantaro
