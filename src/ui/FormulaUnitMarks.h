#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <vector>

#include "studies/UnitCheck.h"

class QPlainTextEdit;

namespace quantaro {

class Session;

// Marks in the formula editor each step the units check finds fault with:
// a wavy underline of the operator, in the error colour for unlike
// dimensions and the warning colour for another scale, and the reason as
// its tooltip. The check runs once the text, the tables and the angle unit
// have rested for a moment, so typing never waits for it; a long formula is
// checked only around what the editor shows. The marks are the editor's
// extra selections: the text, its colouring, the stacks and the changed
// flags are never touched.
class FormulaUnitMarks : public QObject {
    Q_OBJECT

  public:
    FormulaUnitMarks(QPlainTextEdit* memo, const Session& session);

    // How long the worksheet must rest before it is checked again.
    static constexpr int kRestMilliseconds = 400;
    // A formula longer than this is checked only from this many characters
    // before what the editor shows to as many after it, the equations there
    // whole: marks cost a moment each in a long text.
    static constexpr int kLongestChecked = 100000;
    static constexpr int kMarginChecked = 10000;

    // Switched off, the editor shows no marks.
    void setActive(bool active);
    bool isActive() const { return active_; }

    // Checks at once instead of after the rest.
    void checkNow();
    // The reason of the mark at a text position, or empty.
    QString reasonAt(int position) const;
    int markCount() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void schedule();
    void viewChanged();

    QPlainTextEdit* memo_;
    const Session& session_;
    QTimer rest_;
    bool active_ = true;
    std::vector<QString> reasons_;  // of the editor's extra selections, in order
    // The characters of a long formula last checked.
    int checkedFrom_ = 0;
    int checkedTo_ = 0;
};

}  // namespace quantaro
