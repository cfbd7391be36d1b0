#pragma once

#include <QStringList>
#include <ostream>

namespace quantaro {

// Exit codes of quantaro-cli besides the result codes 1 to 9; a
// floating-point fault's, which is its result code too.
inline constexpr int kExitFault = 10;
// A goal seek found no value.
inline constexpr int kExitNoSolution = 12;
inline constexpr int kExitUsage = 64;
inline constexpr int kExitMissingFile = 66;
inline constexpr int kExitCannotSave = 73;
// A file that is there could not be read, or the output could not be written.
inline constexpr int kExitIoError = 74;
// A run stopped by a signal exits with 128 and the signal's number.
inline constexpr int kExitSignalBase = 128;

// The signal that has asked the run to stop, 0 while none has.
using PendingStop = int (*)();

// Runs quantaro-cli with the given arguments (without the program name):
// loads the documents, runs the formula, prints the variable table to out
// and any message to err. A stop asked for between passes ends the run after
// the pass under way, as an error would, without saving. With --explain it
// prints each step of one run to out instead, message included, and changes
// and saves nothing. With --sweep it runs the formula at many values of one
// or two inputs and writes a CSV file; with --seek it finds the value of an
// input that gives a variable a target value. With --json it writes one JSON
// document of the inputs, outcome and results instead of the text on out
// (with --json=FILE, to FILE besides the text). Returns the process exit code.
int RunBatch(const QStringList& arguments, std::ostream& out, std::ostream& err,
             PendingStop pendingStop = nullptr);

}  // namespace quantaro
