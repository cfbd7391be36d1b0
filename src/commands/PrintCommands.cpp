#include "commands/PrintCommands.h"

#include <QFileInfo>
#include <QPrinter>

#include "documents/PrintDocument.h"
#include "documents/Printouts.h"
#include "interaction/UserInteraction.h"

namespace quantaro {

QString PrintoutFileName(const QString& chosen, Document printout) {
    const QFileInfo file(chosen);
    const QString suffix = file.suffix();
    QString stem = chosen;
    if (!suffix.isEmpty()) stem.chop(suffix.size() + 1);
    const QString name = stem + QLatin1Char('-') + PrintoutKind(printout);
    return suffix.isEmpty() ? name : name + QLatin1Char('.') + suffix;
}

PrintCommands::PrintCommands(Sources sources, UserInteraction& interaction, QWidget* owner)
    : sources_(std::move(sources)),
      interaction_(interaction),
      owner_(owner),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

PrintCommands::~PrintCommands() = default;

void PrintCommands::PrintAll1Click() {
    print({Document::Formula, Document::Constants, Document::Variables});
}

void PrintCommands::PrintFormulaOnly1Click() {
    print({Document::Formula});
}

void PrintCommands::PrintConstantsOnly1Click() {
    print({Document::Constants});
}

void PrintCommands::PrintVariablesOnly1Click() {
    print({Document::Variables});
}

void PrintCommands::print(std::initializer_list<Document> printouts) {
    if (!interaction_.choosePrinter(owner_, *printer_)) return;
    const QString chosenFile = printer_->outputFileName();
    for (Document printout : printouts) {
        const bool toOneFileEach = !chosenFile.isEmpty() && printouts.size() > 1;
        printOne(printout, toOneFileEach ? PrintoutFileName(chosenFile, printout) : chosenFile);
    }
    // The printer keeps the choice made in the dialog.
    printer_->setOutputFileName(chosenFile);
}

void PrintCommands::printOne(Document printout, const QString& outputFile) {
    if (!outputFile.isEmpty()) printer_->setOutputFileName(outputFile);
    const QString fileName = sources_.documents.fileName(printout);
    const auto listing = [&](PrintChannel& channel) {
        switch (printout) {
            case Document::Formula:
                PrintFormula(channel, fileName, sources_.formulaText());
                break;
            case Document::Constants:
                PrintConstants(channel, fileName, sources_.constants);
                break;
            case Document::Variables:
                PrintVariables(channel, fileName, sources_.variables);
                break;
        }
    };
    if (const std::optional<QString> failure = PrintDocument(*printer_, listing)) {
        interaction_.showError(owner_, *failure);
    }
}

}  // namespace quantaro
