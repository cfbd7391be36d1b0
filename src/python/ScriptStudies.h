#pragma once

#include <pybind11/pybind11.h>

namespace quantaro {

// The studies a script runs on a worksheet: the sweep and the goal seek;
// uncertainty, solve and optimise, which report result tables.
void BindSweep(pybind11::module_& module);
void BindStudies(pybind11::module_& module);

}  // namespace quantaro
