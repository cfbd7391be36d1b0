#include "commands/DocumentCommands.h"

#include <cstddef>
#include <optional>

#include "documents/CsvFile.h"
#include "documents/FileName.h"
#include "documents/FormulaFile.h"
#include "documents/TableFile.h"
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
    const char* missingWarning;
};

const FileType& TypeOf(Document document) {
    static const FileType types[] = {
        {"Formula File (*.FOR *.for)", "FOR", kUntitledFormula, kMissingFormulaFileWarning},
        {"Constant File (*.CON *.con)", "CON", kUntitledConstants, kMissingConstantFileWarning},
        {"Variable File (*.VAR *.var)", "VAR", kUntitledVariables, kMissingVariableFileWarning},
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
    openFormula(name, false);
}

void DocumentCommands::openFormula(const QString& name, bool discard) {
    session_.setFormulaText({});
    // Replaced now, whether or not the file can be read; what the reader
    // selects (the angle unit) may change it again.
    if (discard) documents_.setChanged(Document::Formula, false);
    documents_.setFileName(Document::Formula, name);
    const FormulaLoad load = LoadFormulaFile(name);
    if (!loadSucceeded(Document::Formula, load.status, load.errorText)) return;
    documents_.setEncoding(Document::Formula, load.encoding);
    session_.selectAngleUnit(load.unit);
    session_.setFormulaText(QString::fromStdString(load.text));
    recent_.add(name);
    documents_.rebuildCaption();
    emit formulaOpened();
}

void DocumentCommands::OpenConstantFile(const QString& name) {
    openTable(Document::Constants, name, false);
}

void DocumentCommands::OpenVariableFile(const QString& name) {
    openTable(Document::Variables, name, false);
}

void DocumentCommands::openTable(Document table, const QString& name, bool discard) {
    documents_.setUsedRows(table, 0);
    documents_.setFileName(table, name);
    // A load that does not succeed leaves the rows as they were.
    const TableLoad load = session_.openTable(table, name);
    if (!loadSucceeded(table, load.status, load.errorText)) return;
    if (discard) documents_.setChanged(table, false);
    documents_.setUsedRows(table, load.usedRows);
    documents_.setEncoding(table, load.encoding);
    documents_.rebuildCaption();
    emit documentOpened();
}

void DocumentCommands::open(Document document, const QString& name, bool discard) {
    if (document == Document::Formula) {
        openFormula(name, discard);
    } else {
        openTable(document, name, discard);
    }
}

bool DocumentCommands::loadSucceeded(Document document, LoadStatus status,
                                     const QString& errorText) {
    switch (status) {
        case LoadStatus::Loaded:
            return true;
        case LoadStatus::Missing:
            interaction_.showWarning(owner_, QString::fromLatin1(TypeOf(document).missingWarning));
            break;
        case LoadStatus::Failed:
        case LoadStatus::BadName:
            interaction_.showError(owner_, errorText);
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
    const std::optional<QString> failure =
        document == Document::Formula
            ? quantaro::SaveFormulaFile(name, session_.angleUnit(),
                                        session_.formulaText().toStdString(),
                                        documents_.encoding(document))
            : SaveTableFile(name, session_.table(document), documents_.encoding(document));
    if (failure) {
        interaction_.showError(owner_, *failure);
        return false;
    }
    documents_.setChanged(document, false);
    if (document == Document::Formula) recent_.add(name);
    return true;
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
    // Each reader reports its own missing or unreadable file; the others
    // still load.
    for (Document document : kAllDocuments) {
        open(document, documents_.fileName(document), discards[static_cast<std::size_t>(document)]);
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
    for (Document document : kAllDocuments) {
        if (!save(document, documents_.fileName(document))) return;
    }
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
    for (Document document : kAllDocuments) {
        if (!save(document, documents_.fileName(document))) break;
    }
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
