#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ScriptedInteraction.h"
#include "commands/PrintCommands.h"
#include "documents/DocumentState.h"
#include "documents/PrintDocument.h"
#include "engine/NameTable.h"

namespace quantaro::testing {
namespace {

class PrintCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        user.pdfFile = path("out.pdf");
        constants.setCell(NameColumn, 1, "g");
        constants.setCell(ValueColumn, 1, "9.81");
    }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    static bool IsPdf(const QString& file) {
        QFile pdf(file);
        return pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-";
    }

    QTemporaryDir dir;
    ScriptedInteraction user;
    DocumentState documents;
    NameTable constants = MakeConstantTable();
    NameTable variables = MakeVariableTable();
    PrintCommands commands{
        {documents, [] { return QStringLiteral("A + 1 = A"); }, constants, variables},
        user,
        nullptr};
};

TEST_F(PrintCommandsTest, CancellingTheDialogPrintsNothing) {
    user.printAnswers = {false};
    commands.PrintAll1Click();
    EXPECT_EQ(user.printDialogs, 1);
    EXPECT_FALSE(QFile::exists(path("out.pdf")));
    EXPECT_FALSE(QFile::exists(path("out-FORMULA.pdf")));
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(PrintCommandsTest, PrintAllToAFileGivesThreeDocumentsAfterOneDialog) {
    user.printAnswers = {true};
    commands.PrintAll1Click();
    EXPECT_EQ(user.printDialogs, 1);
    for (const char* name : {"out-FORMULA.pdf", "out-CONSTANTS.pdf", "out-VARIABLES.pdf"}) {
        EXPECT_TRUE(IsPdf(path(name))) << name;
    }
    EXPECT_FALSE(QFile::exists(path("out.pdf")));
    // The dialog's choice stays the current printer's.
    EXPECT_EQ(commands.printer().outputFileName(), path("out.pdf"));
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(PrintCommandsTest, ASinglePrintoutGoesToTheChosenFile) {
    for (auto command :
         {&PrintCommands::PrintFormulaOnly1Click, &PrintCommands::PrintConstantsOnly1Click,
          &PrintCommands::PrintVariablesOnly1Click}) {
        QFile::remove(path("out.pdf"));
        user.printAnswers = {true};
        (commands.*command)();
        EXPECT_TRUE(IsPdf(path("out.pdf")));
    }
    EXPECT_EQ(user.printDialogs, 3);
}

TEST_F(PrintCommandsTest, APrinterThatCannotStartIsReportedInAnErrorBox) {
    user.pdfFile = path("missing-folder/out.pdf");
    user.printAnswers = {true};
    commands.PrintFormulaOnly1Click();
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.onlyBoxText(), kPrintStartFailed);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Error);
}

TEST(PrintoutFileName, PutsThePrintoutsKindBeforeTheExtension) {
    EXPECT_EQ(PrintoutFileName("/tmp/out.pdf", Document::Formula), "/tmp/out-FORMULA.pdf");
    EXPECT_EQ(PrintoutFileName("/tmp/a.b.pdf", Document::Constants), "/tmp/a.b-CONSTANTS.pdf");
    EXPECT_EQ(PrintoutFileName("/tmp/dir.x/out", Document::Variables), "/tmp/dir.x/out-VARIABLES");
}

}  // namespace
}  // namespace quantaro::testing
