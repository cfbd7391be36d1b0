#include "session/WorksheetUnits.h"

#include <QFileInfo>

#include "session/Session.h"

namespace quantaro {

UnitLibrary* WorksheetUnits(const Session& session) {
    const QString& formula = session.documents().fileName(Document::Formula);
    const QFileInfo file(formula);
    if (formula == QLatin1String(kUntitledFormula) || !file.exists()) return UnitLibrary::Shared();
    return UnitLibrary::ForDirectory(file.absolutePath().toStdString());
}

UnitReport CheckWorksheetUnits(const Session& session) {
    UnitLibrary* library = WorksheetUnits(session);
    if (!library) return {};
    return CheckUnits(session.worksheetCopy(), *library);
}

std::vector<int> EditorPositions(std::string_view utf8) {
    std::vector<int> positions;
    positions.reserve(utf8.size() + 1);
    int character = 0;
    int next = 0;
    for (std::size_t k = 0; k < utf8.size(); ++k) {
        // The editor holds a line break as one character, the formula as CR LF.
        if (utf8[k] == '\r' && k + 1 < utf8.size() && utf8[k + 1] == '\n') {
            positions.push_back(next);
            continue;
        }
        const auto byte = static_cast<unsigned char>(utf8[k]);
        if ((byte & 0xC0) != 0x80) {  // the first byte of a character
            character = next;
            next += byte >= 0xF0 ? 2 : 1;
        }
        positions.push_back(character);
    }
    positions.push_back(next);
    return positions;
}

}  // namespace quantaro
