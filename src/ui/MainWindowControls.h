#pragma once

#include <span>

#include "interaction/ControlTable.h"

namespace quantaro {

// The main window and its controls: each one's caption, hint, help context
// and classic place, the place it has at the window's smallest size.
std::span<const ControlEntry> MainWindowControls();

}  // namespace quantaro
