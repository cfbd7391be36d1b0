#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/AngleUnit.h"
#include "engine/EngineTables.h"
#include "engine/Messages.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {

// The evaluation machine's backend that works on values: it reads the
// tables, applies each operator as the machine meets it and stores the
// result into the variable table.
class ValueBackend {
  public:
    using Operand = long double;

    ValueBackend(NameTable& variables, AngleUnit angle, std::string& errorItem)
        : variables_(variables), angle_(angle), errorItem_(errorItem) {}

    Operand literal(long double value) { return value; }
    Operand read(const NameTable& table, int row) { return table.number(row); }
    Operand zero() { return 0.0L; }
    ResultCode apply(const OperatorDefinition& op, std::string_view text, Operand left,
                     Operand right, Operand& result);
    void store(int variableRow, Operand value) { variables_.setResult(variableRow, value); }

  protected:
    NameTable& variables() { return variables_; }

  private:
    NameTable& variables_;
    AngleUnit angle_;
    std::string& errorItem_;
};

// Evaluates one equation's tokens on values: reads the tables, applies each
// operator as the evaluation machine meets it and stores the result into
// variables, the table that tables.variables is. When given, `at` follows
// the token being worked on (EvaluationMachine).
ResultCode EvaluateTokens(const std::vector<std::string_view>& tokens, const EngineTables& tables,
                          NameTable& variables, AngleUnit angle, std::string& errorItem,
                          std::string_view* at = nullptr);

}  // namespace quantaro
