#include <QIcon>

#include "documents/FileName.h"
#include "interaction/GuardedApplication.h"
#include "interaction/HelpFiles.h"
#include "interaction/QtUserInteraction.h"
#include "ui/AccessibilityBridgeGuard.h"
#include "ui/StartUp.h"
#include "ui/TFormCalculator.h"

int main(int argc, char** argv) {
    quantaro::GuardedApplication app(argc, argv);
    quantaro::GuardAccessibilityBridge();
    QApplication::setApplicationName(QStringLiteral("Quantaro"));
    // The desktop matches the windows to the menu entry and its icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(QUANTARO_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QUANTARO_APP_ID),
                                                 QIcon(QStringLiteral(":/icons/quantaro.png"))));
    // The other windows may still be open; the program ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    quantaro::QtUserInteraction interaction;
    app.setInteraction(&interaction);
    quantaro::DesktopProgram program(interaction, quantaro::CurrentDirectory(),
                                     quantaro::LocateUserGuide());
    QObject::connect(&program.mainWindow(), &quantaro::TFormCalculator::closed, &app,
                     &QApplication::quit);
    program.show();
    return app.exec();
}
