#include "ui/DesktopCommandLine.h"

#include <QCommandLineParser>

namespace quantaro {
namespace {

const char kUsage[] = "Usage: quantaro [options] [FILE...]\n";

const char kDescription[] =
    "Quantaro, a calculator for sets of equations, evaluated strictly left to right.\n"
    "Opens each FILE as File > Open does: a formula file (.FOR) together with the\n"
    "constant (.CON) and variable (.VAR) files of the same name, a .CON or .VAR\n"
    "file alone. Qt's own options, such as -platform and -style, are accepted too.";

}  // namespace

DesktopCommandLine ParseDesktopCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QLatin1String(kDescription));
    const QCommandLineOption help({"h", "help"}, "Print this help and exit.");
    const QCommandLineOption version({"v", "version"}, "Print the version and exit.");
    parser.addOptions({help, version});
    parser.addPositionalArgument("FILE", "A worksheet file to open: .FOR, .CON or .VAR.",
                                 "[FILE...]");
    const bool parsed = parser.parse(arguments);

    DesktopCommandLine commandLine;
    if (parser.isSet(help)) {
        // The parser's own usage line would name the program by its path.
        const QString listing = parser.helpText();
        commandLine.answer = kUsage + listing.mid(listing.indexOf(QLatin1Char('\n')));
    } else if (parser.isSet(version)) {
        commandLine.answer = QStringLiteral("quantaro " QUANTARO_VERSION "\n");
    } else if (!parsed) {
        commandLine.error = QStringLiteral("quantaro: ") + parser.errorText() + '\n' + kUsage;
    } else {
        commandLine.files = parser.positionalArguments();
    }
    return commandLine;
}

}  // namespace quantaro
