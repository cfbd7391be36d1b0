#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace quantaro {

inline constexpr int kFormulaStackSlots = 100;

// A whole formula text as the stacks keep it: UTF-8, mostly a byte a
// character, and a long text compressed besides, since typing into a formula
// of many megabytes pushes a copy of it at every key stroke.
QByteArray PackFormula(const QString& text);
QString UnpackFormula(const QByteArray& packed);

// A fixed stack of whole formula texts, packed, slot 1 on top. Pushing onto
// a full stack drops the bottom text; popping an empty slot gives the empty
// text. QByteArray shares its bytes, so moving a slot, or pushing the same
// text into many slots, copies no text.
class FormulaStack {
  public:
    FormulaStack() { InitFormulas(); }

    void InitFormulas();
    void PushFormula(const QByteArray& utf8);
    QByteArray PopFormula();

    // The text of slot 1 to kFormulaStackSlots.
    const QByteArray& slot(int number) const { return slots_[number - 1]; }

  private:
    std::array<QByteArray, kFormulaStackSlots> slots_;
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
