#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <string>

#include "RawFiles.h"
#include "TableRows.h"
#include "documents/FormulaFile.h"
#include "documents/SettingsFile.h"
#include "documents/TableFile.h"
#include "documents/WorksheetFiles.h"

namespace quantaro {
namespace {

using testing::ReadRaw;
using testing::WriteRaw;

class DocumentFilesTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
};

TEST_F(DocumentFilesTest, FormulaSavesTwelveBytesAndLoadsWithLineBreak) {
    ASSERT_EQ(SaveFormulaFile(path("calc.FOR"), AngleUnit::Degrees, "Y * 2 = X"), std::nullopt);
    EXPECT_EQ(ReadRaw(path("calc.FOR")), "0Y * 2 = X\r\n");

    const FormulaLoad load = LoadFormulaFile(path("calc.FOR"));
    EXPECT_EQ(load.status, LoadStatus::Loaded);
    EXPECT_EQ(load.unit, AngleUnit::Degrees);
    EXPECT_EQ(load.text, "Y * 2 = X\r\n");
    EXPECT_TRUE(load.errorText.isEmpty());
}

TEST_F(DocumentFilesTest, FormulaLoadReportsMissingAndFailedFiles) {
    const FormulaLoad missing = LoadFormulaFile(path("none.FOR"));
    EXPECT_EQ(missing.status, LoadStatus::Missing);
    EXPECT_TRUE(missing.text.empty());

    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.FOR"));
    const FormulaLoad failed = LoadFormulaFile(path("folder.FOR"));
    EXPECT_EQ(failed.status, LoadStatus::Failed);
    EXPECT_FALSE(failed.errorText.isEmpty());
    EXPECT_TRUE(failed.text.empty());
}

TEST_F(DocumentFilesTest, FormulaTextIsReadAsUtf8OrLatin1) {
    WriteRaw(path("utf8.FOR"), "1caf\xC3\xA9 = X\r\n");
    EXPECT_EQ(LoadFormulaFile(path("utf8.FOR")).text, "caf\xC3\xA9 = X\r\n");

    WriteRaw(path("latin1.FOR"), "1caf\xE9 = X\r\n");
    const FormulaLoad latin1 = LoadFormulaFile(path("latin1.FOR"));
    EXPECT_EQ(latin1.unit, AngleUnit::Radians);
    EXPECT_EQ(latin1.text, "caf\xC3\xA9 = X\r\n");

    // Bytes after the end-of-file mark are not read, so they cannot change the encoding.
    WriteRaw(path("marked.FOR"), "0caf\xC3\xA9\x1A\xFF\xFE");
    EXPECT_EQ(LoadFormulaFile(path("marked.FOR")).text, "caf\xC3\xA9");

    // The angle byte is one byte of the file whatever it is; only the text
    // after it is decoded.
    WriteRaw(path("accent.FOR"),
             "\xE9"
             "A = B\r\n");
    const FormulaLoad accent = LoadFormulaFile(path("accent.FOR"));
    EXPECT_EQ(accent.unit, AngleUnit::Radians);
    EXPECT_EQ(accent.text, "A = B\r\n");
    WriteRaw(path("twobyte.FOR"),
             "\xC3\xA9"
             "A = B");
    // The byte left after the angle byte is no UTF-8 on its own: Latin-1.
    EXPECT_EQ(LoadFormulaFile(path("twobyte.FOR")).text,
              "\xC2\xA9"
              "A = B");
}

TEST_F(DocumentFilesTest, TableSavesAndLoadsThroughTheFile) {
    NameTable constants = MakeConstantTable();
    testing::SetRow(constants, 1, {"g", "9.81", "m/s^2"});
    ASSERT_EQ(SaveTableFile(path("phys.CON"), constants), std::nullopt);
    const std::string bytes = ReadRaw(path("phys.CON"));
    EXPECT_EQ(bytes.size(), 410u);
    EXPECT_EQ(bytes.substr(0, 18), "g 9.81 m/s^2\r\n  \r\n");

    NameTable loaded = MakeConstantTable();
    loaded.setCell(NameColumn, 100, "stale");
    const TableLoad load = LoadTableFile(path("phys.CON"), loaded);
    EXPECT_EQ(load.status, LoadStatus::Loaded);
    EXPECT_EQ(load.usedRows, 1);
    EXPECT_EQ(loaded, constants);
}

TEST_F(DocumentFilesTest, TableLoadFromLatin1FileGivesUtf8Cells) {
    WriteRaw(path("old.VAR"),
             "T 20 \xB0"
             "C\r\n\xB5 1 m\r\n");
    NameTable variables = MakeVariableTable();
    const TableLoad load = LoadTableFile(path("old.VAR"), variables);
    EXPECT_EQ(load.usedRows, 2);
    EXPECT_EQ(variables.cell(UnitsColumn, 1),
              "\xC2\xB0"
              "C");
    EXPECT_EQ(variables.cell(NameColumn, 2), "\xC2\xB5");
}

TEST_F(DocumentFilesTest, TableLoadLeavesTableAloneWhenFileCannotBeRead) {
    NameTable variables = MakeVariableTable();
    testing::SetRow(variables, 3, {"kept", "4"});
    const NameTable before = variables;

    const TableLoad missing = LoadTableFile(path("none.VAR"), variables);
    EXPECT_EQ(missing.status, LoadStatus::Missing);
    EXPECT_EQ(missing.usedRows, 0);
    EXPECT_EQ(variables, before);

    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.VAR"));
    const TableLoad failed = LoadTableFile(path("folder.VAR"), variables);
    EXPECT_EQ(failed.status, LoadStatus::Failed);
    EXPECT_FALSE(failed.errorText.isEmpty());
    EXPECT_EQ(variables, before);
}

// Each document of a worksheet reports for itself; a write that fails ends
// the writing, and the documents after it are not written.
TEST_F(DocumentFilesTest, WorksheetDocumentsLoadEachForItselfAndSaveUpToAFailure) {
    WriteRaw(path("w.VAR"), "t \xB5 s\r\n");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("w.CON"));
    const WorksheetLoad load = LoadWorksheet({{path("w.FOR"), path("w.CON"), path("w.VAR")}});
    const LoadOutcome& formula = load.documents[Document::Formula].outcome;
    EXPECT_EQ(std::pair(formula.status, formula.message),
              std::pair(LoadStatus::Missing, std::string("The formula file does not exist ")));
    EXPECT_EQ(load.documents[Document::Constants].outcome.status, LoadStatus::Failed);
    EXPECT_TRUE(load.documents[Document::Variables].outcome.succeeded());
    EXPECT_EQ(load.documents[Document::Variables].encoding, FileEncoding::Latin1);
    EXPECT_EQ(load.documents[Document::Variables].usedRows, 1);
    EXPECT_EQ(load.sheet.variables.value(1), "\xC2\xB5");

