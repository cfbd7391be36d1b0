#pragma once

#include <QObject>
#include <QString>

#include "documents/DocumentState.h"

namespace quantaro {

class Session;

// What a study's window knows of the worksheet since its study began: a
// study works on a copy taken then, so after any change of the tables, the
// formula or the angle unit its results answer the worksheet as it was.
// Follows the session and names each kind of change, so that the window can
// say which: "a variable changed", "another worksheet was opened".
class StaleResults : public QObject {
    Q_OBJECT

  public:
    explicit StaleResults(const Session& session, QObject* parent = nullptr);

    // A study starts from the worksheet as it is now.
    void reset();
    // Changes made while ignoring are the window's own (Goal Seek's Store).
    void setIgnoring(bool ignoring) { ignoring_ = ignoring; }
    bool stale() const { return changes_ != 0; }
    // The changes, in words: "the formula was edited and a variable changed".
    QString changes() const;

  signals:
    // A change after the study began.
    void changed();

  private:
    enum Change : unsigned {
        FormulaEdited = 1,
        FormulaOpened = 2,
        AngleUnitChanged = 4,
        ConstantChanged = 8,
        VariableChanged = 16,
        ConstantsOpened = 32,
        VariablesOpened = 64,
    };
    void note(unsigned change, unsigned replaces = 0);

    unsigned changes_ = 0;
    bool ignoring_ = false;
};

}  // namespace quantaro
