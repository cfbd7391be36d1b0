#pragma once

#include <QString>

#include <array>

namespace quantaro {

inline constexpr int kFormulaStackSlots = 100;

// A fixed stack of whole formula texts, slot 1 on top. Pushing onto a full
// stack drops the bottom text; popping an empty slot gives the empty text.
// QString shares its characters, so moving a slot copies no text.
class FormulaStack {
  public:
    FormulaStack() { InitFormulas(); }

    void InitFormulas();
    void PushFormula(const QString& text);
    QString PopFormula();

    // The text of slot 1 to kFormulaStackSlots.
    const QString& slot(int number) const { return slots_[number - 1]; }

  private:
    std::array<QString, kFormulaStackSlots> slots_;
};

// The undo and redo stacks with the counts of steps that Undo and Redo may
// take. The counts are not bounded by the stacks' size: steps beyond it pop
// empty slots.
struct FormulaHistory {
    FormulaStack undoStack;
    FormulaStack redoStack;
    int undoCount = 0;
    int redoCount = 0;
};

}  // namespace quantaro