    const PerDocument<SaveOutcome> saved =
        SaveWorksheet(load.sheet, {{path("w.FOR"), path("w.CON"), path("w.VAR")}}, {});
    EXPECT_TRUE(saved[Document::Formula].succeeded());
    EXPECT_EQ(saved[Document::Constants].status, SaveStatus::Failed);
    EXPECT_EQ(saved[Document::Variables].status, SaveStatus::Skipped);
    EXPECT_EQ(ReadRaw(path("w.VAR")), "t \xB5 s\r\n");  // a write would give 100 lines
}

TEST_F(DocumentFilesTest, SettingsFileLivesInTheStartDirectory) {
    EXPECT_EQ(SettingsFilePath(dir_.path()),
              QDir::toNativeSeparators(dir_.path() + "/Quantaro.cfg"));
    EXPECT_EQ(SettingsFilePath(dir_.path() + "/"),
              QDir::toNativeSeparators(dir_.path() + "/Quantaro.cfg"));
}

TEST_F(DocumentFilesTest, SettingsRoundTripThroughTheFile) {
    const QString settingsPath = SettingsFilePath(dir_.path());
    const SettingsLoad missing = LoadSettingsFile(settingsPath);
    EXPECT_EQ(missing.status, LoadStatus::Missing);
    EXPECT_EQ(missing.settings, Settings{});

    ASSERT_EQ(SaveSettingsFile(settingsPath, {true, false, true}), std::nullopt);
    EXPECT_EQ(ReadRaw(settingsPath), "101");
    const SettingsLoad loaded = LoadSettingsFile(settingsPath);
    EXPECT_EQ(loaded.status, LoadStatus::Loaded);
    EXPECT_EQ(loaded.settings, (Settings{true, false, true}));

    WriteRaw(settingsPath, "TRUE");
    EXPECT_EQ(LoadSettingsFile(settingsPath).settings, Settings{});
}

}  // namespace
}  // namespace quantaro
