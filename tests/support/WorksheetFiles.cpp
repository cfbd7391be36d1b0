#include "WorksheetFiles.h"

#include "documents/WorksheetFiles.h"

namespace quantaro::testing {

std::string LoadWorksheetFiles(Worksheet& sheet, const QString& base) {
    const WorksheetPaths paths{{base + ".FOR", base + ".CON", base + ".VAR"}};
    WorksheetLoad load = LoadWorksheet(paths);
    for (const Document document : {Document::Formula, Document::Constants, Document::Variables}) {
        const LoadOutcome& outcome = load.documents[document].outcome;
        if (outcome.succeeded()) continue;
        const std::string reason =
            outcome.status == LoadStatus::Missing ? std::string("missing") : outcome.message;
        return paths[document]->toStdString() + ": " + reason;
    }
    sheet = std::move(load.sheet);
    return {};
}

}  // namespace quantaro::testing
