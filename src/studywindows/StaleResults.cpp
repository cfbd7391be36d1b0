#include "studywindows/StaleResults.h"

#include <QStringList>

#include "session/Session.h"

namespace quantaro {

StaleResults::StaleResults(const Session& session, QObject* parent) : QObject(parent) {
    connect(&session, &Session::formulaChanged, this, [this] { note(FormulaEdited); });
    // Opening a file writes its contents first: the opening says it all.
    connect(&session, &Session::formulaReplaced, this,
            [this] { note(FormulaOpened, FormulaEdited); });
    connect(&session, &Session::angleUnitChanged, this, [this] { note(AngleUnitChanged); });
    connect(&session, &Session::valuesChanged, this, [this](Document table) {
        note(table == Document::Constants ? ConstantChanged : VariableChanged);
    });
    connect(&session, &Session::tableOpened, this, [this](Document table) {
        if (table == Document::Constants) {
            note(ConstantsOpened, ConstantChanged);
        } else {
            note(VariablesOpened, VariableChanged);
        }
    });
}

void StaleResults::reset() {
    changes_ = 0;
}

void StaleResults::note(unsigned change, unsigned replaces) {
    if (ignoring_) return;
    // An opening stands for the changes that come with it.
    const unsigned before = changes_;
    changes_ = (changes_ & ~replaces) | change;
    if (changes_ != before) emit changed();
}

QString StaleResults::changes() const {
    QStringList said;
    unsigned left = changes_;
    constexpr unsigned kWholeWorksheet = FormulaOpened | ConstantsOpened | VariablesOpened;
    if ((left & kWholeWorksheet) == kWholeWorksheet) {
        said.append(QStringLiteral("another worksheet was opened"));
        left &= ~kWholeWorksheet;
    }
    const std::pair<unsigned, const char*> words[] = {
        {FormulaOpened, "another formula was opened"},
        {ConstantsOpened, "another constant table was opened"},
        {VariablesOpened, "another variable table was opened"},
        {FormulaEdited, "the formula was edited"},
        {AngleUnitChanged, "the angle unit changed"},
        {ConstantChanged, "a constant changed"},
        {VariableChanged, "a variable changed"},
    };
    for (const auto& [change, text] : words) {
        if (left & change) said.append(QLatin1String(text));
    }
    if (said.size() <= 1) return said.join(QString());
    const QString last = said.takeLast();
    return said.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

}  // namespace quantaro
