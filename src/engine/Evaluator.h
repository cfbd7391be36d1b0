#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/AngleUnit.h"
#include "engine/EngineTables.h"
#include "engine/Messages.h"

namespace quantaro {

// Evaluates one equation's tokens on values: reads the tables, applies each
// operator as the evaluation machine meets it and stores the result.
ResultCode EvaluateTokens(const std::vector<std::string_view>& tokens, const EngineTables& tables,
                          AngleUnit angle, std::string& errorItem);

}  // namespace quantaro
