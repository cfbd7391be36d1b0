#include <QDir>

#include "GuardedApplication.h"
#include "HelpFiles.h"
#include "QtUserInteraction.h"
#include "StartUp.h"
#include "TFormCalculator.h"

int main(int argc, char** argv) {
    quantaro::GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quantaro"));
    // The other windows may still be open; the program ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    quantaro::QtUserInteraction interaction;
    app.setInteraction(&interaction);
    quantaro::DesktopProgram program(interaction, QDir::currentPath(), quantaro::LocateUserGuide());
    QObject::connect(&program.mainWindow(), &quantaro::TFormCalculator::closed, &app,
                     &QApplication::quit);
    program.show();
    return app.exec();
}
