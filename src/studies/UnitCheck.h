#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/Worksheet.h"
#include "studies/UnitLibrary.h"

namespace quantaro {

// Something the units check found in one equation.
struct UnitFinding {
    enum Kind {
        Dimension,      // unlike dimensions meet
        Scale,          // one dimension, another scale: a factor or an offset is missing
        NotUnderstood,  // a cell the equation reads has units that could not be read
    };
    Kind kind = Dimension;
    int equation = 0;    // numbered from 1, as a run numbers them
    int step = 0;        // as Explain numbers an equation's steps; 0 for NotUnderstood
    std::string op;      // the operator as typed; empty for NotUnderstood
    std::string reason;  // in plain words: "adds m/s to m"
    // Where in the formula text the equation begins and ends, and the
    // step's operator (the cell's first use for NotUnderstood).
    std::size_t equationBegin = 0;
    std::size_t equationEnd = 0;
    std::size_t at = 0;
    std::size_t length = 0;
};

// "equation 3, step 2 (+): dimension: adds m/s to m", or for a cell
// "equation 5: not understood: ...".
std::string FindingLine(const UnitFinding& finding);
const char* KindName(UnitFinding::Kind kind);

// What the check made of one equation: the unit of each step's result, in
// the order Explain writes the steps, the stored result last; "?" where the
// unit is not known.
struct EquationUnits {
    int equation = 0;
    std::vector<std::string> stepUnits;
    bool readsUnits = false;  // whether any cell it reads has units
};

struct UnitReport {
    std::vector<UnitFinding> findings;  // by equation, then step
    std::vector<EquationUnits> equations;
    bool hasDimensionFinding() const;
};

// Follows every equation of the sheet (or only the selection-th) in the
// engine's own left-to-right order through the units of the cells it reads.
// Reads the sheet and changes nothing; an equation that a run would reject
// (an unknown word, a missing "=", unbalanced brackets) is left to the run.
UnitReport CheckUnits(const Worksheet& sheet, UnitLibrary& library, int selection = 0);

// Explain's lines (ExplainEquations) with each step's unit after its value,
// "  2 + 3 = 5   [m]", in the equations that read a cell with units; the
// others, and a worksheet without units, explain as before.
std::vector<std::string> WithStepUnits(const std::vector<std::string>& explanation,
                                       const UnitReport& report);

}  // namespace quantaro
