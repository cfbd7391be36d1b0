#pragma once

#include <pybind11/pybind11.h>

namespace quantaro {

// The studies a script runs on a worksheet: the sweep and the goal seek.
void BindSweep(pybind11::module_& module);

}  // namespace quantaro
