#include "commands/DocumentCommands.h"

#include <cstddef>
#include <optional>

#include "documents/CsvFile.h"
#include "documents/FileName.h"
#include "documents/WorksheetFiles.h"
#include "interaction/UserInteraction.h"
#include "session/Session.h"

namespace quantaro {
namespace {

constexpr int kFileHelpContext = 10;
constexpr Document kAllDocuments[] = {Document::Formula, Document::Constants, Document::Variables};

// What the commands need to know of each kind of document file. The filters
// name both cases of the extension, as the files may come from a system that
// ignores case.
struct FileType {
    const char* filter;
    const char* extension;
    const char* untitledName;
};

const FileType& TypeOf(Document document) {
    static const FileType types[] = {
        {"Formula File (*.FOR *.for)", "FOR", kUntitledFormula},
        {"Constant File (*.CON *.con)", "CON", kUntitledConstants},
        {"Variable File (*.VAR *.var)", "VAR", kUntitledVariables},
    };
    return types[static_cast<int>(document)];
}

// The formula's file name, without its extension, followed by end.
QString ExportName(const QString& formulaName, const char* end) {
    QString name = formulaName;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0 && dot > name.lastIndexOf(QLatin1Char('/'))) name.truncate(dot);
    return name + QLatin1String(end);
}

}  // namespace

FileDialogOptions DocumentCommands::dialogOptions(Document document, const char* title,
                                                  const QString& initialName) const {
    const FileType& type = TypeOf(document);
    return {QString::fromLatin1(title),
            QString::fromLatin1(type.filter),
            QString::fromLatin1(type.extension),
            initialName,
            kFileHelpContext,
            recent_.folders()};
}

DocumentCommands::DocumentCommands(Session& session, UserInteraction& interaction, QWidget* owner)
    : session_(session),
      documents_(session.documents()),
      interaction_(interaction),
      owner_(owner) {}

void DocumentCommands::OpenFormulaFile(const QString& name) {
    open(Document::Formula, name, false);
}

void DocumentCommands::openFormula(const QString& name, const WorksheetLoad& load, bool discard) {
    session_.setFormulaText({});
    // Replaced now, whether or not the file can be read; what the reader
    // selects (the angle unit) may change it again.
    if (discard) documents_.setChanged(Document::Formula, false);
    documents_.setFileName(Document::Formula, name);
    const DocumentLoad& formula = load.documents[Document::Formula];
    if (!loadSucceeded(formula.outcome)) return;
    documents_.setEncoding(Document::Formula, formula.encoding);
    session_.selectAngleUnit(load.sheet.angle);
    session_.setFormulaText(QString::fromStdString(load.sheet.formula()));
    recent_.add(name);
    documents_.rebuildCaption();
    emit formulaOpened();
}

void DocumentCommands::OpenConstantFile(const QString& name) {
    open(Document::Constants, name, false);
}

void DocumentCommands::OpenVariableFile(const QString& name) {
    open(Document::Variables, name, false);
}

void DocumentCommands::openTable(Document table, const QString& name, const WorksheetLoad& load,
                                 bool discard) {
    documents_.setUsedRows(table, 0);
    documents_.setFileName(table, name);
    // A load that does not succeed leaves the rows as they were.
    const DocumentLoad& read = load.documents[table];
    if (!loadSucceeded(read.outcome)) return;
    session_.openTable(table,
                       table == Document::Constants ? load.sheet.constants : load.sheet.variables);
    if (discard) documents_.setChanged(table, false);
    documents_.setUsedRows(table, read.usedRows);
    documents_.setEncoding(table, read.encoding);
    documents_.rebuildCaption();
    emit documentOpened();
}

void DocumentCommands::open(Document document, const QString& name, bool discard) {
    take(document, name, LoadWorksheet(OneDocumentFile(document, name)), discard);
}

void DocumentCommands::take(Document document, const QString& name, const WorksheetLoad& load,
                            bool discard) {
    if (document == Document::Formula) {
        openFormula(name, load, discard);
    } else {
        openTable(document, name, load, discard);
    }
}

bool DocumentCommands::loadSucceeded(const LoadOutcome& outcome) {
    const QString message = QString::fromStdString(outcome.message);
    switch (outcome.status) {
        case LoadStatus::Loaded:
            return true;
        case LoadStatus::Missing:
            interaction_.showWarning(owner_, message);
            break;
        case LoadStatus::Failed:
        case LoadStatus::BadName:
            interaction_.showError(owner_, message);
            break;
    }
    return false;
}

