#include "documents/WorksheetFiles.h"

#include <optional>
#include <utility>

#include "documents/FormulaFile.h"
#include "documents/TableFile.h"

namespace quantaro {
namespace {

constexpr Document kDocuments[] = {Document::Formula, Document::Constants, Document::Variables};

LoadOutcome LoadOutcomeOf(LoadStatus status, const QString& errorText, const char* missingWarning) {
    switch (status) {
        case LoadStatus::Loaded:
            return {};
        case LoadStatus::Missing:
            return {status, missingWarning, std::nullopt};
        case LoadStatus::Failed:
        case LoadStatus::BadName:
            break;
    }
    return {status, errorText.toStdString(), std::nullopt};
}

DocumentLoad LoadFormula(const QString& path, Worksheet& sheet) {
    FormulaLoad load = LoadFormulaFile(path);
    if (load.status == LoadStatus::Loaded) {
        sheet.setFormula(std::move(load.text));
        sheet.angle = load.unit;
    }
    return {LoadOutcomeOf(load.status, load.errorText, kMissingFormulaFileWarning), load.encoding};
}

DocumentLoad LoadTable(const QString& path, NameTable& table, const char* missingWarning) {
    const TableLoad load = LoadTableFile(path, table);
    return {LoadOutcomeOf(load.status, load.errorText, missingWarning), load.encoding,
            load.usedRows};
}

SaveOutcome SaveOutcomeOf(const std::optional<QString>& failure) {
    if (!failure) return {};
    return {SaveStatus::Failed, failure->toStdString(), std::nullopt};
}

}  // namespace

WorksheetPaths OneDocumentFile(Document document, const QString& path) {
    WorksheetPaths paths;
    paths[document] = path;
    return paths;
}

WorksheetLoad LoadWorksheet(const WorksheetPaths& paths) {
    WorksheetLoad load;
    Worksheet& sheet = load.sheet;
    if (const std::optional<QString>& formula = paths[Document::Formula]) {
        load.documents[Document::Formula] = LoadFormula(*formula, sheet);
    }
    if (const std::optional<QString>& constants = paths[Document::Constants]) {
        load.documents[Document::Constants] =
            LoadTable(*constants, sheet.constants, kMissingConstantFileWarning);
    }
    if (const std::optional<QString>& variables = paths[Document::Variables]) {
        load.documents[Document::Variables] =
            LoadTable(*variables, sheet.variables, kMissingVariableFileWarning);
    }
    return load;
}

PerDocument<SaveOutcome> SaveWorksheet(const Worksheet& sheet, const WorksheetPaths& paths,
                                       const WorksheetEncodings& encodings) {
    PerDocument<SaveOutcome> saved;
    bool failed = false;
    for (const Document document : kDocuments) {
        const std::optional<QString>& path = paths[document];
        if (failed || !path) {
            saved[document].status = SaveStatus::Skipped;
            continue;
        }
        saved[document] = SaveOutcomeOf(
            document == Document::Formula
                ? SaveFormulaFile(*path, sheet.angle, sheet.formula(), encodings[document])
                : SaveTableFile(*path,
                                document == Document::Constants ? sheet.constants : sheet.variables,
                                encodings[document]));
        failed = !saved[document].succeeded();
    }
    return saved;
}

}  // namespace quantaro
