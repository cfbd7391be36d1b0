#pragma once

#include <functional>

class QWidget;

namespace quantaro {

class UserInteraction;

// Runs one user command so that nothing it throws reaches the event loop: a
// floating-point fault or any other failure ends the command with an error
// box holding the failure's text. Returns false when the command failed.
bool RunCommand(UserInteraction& interaction, QWidget* owner, const std::function<void()>& command);

}  // namespace quantaro
