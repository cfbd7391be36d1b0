#include "session/FormulaRuns.h"

#include <QString>

#include "session/Session.h"

namespace quantaro {

FormulaRuns::FormulaRuns(Session& session, Worksheet& sheet)
    : session_(session), sheet_(sheet), engine_(sheet) {}

std::optional<std::string> FormulaRuns::runPass(int selection) {
    // Setting the formula compiles it again: set it only when it has changed.
    if (const std::uint64_t revision = session_.formulaRevision(); revision != formulaRevision_) {
        sheet_.setFormula(session_.formulaText().toStdString());
        formulaRevision_ = revision;
    }
    const RunOutcome outcome = engine_.ExecuteEquations(selection);
    std::optional<std::string> fault;
    lastRunFailed_ = false;
    if (outcome.status == ResultCode::FloatingPointFault) {
        fault = outcome.message;
    } else {
        lastRunFailed_ = !outcome.succeeded();
        report(outcome);
    }
    // Equations before a failing or faulting one have stored their results,
    // so the table differs from its file in every case.
    session_.documents().setChanged(Document::Variables);
    return fault;
}

void FormulaRuns::runCommand(int selection) {
    const std::optional<std::string> fault = runPass(selection);
    session_.tableWritten(Document::Variables);
    if (fault) {
        emit session_.runFaulted(QString::fromStdString(*fault));
    }
}

void FormulaRuns::report(const RunOutcome& outcome) {
    if (!outcome.succeeded()) {
        emit session_.runFailed(outcome);
    } else if (session_.options().promptOnEveryLoop) {
        emit session_.completionPromptDue();
    }
}

}  // namespace quantaro
