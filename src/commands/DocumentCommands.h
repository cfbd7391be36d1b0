#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <optional>

#include "commands/RecentWorksheets.h"
#include "documents/DocumentState.h"
#include "documents/FileIo.h"
#include "documents/WorksheetFiles.h"
#include "interaction/UserInteraction.h"

class QWidget;

namespace quantaro {

class Session;
class UserInteraction;

// The commands of the File menu and its pop-up menus, the Save Changes
// prompt, the close check, and the readers and writers as the main window
// uses them, on the documents of a session. A failed read or write is
// reported in an error box and ends the command at that step. A No answer
// at a Save Changes prompt clears a document's changed flag only when the
// document is replaced: a command stopped later (a Cancel at the next
// prompt, a cancelled file dialog) leaves every flag as it was.
class DocumentCommands : public QObject {
    Q_OBJECT

  public:
    // owner is the window that owns the boxes and dialogs.
    DocumentCommands(Session& session, UserInteraction& interaction, QWidget* owner);

    // Readers. Each records name as its document's file name before it looks
    // for the file, so a missing file leaves that name in place, with a
    // warning and without a new caption.
    void OpenFormulaFile(const QString& name);
    void OpenConstantFile(const QString& name);
    void OpenVariableFile(const QString& name);

    // Writers. A document's changed flag is cleared only once its file is
    // completely written; false when the write failed.
    bool SaveFormulaFile(const QString& name);
    bool SaveConstantFile(const QString& name);
    bool SaveVariableFile(const QString& name);

    // PopupMenuNew.
    void NewAll1Click();
    void NewFormula1Click();
    void NewConstantTable1Click();
    void NewVariableTable1Click();

    // PopupMenuOpen.
    void OpenAll1Click();
    // Open All of the worksheet of formulaPath, without the dialog: asks
    // about changed documents first, and a Cancel opens nothing.
    void OpenAll(const QString& formulaPath);
    // Open Recent: opens the listed worksheet as Open All does, or, when its
    // formula file is gone, says so and takes it off the list.
    void OpenRecent(const QString& formulaPath);
    void OpenFormulaFileOnly1Click();
    void OpenConstantFileOnly1Click();
    void OpenVariableFileOnly1Click();

    // "&Save": pops up the Save As menu while the formula is untitled,
    // otherwise writes all three documents under their current names.
    void Save1Click();

    // PopupMenuSave.
    void SaveAll1Click();
    void SaveFormulaFileAs1Click();
    void SaveConstantFileAs1Click();
    void SaveVariableFileAs1Click();

    // Export as CSV: asks for a file and writes the recorded trajectory, or
    // the named rows of both tables. Without a recorded trajectory, says so
    // and asks for nothing.
    void ExportTrajectory1Click();
    void ExportTables1Click();

    // Whether the main window may close: asks about each changed document,
    // formula first; a Cancel, or a Yes whose write fails, refuses.
    bool FormCloseQuery();

    // Every formula file read or written joins the front of this list.
    RecentWorksheets& recentWorksheets() { return recent_; }

  signals:
    // A formula file was read: Clear Formula and the edit commands apply.
    void formulaOpened();
    // A table file was read, or Open All has opened what it could: the edit
    // commands apply.
    void documentOpened();
    // Save found the formula untitled: the Save As menu asks what to save.
    void saveMenuRequested();

  private:
    // What a Save Changes prompt settled for a document: keep it as it is
    // (unchanged, or saved), let its changes go once it is replaced, or stop
    // the command.
    enum class SaveChoice { Keep, Discard, Stop };
    // For each document, formula first: whether its changes are let go.
    using Discards = std::array<bool, 3>;

    // The readers; with discard, the document's changed flag is cleared
    // once it is replaced, which a table is only by a file that could be
    // read.
    void open(Document document, const QString& name, bool discard);
    // The document named name takes what load read of it.
    void take(Document document, const QString& name, const WorksheetLoad& load, bool discard);
    void openFormula(const QString& name, const WorksheetLoad& load, bool discard);
    void openTable(Document table, const QString& name, const WorksheetLoad& load, bool discard);
    // True when the file was read; otherwise shows the missing-file warning
    // or the system's error.
    bool loadSucceeded(const LoadOutcome& outcome);
    bool save(Document document, const QString& name);
    // Writes the documents of paths, formula first; the first failure is
    // shown and ends the writing. True when every one was written.
    bool save(const WorksheetPaths& paths);
    // The documents' current file names.
    WorksheetPaths documentFiles() const;
    void newDocument(Document document);
    void openOnly(Document document);
    // Names the documents after the formula file and loads all three.
    void openAll(const QString& formulaPath, const Discards& discards);
    // The Save Changes prompt for each changed document, formula first;
    // nothing at the first that stops the command.
    std::optional<Discards> askToSaveAll();
    // A file dialog for one type of document, which offers the folders of
    // the recent worksheets.
    FileDialogOptions dialogOptions(Document document, const char* title,
                                    const QString& initialName) const;
    void saveAs(Document document);
    // The Save Changes prompt for a changed document. Stop when the user
    // cancelled, or the file could not be written.
    SaveChoice askToSave(Document document);
    // Asks for a CSV file, suggesting the formula's name with nameEnd, and
    // writes it with save; a failure is shown in an error box.
    template <typename Save>
    void exportCsv(const char* title, const char* nameEnd, Save save);

    Session& session_;
    DocumentState& documents_;
    UserInteraction& interaction_;
    QWidget* owner_;
    RecentWorksheets recent_;
};

// The Save Changes prompt's text for a document of that file name.
QString SaveChangesText(const QString& fileName);

}  // namespace quantaro
