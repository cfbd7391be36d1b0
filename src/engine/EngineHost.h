#pragma once

#include <string>

#include "engine/AngleUnit.h"

namespace quantaro {

enum class MessageKind { Error, Information };

// Everything a run touches outside the engine: the formula text, the angle
// unit, the run-control state and the message boxes. The desktop program,
// the batch runner and the tests each supply their own.
class EngineHost {
  public:
    virtual ~EngineHost() = default;

    // The formula editor's whole text, lines separated by CR LF.
    virtual std::string formulaText() const = 0;
    // Read anew for every operator applied.
    virtual AngleUnit angleUnit() const = 0;

    // Whether the option "&Prompt on every loop" is ticked.
    virtual bool promptOnEveryLoop() const = 0;
    // 1: the completion prompt may be shown; 2: the user cancelled it.
    virtual int promptAnswer() const = 0;
    virtual void setPromptAnswer(int answer) = 0;

    // The continuous loop's timer and stop flag.
    virtual void setLoopTimerEnabled(bool enabled) = 0;
    virtual void setLoopStopped() = 0;

    // A modal box with one OK button.
    virtual void showMessage(MessageKind kind, const std::string& text) = 0;
    // The completion prompt, an information box with OK and Cancel; true for OK.
    virtual bool confirmCompletion(const std::string& text) = 0;
};

}  // namespace quantaro