bool DocumentCommands::SaveFormulaFile(const QString& name) {
    return save(Document::Formula, name);
}

bool DocumentCommands::SaveConstantFile(const QString& name) {
    return save(Document::Constants, name);
}

bool DocumentCommands::SaveVariableFile(const QString& name) {
    return save(Document::Variables, name);
}

bool DocumentCommands::save(Document document, const QString& name) {
    return save(OneDocumentFile(document, name));
}

bool DocumentCommands::save(const WorksheetPaths& paths) {
    WorksheetEncodings encodings;
    for (Document document : kAllDocuments) encodings[document] = documents_.encoding(document);
    const PerDocument<SaveOutcome> saved =
        SaveWorksheet(session_.worksheetCopy(), paths, encodings);
    for (Document document : kAllDocuments) {
        const SaveOutcome& outcome = saved[document];
        if (outcome.status == SaveStatus::Skipped) continue;
        if (!outcome.succeeded()) {
            interaction_.showError(owner_, QString::fromStdString(outcome.message));
            return false;
        }
        documents_.setChanged(document, false);
        if (document == Document::Formula) recent_.add(*paths[document]);
    }
    return true;
}

WorksheetPaths DocumentCommands::documentFiles() const {
    WorksheetPaths paths;
    for (Document document : kAllDocuments) paths[document] = documents_.fileName(document);
    return paths;
}

DocumentCommands::SaveChoice DocumentCommands::askToSave(Document document) {
    if (!documents_.isChanged(document)) return SaveChoice::Keep;
    const QString& name = documents_.fileName(document);
    switch (interaction_.showBox(owner_, BoxKind::Confirmation, SaveChangesText(name),
                                 BoxButtons::YesNoCancel)) {
        case BoxAnswer::Yes:
            return save(document, name) ? SaveChoice::Keep : SaveChoice::Stop;
        case BoxAnswer::No:
            return SaveChoice::Discard;
        case BoxAnswer::Ok:
        case BoxAnswer::Cancel:
            break;
    }
    return SaveChoice::Stop;
}

void DocumentCommands::newDocument(Document document) {
    const SaveChoice choice = askToSave(document);
    if (choice == SaveChoice::Stop) return;
    if (choice == SaveChoice::Discard) documents_.setChanged(document, false);
    documents_.setFileName(document, QString::fromLatin1(TypeOf(document).untitledName));
    documents_.setEncoding(document, FileEncoding::Utf8);
    documents_.rebuildCaption();
    if (document == Document::Formula) {
        // The angle unit, the undo history and the edit commands stay as they are.
        session_.setFormulaText({});
        return;
    }
    session_.emptyTable(document);
}

void DocumentCommands::NewAll1Click() {
    for (Document document : kAllDocuments) newDocument(document);
}

void DocumentCommands::NewFormula1Click() {
    newDocument(Document::Formula);
}

void DocumentCommands::NewConstantTable1Click() {
    newDocument(Document::Constants);
}

void DocumentCommands::NewVariableTable1Click() {
    newDocument(Document::Variables);
}

std::optional<DocumentCommands::Discards> DocumentCommands::askToSaveAll() {
    Discards discards{};
    for (Document document : kAllDocuments) {
        const SaveChoice choice = askToSave(document);
        if (choice == SaveChoice::Stop) return std::nullopt;
        discards[static_cast<std::size_t>(document)] = choice == SaveChoice::Discard;
    }
    return discards;
}

// A No answer lets a document's changes go only once another file replaces
// it: cancelled in the dialog, Open All leaves every flag as it was.
void DocumentCommands::OpenAll1Click() {
    const std::optional<Discards> discards = askToSaveAll();
    if (!discards) return;
    const QString path =
        interaction_.chooseFileToOpen(owner_, dialogOptions(Document::Formula, "Open File", {}));
    if (!path.isEmpty()) openAll(path, *discards);
}

void DocumentCommands::OpenAll(const QString& formulaPath) {
    if (const std::optional<Discards> discards = askToSaveAll()) openAll(formulaPath, *discards);
}

void DocumentCommands::OpenRecent(const QString& formulaPath) {
    if (FileExists(formulaPath)) {
        OpenAll(formulaPath);
        return;
    }
    recent_.remove(formulaPath);
    interaction_.showWarning(
        owner_, QStringLiteral("The worksheet %1 no longer exists. It has been removed from "
                               "Open Recent.")
                    .arg(formulaPath));
}

