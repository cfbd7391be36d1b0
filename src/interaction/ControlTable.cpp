#include "interaction/ControlTable.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

#include "interaction/ContextHelp.h"
#include "interaction/HintSet.h"
#include "interaction/WindowLayout.h"

namespace quantaro {

const ControlSpec& FindControl(std::span<const ControlSpec> table, std::string_view name) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [name](const ControlSpec& spec) { return spec.name == name; });
    if (found == table.end()) throw std::logic_error("no control named " + std::string(name));
    return *found;
}

QPushButton* MakeButton(std::span<const ControlSpec> table, const char* name, QWidget* parent) {
    return MakeButton(FindControl(table, name).text, name, parent);
}

QLabel* MakeLabel(std::span<const ControlSpec> table, const char* name, QWidget* parent) {
    return MakeLabel(FindControl(table, name).text, QLatin1String(name), parent);
}

QWidget* FindNamedControl(QWidget* window, std::string_view name) {
    const QString wanted = QString::fromLatin1(name.data(), qsizetype(name.size()));
    if (window->objectName() == wanted) return window;
    return window->findChild<QWidget*>(wanted);
}

void ApplyControlTable(QWidget* window, std::span<const ControlSpec> table, HintSet& hints) {
    for (const ControlSpec& spec : table) {
        QWidget* control = FindNamedControl(window, spec.name);
        if (!control) throw std::logic_error(std::string("no control made for ") + spec.name);
        if (spec.hintDisplay == HintDisplay::Always) {
            control->setToolTip(ToolTipText(spec.hint));
        } else if (!spec.hint.isEmpty()) {
            hints.add(control, spec.hint, spec.hintDisplay == HintDisplay::FromStart);
        }
        ContextHelp::setContext(control, spec.helpContext);
        if (!spec.place.isNull()) control->setGeometry(spec.place);
    }
}

}  // namespace quantaro
