#pragma once

#include <cstdint>
#include <string>

#include "engine/AngleUnit.h"
#include "engine/NameTable.h"
#include "engine/Stamp.h"

namespace quantaro {

// Everything a run works on besides the operators, which are the registry's
// (Operators()): the constant and variable tables, the formula text and the
// angle unit. A run writes its results into the variable table and changes
// nothing else.
struct Worksheet {
    NameTable constants = MakeConstantTable();
    NameTable variables = MakeVariableTable();
    AngleUnit angle = AngleUnit::Degrees;

    // Lines separated by CR LF, in UTF-8.
    const std::string& formula() const { return formula_; }
    void setFormula(std::string text);
    // Changes whenever the formula is set; see NextStamp.
    std::uint64_t formulaStamp() const { return formulaStamp_; }

  private:
    std::string formula_;
    std::uint64_t formulaStamp_ = NextStamp();
};

}  // namespace quantaro