void DocumentCommands::openAll(const QString& path, const Discards& discards) {
    documents_.nameAllAfter(path);
    // Each document reports its own missing or unreadable file; the others
    // still load.
    const WorksheetLoad load = LoadWorksheet(documentFiles());
    for (Document document : kAllDocuments) {
        take(document, documents_.fileName(document), load,
             discards[static_cast<std::size_t>(document)]);
    }
    documents_.rebuildCaption();
    emit documentOpened();
}

void DocumentCommands::openOnly(Document document) {
    const QString path =
        interaction_.chooseFileToOpen(owner_, dialogOptions(document, "Open File", {}));
    if (path.isEmpty()) return;
    documents_.setFileName(document, path);
    // The dialog may return a file the user chose to create; it is only named.
    if (FileExists(path)) open(document, path, false);
}

void DocumentCommands::OpenFormulaFileOnly1Click() {
    openOnly(Document::Formula);
}

void DocumentCommands::OpenConstantFileOnly1Click() {
    openOnly(Document::Constants);
}

void DocumentCommands::OpenVariableFileOnly1Click() {
    openOnly(Document::Variables);
}

void DocumentCommands::Save1Click() {
    // Case-sensitive on purpose: a formula saved as "untitled.for" has a name.
    if (documents_.fileName(Document::Formula) == QLatin1String(kUntitledFormula)) {
        emit saveMenuRequested();
        return;
    }
    save(documentFiles());
}

void DocumentCommands::SaveAll1Click() {
    const QString path = interaction_.chooseFileToSave(
        owner_,
        dialogOptions(Document::Formula, "Save File", documents_.fileName(Document::Formula)));
    if (path.isEmpty()) return;
    documents_.nameAllAfter(path);
    // A failed write ends the writing; the documents not written keep their
    // flags, so that closing still asks about them. The caption follows the
    // names either way.
    save(documentFiles());
    documents_.rebuildCaption();
}

void DocumentCommands::saveAs(Document document) {
    const QString path = interaction_.chooseFileToSave(
        owner_, dialogOptions(document, "Save File", documents_.fileName(document)));
    if (path.isEmpty()) return;
    documents_.setFileName(document, path);
    save(document, path);
    documents_.rebuildCaption();
}

void DocumentCommands::SaveFormulaFileAs1Click() {
    saveAs(Document::Formula);
}

void DocumentCommands::SaveConstantFileAs1Click() {
    saveAs(Document::Constants);
}

void DocumentCommands::SaveVariableFileAs1Click() {
    saveAs(Document::Variables);
}

template <typename Save>
void DocumentCommands::exportCsv(const char* title, const char* nameEnd, Save save) {
    const QString initialName = ExportName(documents_.fileName(Document::Formula), nameEnd);
    const QString path = interaction_.chooseFileToSave(
        owner_, {QString::fromLatin1(title), QStringLiteral("CSV File (*.csv *.CSV)"),
                 QStringLiteral("csv"), initialName, kFileHelpContext});
    if (path.isEmpty()) return;
    if (const std::optional<QString> failure = save(path)) interaction_.showError(owner_, *failure);
}

void DocumentCommands::ExportTrajectory1Click() {
    const Trajectory& trajectory = session_.trajectory();
    if (trajectory.rowCount() == 0) {
        interaction_.showInformation(owner_,
                                     QStringLiteral("No trajectory has been recorded. "
                                                    "Record one in the continuous loop window."));
        return;
    }
    exportCsv("Export Trajectory", "-trajectory.csv",
              [&trajectory](const QString& path) { return SaveTrajectoryCsv(path, trajectory); });
}

void DocumentCommands::ExportTables1Click() {
    exportCsv("Export Tables", "-tables.csv", [this](const QString& path) {
        return SaveTablesCsv(path, session_.constants(), session_.variables());
    });
}

// A No answer changes nothing here: the documents go with the window, and
// a Cancel at a later prompt keeps every one, and its flag, as it was.
bool DocumentCommands::FormCloseQuery() {
    return askToSaveAll().has_value();
}

QString SaveChangesText(const QString& fileName) {
    return QStringLiteral("Save Changes to ") + ShownFileName(FileNamePart(fileName)) +
           QStringLiteral(" ?");
}

}  // namespace quantaro
