#include <QDir>
#include <QIcon>

#include <iostream>

#include "documents/FileName.h"
#include "interaction/GuardedApplication.h"
#include "interaction/HelpFiles.h"
#include "interaction/QtUserInteraction.h"
#include "ui/AccessibilityBridgeGuard.h"
#include "ui/DesktopCommandLine.h"
#include "ui/StartUp.h"
#include "ui/TFormCalculator.h"

namespace {

constexpr int kExitUsage = 64;
constexpr int kExitIoError = 74;

// The arguments as the program received them, each kept as its bytes so that
// a file name that is not UTF-8 names its file; once the application object
// exists, without Qt's own options, which it takes out of argv.
QStringList ReceivedArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << quantaro::FileNameFromBytes(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    // The help and the version need no display, so they are answered before
    // the application connects to one.
    const QString answer = quantaro::ParseDesktopCommandLine(ReceivedArguments(argc, argv)).answer;
    if (!answer.isEmpty()) {
        std::cout << answer.toLocal8Bit().constData() << std::flush;
        return std::cout ? 0 : kExitIoError;
    }

    quantaro::GuardedApplication app(argc, argv);
    const quantaro::DesktopCommandLine commandLine =
        quantaro::ParseDesktopCommandLine(ReceivedArguments(argc, argv));
    if (!commandLine.error.isEmpty()) {
        std::cerr << commandLine.error.toLocal8Bit().constData();
        return kExitUsage;
    }
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
    program.open(commandLine.files);
    return app.exec();
}
