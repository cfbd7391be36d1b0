#include <pybind11/pybind11.h>

#include "python/ScriptStudies.h"
#include "python/ScriptWorksheet.h"

PYBIND11_MODULE(_quantaro, module) {
    module.doc() = "The compiled core of the quantaro package: see quantaro's own help.";
    module.attr("__version__") = QUANTARO_VERSION;
    quantaro::BindWorksheet(module);
    quantaro::BindSweep(module);
    quantaro::BindStudies(module);
}
