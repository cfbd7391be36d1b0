#include "interaction/ControlTable.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

#include "interaction/ContextHelp.h"
#include "interaction/HintSet.h"
#include "interaction/WindowLayout.h"

namespace quantaro {

const ControlEntry& FindControl(std::span<const ControlEntry> table, std::string_view name) {
    const auto found = std::find_if(table.begin(), table.end(), [name](const ControlEntry& entry) {
        return entry.name == name;
    });
    if (found == table.end()) throw std::logic_error("no control named " + std::string(name));
    return *found;
}

QPushButton* MakeButton(std::span<const ControlEntry> table, const char* name, QWidget* parent) {
    return MakeButton(FindControl(table, name).text, name, parent);
}

QLabel* MakeLabel(std::span<const ControlEntry> table, const char* name, QWidget* parent) {
    return MakeLabel(FindControl(table, name).text, QLatin1String(name), parent);
}

QWidget* FindNamedControl(QWidget* window, std::string_view name) {
    const QString wanted = QString::fromLatin1(name.data(), qsizetype(name.size()));
    if (window->objectName() == wanted) return window;
    return window->findChild<QWidget*>(wanted);
}

void ApplyControlTable(QWidget* window, std::span<const ControlEntry> table, HintSet& hints) {
    for (const ControlEntry& entry : table) {
        QWidget* control = FindNamedControl(window, entry.name);
        if (!control) throw std::logic_error(std::string("no control made for ") + entry.name);
        if (entry.hintDisplay == HintDisplay::Always) {
            control->setToolTip(ToolTipText(entry.hint));
        } else if (!entry.hint.isEmpty()) {
            hints.add(control, entry.hint, entry.hintDisplay == HintDisplay::FromStart);
        }
        ContextHelp::setContext(control, entry.helpContext);
        if (!entry.place.isNull()) control->setGeometry(entry.place);
        if (!entry.accessibleName.isEmpty()) control->setAccessibleName(entry.accessibleName);
        if (entry.labelFor) {
            QWidget* named = FindNamedControl(window, entry.labelFor);
            auto* label = qobject_cast<QLabel*>(control);
            if (!label || !named) throw std::logic_error(std::string("no label for ") + entry.name);
            label->setBuddy(named);
        }
    }
}

}  // namespace quantaro
