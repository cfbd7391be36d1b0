#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "documents/PrintChannel.h"

class QPrinter;

namespace quantaro {

inline constexpr char kPrintStartFailed[] = "The print document could not be started.";
inline constexpr char kPrintPageFailed[] = "A new page could not be started.";
inline constexpr char kPrintEndFailed[] = "The print document could not be completed.";

// Runs one printout as one print document on printer, in a plain fixed-pitch
// font at the printer's resolution. The printer is left set up as it was, so
// that several printouts can follow one print dialog. Returns a failure text
// when the document could not be started or finished.
std::optional<QString> PrintDocument(QPrinter& printer,
                                     const std::function<void(PrintChannel&)>& printout);

}  // namespace quantaro
