#pragma once

#include "engine/NameTable.h"

namespace quantaro {

// What the entry screens see of the main window: its confirmed tables, the
// used-row counts, and the copy-back of an accepted working copy.
class EntryScreenHost {
  public:
    virtual ~EntryScreenHost() = default;

    virtual const NameTable& operatorTable() const = 0;
    virtual const NameTable& constantTable() const = 0;
    virtual const NameTable& variableTable() const = 0;
    virtual int constantUsedRows() const = 0;
    virtual int variableUsedRows() const = 0;

    // Copy rows 1 to 100 of grid into the main table, set its changed flag
    // and make entryCount its used-row count.
    virtual void LoadConstantsFromEditor(const NameTable& grid, int entryCount) = 0;
    virtual void LoadVariablesFromEditor(const NameTable& grid, int entryCount) = 0;
};

}  // namespace quantaro
