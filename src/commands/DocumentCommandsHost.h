#pragma once

#include <QString>

#include "documents/DocumentState.h"
#include "engine/AngleUnit.h"
#include "engine/NameTable.h"
#include "engine/Trajectory.h"

namespace quantaro {

// What the document commands need of the main window: the formula editor's
// text and angle unit, the two tables and their grids, and the few controls
// that a load or the Save command touches.
class DocumentCommandsHost {
  public:
    virtual ~DocumentCommandsHost() = default;

    // The editor's whole text, lines separated by CR LF.
    virtual QString formulaText() const = 0;
    // Replaces the editor's text without recording an undo step.
    virtual void setFormulaText(const QString& text) = 0;

    virtual AngleUnit angleUnit() const = 0;
    // Selects the unit's button as a click on it would, so that a change of
    // unit marks the formula changed, and gives the button the focus.
    virtual void selectAngleUnit(AngleUnit unit) = 0;

    // The constant table (Document::Constants) or the variable table.
    virtual NameTable& documentTable(Document table) = 0;
    // Shows the table's rows again after a load or New replaced them; an
    // editor still open on the old rows is closed.
    virtual void refreshGrid(Document table) = 0;

    // Enables Clear Formula.
    virtual void enableClearFormula() = 0;
    // Enables or disables the editor's Cut, Copy, Delete and Select All.
    virtual void SetEdit(bool enabled) = 0;

    // Pops up the Save As menu, from which the user picks what to save.
    virtual void popUpSaveMenu() = 0;

    // The trajectory the continuous loop recorded last, or null when none.
    virtual const Trajectory* trajectory() const = 0;
};

}  // namespace quantaro
