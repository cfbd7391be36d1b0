#include "documents/DocumentState.h"

#include <algorithm>

#include "documents/FileName.h"

namespace quantaro {

DocumentState::DocumentState(QObject* parent) : QObject(parent) {
    fileNames_[slot(Document::Formula)] = QString::fromLatin1(kUntitledFormula);
    fileNames_[slot(Document::Constants)] = QString::fromLatin1(kUntitledConstants);
    fileNames_[slot(Document::Variables)] = QString::fromLatin1(kUntitledVariables);
}

const QString& DocumentState::fileName(Document document) const {
    return fileNames_[slot(document)];
}

void DocumentState::setFileName(Document document, const QString& name) {
    fileNames_[slot(document)] = name;
}

void DocumentState::nameAllAfter(const QString& formulaPath) {
    setFileName(Document::Formula, formulaPath);
    setFileName(Document::Constants, DerivedFileName(formulaPath, QStringLiteral("CON")));
    setFileName(Document::Variables, DerivedFileName(formulaPath, QStringLiteral("VAR")));
}

bool DocumentState::isChanged(Document document) const {
    return changed_[slot(document)];
}

void DocumentState::setChanged(Document document, bool changed) {
    bool& flag = changed_[slot(document)];
    if (flag == changed) return;
    flag = changed;
    emit changedFlagSet(document, changed);
}

bool DocumentState::anyChanged() const {
    return changed_[0] || changed_[1] || changed_[2];
}

int DocumentState::usedRows(Document table) const {
    return usedRows_[slot(table)];
}

void DocumentState::setUsedRows(Document table, int rows) {
    usedRows_[slot(table)] = rows;
}

FileEncoding DocumentState::encoding(Document document) const {
    return encodings_[slot(document)];
}

void DocumentState::setEncoding(Document document, FileEncoding encoding) {
    encodings_[slot(document)] = encoding;
}

QString DocumentState::caption() const {
    return QStringLiteral("QUANTARO - %1 -- %2 -- %3")
        .arg(ShownFileName(FileNamePart(fileName(Document::Formula))),
             ShownFileName(FileNamePart(fileName(Document::Constants))),
             ShownFileName(FileNamePart(fileName(Document::Variables))));
}

void DocumentState::rebuildCaption() {
    emit captionChanged(caption());
}

QString FileNamePart(const QString& fileName) {
    qsizetype cut = -1;
    for (QChar separator : {QChar('/'), QChar('\\'), QChar(':')}) {
        cut = std::max(cut, fileName.lastIndexOf(separator));
    }
    return fileName.mid(cut + 1);
}

QString DerivedFileName(const QString& path, const QString& extension) {
    // A character beyond the 16-bit range takes two places of the string,
    // which are cut off together.
    qsizetype kept = path.size();
    for (int cut = 0; cut < 3 && kept > 0; ++cut) {
        --kept;
        if (kept > 0 && path[kept].isLowSurrogate() && path[kept - 1].isHighSurrogate()) --kept;
    }
    return path.left(kept) + extension;
}

}  // namespace quantaro
