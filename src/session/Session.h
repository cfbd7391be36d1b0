#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextDocument>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "documents/DocumentState.h"
#include "engine/AngleUnit.h"
#include "engine/Engine.h"
#include "engine/Worksheet.h"
#include "interaction/HelpFiles.h"

namespace quantaro {

class ContinuousLoop;
class FormulaRuns;
class HintTarget;
class Trajectory;

// The choices of the Options menu. The first three are kept in the settings
// file beside the documents, the last in the user's own settings.
struct SessionOptions {
    bool promptOnEveryLoop = false;
    bool showVariablesAfterExecuting = false;
    bool showHints = false;
    bool highlightEquations = true;
};

// The worksheet a user works on, for the whole run, behind every window: the
// tables, the formula text as the document the editor shows, the angle unit,
// the state of the three documents, the options, the completion prompt's
// answer, the hints, the runs and the continuous loop.
//
// Windows show it and change it through its methods, and learn of every
// change from its signals and those of its document state and its loop:
// none of them needs another window to reach the worksheet. A window that
// works out something of its own from the worksheet (a what-if study) takes
// worksheetCopy(), runs that, and follows formulaChanged, valuesChanged and
// angleUnitChanged to know when its result no longer holds.
//
// It shows no box: a run that calls for one says so by a signal, and the
// presenter at the main window shows it.
class Session : public QObject {
    Q_OBJECT

  public:
    // startDirectory is the working directory at start-up, the home of the
    // settings file, which is read here, and of the help file. Help falls
    // back to the user guide in guideDirectory when there is no help file.
    explicit Session(const QString& startDirectory, const QString& guideDirectory = QString(),
                     QObject* parent = nullptr);
    ~Session() override;

    const HelpFiles& helpFiles() const { return help_; }
    const QString& settingsPath() const { return settingsPath_; }
    // Why the settings file could not be read at start-up; nothing when it
    // was read or was not there.
    const std::optional<QString>& settingsProblem() const { return settingsProblem_; }

    // The tables.
    const NameTable& constants() const { return sheet_.constants; }
    const NameTable& variables() const { return sheet_.variables; }
    // The constant table (Document::Constants) or the variable table.
    const NameTable& table(Document table) const;
    // Writes one cell, as the inline editor and Goal Seek's Store do; the
    // table is marked changed.
    void setCell(Document table, int column, int row, const std::string& text);
    // The entry screen's OK: rows 1 to 100 of rows replace the table's, the
    // table is marked changed and usedRows becomes its used-row count.
    void acceptRows(Document table, const NameTable& rows, int usedRows);
    // New: every data row emptied, the used-row count 0.
    void emptyTable(Document table);
    // A table read from its file: rows 1 to 100 of rows replace the table's.
    void openTable(Document table, const NameTable& rows);
    // Tells the windows that cells of a table were written, as a run writes
    // its results.
    void tableWritten(Document table);

    // The worksheet as a run would take it now: the tables, the formula text
    // and the angle unit. Changing the copy changes nothing here.
    Worksheet worksheetCopy() const;

    // The documents' names and flags. Each change made through the session
    // marks the documents it makes differ from their files; the file
    // commands clear the flags as they save or discard.
    DocumentState& documents() { return documents_; }
    const DocumentState& documents() const { return documents_; }

    // The formula: the document that the editor shows and edits.
    QTextDocument* formulaDocument() { return &formula_; }
    // The whole text, lines separated by CR LF.
    QString formulaText() const;
    // Replaces the whole text, as the file commands do; the editor records
    // no step for it.
    void setFormulaText(const QString& text);
    // Changes whenever the text changes, however it was changed.
    std::uint64_t formulaRevision() const { return formulaRevision_; }
    // The user edits the formula in the editor: a key goes down in it, or a
    // command or a step of its history changes the text. The formula is
    // marked changed, also by a key that changes no character.
    void formulaEditing();

    // The angle unit the circular and hyperbolic operators read.
    AngleUnit angleUnit() const { return sheet_.angle; }
    // The user's choice of a unit: the formula is marked changed, as the
    // unit is stored in the formula file, even when the unit stays.
    void setAngleUnit(AngleUnit unit);
    // A unit selected as a click on its button would select it, as the
    // formula reader does: only a change of unit marks the formula changed.
    void selectAngleUnit(AngleUnit unit);

    const SessionOptions& options() const { return options_; }
    void setOption(bool SessionOptions::*option, bool on);
    // Writes the three options of the settings file; returns why that
    // failed, if it did.
    std::optional<QString> writeSettings() const;

    // 1: the completion prompt may be shown; 2: the user cancelled it.
    int promptAnswer() const { return promptAnswer_; }
    void setPromptAnswer(int answer) { promptAnswer_ = answer; }
    // Opening the Options menu after a cancelled prompt unticks "&Prompt on
    // every loop" and lets the prompt show again.
    void optionsMenuOpened();

    // Hints: the setting applied to every window, taken from the option when
    // showHintsNow runs. A window added here follows it from then on.
    bool hintsShown() const { return hintsShown_; }
    void showHintsNow();
    void addHintTarget(HintTarget* target);

    // Runs of the formula (the menu commands and the loop's passes) and the
    // continuous loop with its trajectory.
    FormulaRuns& runs() { return *runs_; }
    ContinuousLoop& loop() { return *loop_; }
    const Trajectory& trajectory() const;

  signals:
    // A table's cells changed; valuesChanged follows every change, names
    // included, namesChanged comes first when a name cell changed.
    void namesChanged(quantaro::Document table);
    void valuesChanged(quantaro::Document table);
    // A table's rows were replaced as a whole (opened, emptied or accepted on
    // its entry screen): what was worked out from the old rows is gone.
    void rowsReplaced(quantaro::Document table);
    // A table was read from its file or emptied by New: it is shown from its
    // first row.
    void tableOpened(quantaro::Document table);
    // The formula's text changed, however it was changed.
    void formulaChanged();
    // The whole text was replaced by setFormulaText: it is shown from its start.
    void formulaReplaced();
    void angleUnitChanged(quantaro::AngleUnit unit);
    // The unit was selected as by a click on its button: the button takes
    // the focus.
    void angleUnitSelected(quantaro::AngleUnit unit);
    void optionsChanged();

    // A run ended with an equation's error or found the formula empty; the
    // box telling of it is due now, before the run returns.
    void runFailed(const quantaro::RunOutcome& outcome);
    // A run succeeded while "&Prompt on every loop" is ticked: the
    // completion prompt is due now, unless the user cancelled it before.
    void completionPromptDue();
    // A menu command's run was ended by a floating-point fault.
    void runFaulted(const QString& text);

  private:
    NameTable& writableTable(Document table);
    void readSettings();
    void formulaEdited();

    QString settingsPath_;
    std::optional<QString> settingsProblem_;
    HelpFiles help_;

    Worksheet sheet_;
    DocumentState documents_;
    QTextDocument formula_;
    std::uint64_t formulaRevision_ = 0;
    // The names stamps of the two tables that the windows were last told of.
    std::array<std::uint64_t, 2> toldNames_{};

    SessionOptions options_;
    int promptAnswer_ = 1;
    bool hintsShown_ = false;
    // A window that is a QObject is forgotten when it is destroyed.
    struct HintWindow {
        HintTarget* target;
        QPointer<QObject> object;
        bool guarded;
        bool alive() const { return !guarded || object; }
    };
    std::vector<HintWindow> hintWindows_;

    std::unique_ptr<FormulaRuns> runs_;
    std::unique_ptr<ContinuousLoop> loop_;
};

}  // namespace quantaro
