#include "studywindows/StudyInputs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

#include "engine/Numbers.h"
#include "engine/Worksheet.h"

namespace quantaro {
namespace {

// Each name once, as a run reads it: the first row of that name.
void AddNames(const NameTable& table, QStringList& names) {
    for (int row = 1; row <= table.rowCount(); ++row) {
        const std::string& name = table.name(row);
        if (!name.empty() && table.findRow(name) == row) names.append(QString::fromStdString(name));
    }
}

}  // namespace

QStringList InputNames(const NameTable& constants, const NameTable& variables) {
    QStringList names;
    AddNames(constants, names);
    AddNames(variables, names);
    return names;
}

QStringList VariableNames(const NameTable& variables) {
    QStringList names;
    AddNames(variables, names);
    return names;
}

void OfferNames(QComboBox* combo, const QStringList& names) {
    const QString chosen = combo->currentText();
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(names);
    const int kept = combo->findText(chosen);
    combo->setCurrentIndex(kept >= 0 ? kept : (names.isEmpty() ? -1 : 0));
}

QSpinBox* MakeStudySpinEdit(const char* name, int lowest, int highest, int value, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(lowest, highest);
    spin->setValue(value);
    return spin;
}

QLineEdit* MakeStudyEdit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

std::optional<long double> EditNumber(const QLineEdit* edit) {
    return ParseNumber(edit->text().trimmed().toStdString());
}

}  // namespace quantaro
