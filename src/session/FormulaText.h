#pragma once

#include <QString>

class QTextDocument;

namespace quantaro {

// How the formula is held: the editor's document has one LF (or a line
// separator) between lines, the documents and the engine have CR LF.

// The document's whole text, each line break one LF, whether the document
// holds it as a paragraph or as a line separator.
QString EditorText(const QTextDocument* document);

// A paragraph separator or a line separator: a line break in the document.
bool IsLineBreak(QChar c);

// CR LF between lines, from one LF; and back.
QString WithCrLf(const QString& text);
QString WithoutCrLf(QString text);

// A text at least this long is held in grouped lines (see GroupedLines).
inline constexpr qsizetype kGroupLinesFrom = 100000;

// The document keeps a paragraph of layout for each line, at a cost of some
// hundred bytes and several microseconds each: a formula of a million short
// lines would take seconds and hundreds of megabytes. A long text's lines are
// therefore joined into paragraphs of a few dozen lines by line separators,
// which the editor shows, and lets the user edit, as line breaks all the
// same. A shorter text keeps a paragraph to a line.
QString GroupedLines(QString text);

// Replaces the document's whole text, lines separated by LF, as grouped lines.
void SetDocumentText(QTextDocument* document, QString text);

}  // namespace quantaro
