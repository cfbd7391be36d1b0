#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>

#include "documents/DocumentState.h"
#include "engine/NameTable.h"

class QPrinter;
class QWidget;

namespace quantaro {

class UserInteraction;

// The items of the Print pop-up menu: the print dialog, then one print
// document per printout on the printer chosen there, which stays the current
// printer for the next time.
class PrintCommands {
  public:
    struct Sources {
        const DocumentState& documents;
        std::function<QString()> formulaText;  // lines separated by CR LF
        const NameTable& constants;
        const NameTable& variables;
    };

    PrintCommands(Sources sources, UserInteraction& interaction, QWidget* owner);
    ~PrintCommands();

    void PrintAll1Click();
    void PrintFormulaOnly1Click();
    void PrintConstantsOnly1Click();
    void PrintVariablesOnly1Click();

    QPrinter& printer() { return *printer_; }

  private:
    void print(std::initializer_list<Document> printouts);
    void printOne(Document printout, const QString& outputFile);

    Sources sources_;
    UserInteraction& interaction_;
    QWidget* owner_;
    std::unique_ptr<QPrinter> printer_;
};

// The file that one of several printouts sent to a file goes to: the chosen
// name with the printout's kind before the extension, so that the printouts
// of "Print &All" do not overwrite one another ("out.pdf" gives
// "out-FORMULA.pdf").
QString PrintoutFileName(const QString& chosen, Document printout);

}  // namespace quantaro
