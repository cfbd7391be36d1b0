#include "ui/FormulaHighlighter.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <string>

#include "interaction/HintSet.h"
#include "ui/FormulaEditor.h"

namespace quantaro {
namespace {

// The text in UTF-8 as a run reads it, and for each byte the position of
// the character it belongs to; one more entry marks the end of the text. A
// sequence of four bytes stands for a pair of UTF-16 characters.
struct Utf8Text {
    std::string bytes;
    std::vector<int> positions;
};

Utf8Text ToUtf8(const QString& text) {
    Utf8Text out{text.toStdString(), {}};
    out.positions.reserve(out.bytes.size() + 1);
    int character = 0;
    int next = 0;
    for (const char c : out.bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) {  // the first byte of a character
            character = next;
            next += byte >= 0xF0 ? 2 : 1;
        }
        out.positions.push_back(character);
    }
    out.positions.push_back(next);
    return out;
}

QTextCharFormat Coloured(QRgb colour, bool bold = false) {
    QTextCharFormat format;
    format.setForeground(QColor(colour));
    if (bold) format.setFontWeight(QFont::Bold);
    return format;
}

}  // namespace

FormulaHighlighter::FormulaHighlighter(QPlainTextEdit* memo, Worksheet& sheet)
    : QSyntaxHighlighter(memo), memo_(memo), sheet_(sheet) {
    formats_[TokenSpan::Number] = Coloured(0xa0522d);
    formats_[TokenSpan::Operator] = Coloured(0x8b008b);
    formats_[TokenSpan::Constant] = Coloured(0x006400);
    formats_[TokenSpan::Variable] = Coloured(0x1f3fa8);
    formats_[TokenSpan::Equals] = Coloured(0x000000, true);
    formats_[TokenSpan::Result] = Coloured(0x1f3fa8, true);
    formats_[TokenSpan::Result].setBackground(QColor(0xe4eaff));
    formats_[TokenSpan::Unknown].setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    formats_[TokenSpan::Unknown].setUnderlineColor(Qt::red);

    // Connected before the highlighter's own reaction to a change, so that
    // the text is cut afresh before any line of it is coloured.
    connect(memo->document(), &QTextDocument::contentsChange, this,
            &FormulaHighlighter::textChanged);
    setDocument(memo->document());
    memo->viewport()->installEventFilter(this);
}

void FormulaHighlighter::setActive(bool active) {
    active_ = active;
    stale_ = true;
    rehighlight();
}

void FormulaHighlighter::tablesChanged() {
    if (sheet_.constants.namesStamp() == constantNames_ &&
        sheet_.variables.namesStamp() == variableNames_) {
        return;
    }
    stale_ = true;
    if (active_) rehighlight();
}

void FormulaHighlighter::ensureAnalysed() {
    if (stale_) analyse();
}

void FormulaHighlighter::analyse() {
    stale_ = false;
    spans_.clear();
    constantNames_ = sheet_.constants.namesStamp();
    variableNames_ = sheet_.variables.namesStamp();
    // A text too long to colour is not even read.
    if (document()->characterCount() - 1 > kLongestHighlighted) return;
    const QString text = EditorText(document());
    const Utf8Text utf8 = ToUtf8(text);
    for (TokenSpan& token : ClassifyFormula(utf8.bytes, sheet_.tables())) {
        spans_.push_back({token.kind, utf8.positions[token.begin], utf8.positions[token.end],
                          QString::fromStdString(token.message)});
    }
}

// The highlighter itself colours the lines the change touched. A change on
// one line can also change how a word glued across a line break before it
// is cut; such lines are coloured again once the change is done.
void FormulaHighlighter::textChanged() {
    stale_ = true;
    if (refreshQueued_) return;
    refreshQueued_ = true;
    QMetaObject::invokeMethod(this, &FormulaHighlighter::refreshStaleBlocks, Qt::QueuedConnection);
}

std::pair<std::size_t, std::size_t> FormulaHighlighter::spansOverlapping(int from, int to) const {
    const auto first = std::partition_point(spans_.begin(), spans_.end(),
                                            [from](const Span& span) { return span.end <= from; });
    const auto last = std::partition_point(first, spans_.end(),
                                           [to](const Span& span) { return span.begin < to; });
    return {static_cast<std::size_t>(first - spans_.begin()),
            static_cast<std::size_t>(last - spans_.begin())};
}

// What a line's colouring depends on, so that a line whose colouring a
// change elsewhere altered can be found.
int FormulaHighlighter::signature(int blockPosition, int blockLength) const {
    const int to = blockPosition + blockLength;
    const auto [first, last] = spansOverlapping(blockPosition, to);
    std::size_t hash = 1469598103;
    for (std::size_t k = first; k < last; ++k) {
        const Span& span = spans_[k];
        for (int part :
             {static_cast<int>(span.kind), std::max(span.begin, blockPosition) - blockPosition,
              std::min(span.end, to) - blockPosition}) {
            hash = (hash ^ static_cast<std::size_t>(part)) * 1099511628211u;
        }
    }
    return static_cast<int>(hash & 0x7fffffff);
}

void FormulaHighlighter::highlightBlock(const QString& text) {
    if (!active_) {
        setCurrentBlockState(-1);
        return;
    }
    ensureAnalysed();
    const int from = currentBlock().position();
    const int to = from + static_cast<int>(text.size());
    const auto [first, last] = spansOverlapping(from, to);
    for (std::size_t k = first; k < last; ++k) {
        const Span& span = spans_[k];
        const int begin = std::max(span.begin, from);
        setFormat(begin - from, std::min(span.end, to) - begin, formats_[span.kind]);
    }
    setCurrentBlockState(signature(from, static_cast<int>(text.size())));
}

void FormulaHighlighter::refreshStaleBlocks() {
    refreshQueued_ = false;
    if (!active_) return;
    ensureAnalysed();
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block.userState() != signature(block.position(), block.length() - 1)) {
            rehighlightBlock(block);
        }
    }
}

QString FormulaHighlighter::messageAt(int position) {
    if (!active_) return {};
    ensureAnalysed();
    const auto [first, last] = spansOverlapping(position, position + 1);
    for (std::size_t k = first; k < last; ++k) {
        if (spans_[k].kind == TokenSpan::Unknown) return spans_[k].message;
    }
    return {};
}

bool FormulaHighlighter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || watched != memo_->viewport()) return false;
    return showMessage(static_cast<QHelpEvent*>(event));
}

bool FormulaHighlighter::showMessage(QHelpEvent* event) {
    const QTextCursor cursor = memo_->cursorForPosition(event->pos());
    int position = cursor.position();
    // The caret's place lies between two characters; the pointer is over
    // the one on its left when it is left of that place.
    if (event->pos().x() < memo_->cursorRect(cursor).left()) --position;
    const QString message = messageAt(position);
    if (message.isEmpty()) return false;
    QToolTip::showText(event->globalPos(), ToolTipText(message), memo_->viewport());
    return true;
}

}  // namespace quantaro
