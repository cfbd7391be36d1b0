#pragma once

#include <cstdint>
#include <string>

#include "engine/AngleUnit.h"
#include "engine/Stamp.h"

class QWidget;

namespace quantaro {

// What a run needs from the main window: the formula, the angle unit, the
// run options and the prompt answer, the variables-changed flag, and the
// variable grid and entry screen that show the results.
class RunHost {
  public:
    virtual ~RunHost() = default;

    // The formula editor's whole text, lines separated by CR LF, in UTF-8.
    virtual std::string runFormulaText() const = 0;
    // Changes whenever the formula text changes, so that a run takes the text
    // only then; a host that cannot tell gives a new value every time.
    virtual std::uint64_t formulaRevision() const { return NextStamp(); }
    virtual AngleUnit angleUnit() const = 0;

    // "&Prompt on every loop" and "Show entire &variable table after executing".
    virtual bool promptOnEveryLoop() const = 0;
    virtual bool showVariablesAfterExecuting() const = 0;
    // 1: the completion prompt may be shown; 2: the user cancelled it.
    virtual int promptAnswer() const = 0;
    virtual void setPromptAnswer(int answer) = 0;

    virtual void markVariablesChanged() = 0;
    // Redraws the variable grid after a run has written values into the table.
    virtual void showVariableValues() = 0;
    // Shows the variable entry screen without waiting for it.
    virtual void showVariableScreen() = 0;

    // The window that owns the run's message boxes.
    virtual QWidget* messageOwner() = 0;
};

}  // namespace quantaro
