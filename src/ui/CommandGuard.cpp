#include "CommandGuard.h"

#include <QString>

#include <exception>

#include "UserInteraction.h"

namespace quantaro {

bool RunCommand(UserInteraction& interaction, QWidget* owner,
                const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& failure) {
        // FloatingPointFault carries its standard text, e.g. "Floating point overflow".
        interaction.showError(owner, QString::fromUtf8(failure.what()));
    } catch (...) {
        interaction.showError(owner, QStringLiteral("Unexpected failure"));
    }
    return false;
}

}  // namespace quantaro
