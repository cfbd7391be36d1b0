#pragma once

#include "engine/NameTable.h"

namespace quantaro {

// The engine's whole symbol store. Results are written into the variable
// table's value column; nothing else is ever changed by a run.
struct EngineTables {
    const NameTable& operators;
    const NameTable& constants;
    NameTable& variables;
};

}  // namespace quantaro
