#pragma once

#include <QStringList>
#include <ostream>

namespace quantaro {

// Exit codes of quantaro-cli besides the result codes 1 to 9.
inline constexpr int kExitFault = 10;
inline constexpr int kExitUsage = 64;
inline constexpr int kExitMissingFile = 66;
inline constexpr int kExitCannotSave = 73;
inline constexpr int kExitReadError = 74;

// Runs quantaro-cli with the given arguments (without the program name):
// loads the documents, runs the formula, prints the variable table to out
// and any message to err. Returns the process exit code.
int RunBatch(const QStringList& arguments, std::ostream& out, std::ostream& err);

}  // namespace quantaro
