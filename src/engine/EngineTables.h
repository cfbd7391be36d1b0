#pragma once

#include "engine/NameIndex.h"
#include "engine/NameTable.h"

namespace quantaro {

// What a formula is cut and run against: the constant and the variable
// table, each with the index of its names. The operators are the
// registry's (Operators()). A run writes its results into the variable
// table, which the run is handed on its own.
struct EngineTables {
    const NameTable& constants;
    const NameIndex& constantNames;
    const NameTable& variables;
    const NameIndex& variableNames;
};

// The indexes of a constant and a variable table's names, owned by whoever
// cuts or runs formulas many times (an engine, the editor's colouring), so
// that the tables themselves hold nothing but their cells.
class TableIndexes {
  public:
    // The tables with the indexes of their names as they are now; an index
    // is built again only when its table's names have changed.
    EngineTables follow(const NameTable& constants, const NameTable& variables) {
        constantNames_.follow(constants);
        variableNames_.follow(variables);
        return {constants, constantNames_, variables, variableNames_};
    }

  private:
    NameIndex constantNames_;
    NameIndex variableNames_;
};

}  // namespace quantaro
