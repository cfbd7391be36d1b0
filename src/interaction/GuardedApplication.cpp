#include "interaction/GuardedApplication.h"

#include <exception>
#include <new>

#include "interaction/TabLeavesTables.h"
#include "interaction/UserInteraction.h"

namespace quantaro {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    installEventFilter(new TabLeavesTables(this));
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        report(QStringLiteral("There is not enough memory to complete the command."));
    } catch (const std::exception& failure) {
        report(QString::fromUtf8(failure.what()));
    } catch (...) {
        report(QStringLiteral("Unexpected failure"));
    }
    return false;
}

void GuardedApplication::report(const QString& text) {
    if (interaction_) interaction_->showError(activeWindow(), text);
}

}  // namespace quantaro
