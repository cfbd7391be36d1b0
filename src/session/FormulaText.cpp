#include "session/FormulaText.h"

#include <QTextDocument>

#include <malloc.h>

#include <utility>

namespace quantaro {
namespace {

constexpr int kLinesPerParagraph = 64;
constexpr qsizetype kParagraphCharacters = 4096;

}  // namespace

bool IsLineBreak(QChar c) {
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

QString EditorText(const QTextDocument* document) {
    QString text = document->toRawText();
    for (QChar& c : text) {
        if (IsLineBreak(c)) c = QLatin1Char('\n');
    }
    return text;
}

// The line breaks are converted in one pass each way: QString::replace
// moves the rest of the text again for every thousand line breaks, which
// for a long formula of short lines takes seconds.
QString WithCrLf(const QString& text) {
    QString crLf;
    crLf.reserve(text.size() + text.count(QLatin1Char('\n')));
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0;
         at = text.indexOf(QLatin1Char('\n'), from)) {
        crLf.append(QStringView(text).mid(from, at - from)).append(u"\r\n");
        from = at + 1;
    }
    return crLf.append(QStringView(text).mid(from));
}

QString WithoutCrLf(QString text) {
    qsizetype kept = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text[at] == QLatin1Char('\r') && at + 1 < text.size() &&
            text[at + 1] == QLatin1Char('\n')) {
            continue;
        }
        text[kept++] = text[at];
    }
    text.truncate(kept);
    return text;
}

QString GroupedLines(QString text) {
    if (text.size() < kGroupLinesFrom) return text;
    int lines = 1;
    qsizetype paragraphStart = 0;
    for (qsizetype at = text.indexOf(QLatin1Char('\n')); at >= 0;
         at = text.indexOf(QLatin1Char('\n'), at + 1)) {
        if (lines < kLinesPerParagraph && at - paragraphStart < kParagraphCharacters) {
            text[at] = QChar::LineSeparator;
            ++lines;
        } else {
            lines = 1;
            paragraphStart = at + 1;
        }
    }
    return text;
}

void SetDocumentText(QTextDocument* document, QString text) {
    const bool longText = text.size() >= kGroupLinesFrom;
    document->setPlainText(GroupedLines(std::move(text)));
    // The paragraphs of the text replaced were many small pieces of memory,
    // which the allocator would keep for itself rather than give back.
    if (longText) malloc_trim(0);
}

}  // namespace quantaro
