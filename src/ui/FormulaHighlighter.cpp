#include "ui/FormulaHighlighter.h"

#include <QHelpEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolTip>

#include <algorithm>
#include <string>

#include "engine/EquationSplitter.h"
#include "interaction/HintSet.h"
#include "interaction/ReadableColours.h"
#include "session/FormulaText.h"
#include "session/Session.h"

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

// Each kind's colour on a light ground; on another ground the nearest
// colour of the same hue that reads on it.
constexpr QRgb kNumberColour = 0xa0522d;
constexpr QRgb kOperatorColour = 0x8b008b;
constexpr QRgb kConstantColour = 0x006400;
constexpr QRgb kVariableColour = 0x1f3fa8;
constexpr QRgb kUnknownColour = 0xff0000;
// How far the result name's ground is tinted from the editor's base colour
// towards the variables' colour.
constexpr double kResultTint = 0.15;

QTextCharFormat Coloured(const QColor& ground, const QColor& colour, bool bold = false) {
    QTextCharFormat format;
    format.setForeground(ReadableOn(ground, colour));
    if (bold) format.setFontWeight(QFont::Bold);
    return format;
}

}  // namespace

FormulaHighlighter::Formats FormulaHighlighter::FormatsFor(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    Formats formats;
    formats[TokenSpan::Number] = Coloured(base, QColor(kNumberColour));
    formats[TokenSpan::Operator] = Coloured(base, QColor(kOperatorColour));
    formats[TokenSpan::Constant] = Coloured(base, QColor(kConstantColour));
    formats[TokenSpan::Variable] = Coloured(base, QColor(kVariableColour));
    formats[TokenSpan::Equals] =
        Coloured(base, palette.color(QPalette::Active, QPalette::Text), true);
    const QColor resultGround =
        Blended(base, ReadableOn(base, QColor(kVariableColour)), kResultTint);
    formats[TokenSpan::Result] = Coloured(resultGround, QColor(kVariableColour), true);
    formats[TokenSpan::Result].setBackground(resultGround);
    formats[TokenSpan::Unknown].setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    formats[TokenSpan::Unknown].setUnderlineColor(ReadableOn(base, QColor(kUnknownColour)));
    return formats;
}

FormulaHighlighter::FormulaHighlighter(QPlainTextEdit* memo, const Session& session)
    : QSyntaxHighlighter(memo),
      memo_(memo),
      session_(session),
      constants_(session.constants()),
      variables_(session.variables()),
      formats_(FormatsFor(memo->palette())) {
    // Connected before the highlighter's own reaction to a change, so that
    // the text is cut afresh before any line of it is coloured.
    connect(memo->document(), &QTextDocument::contentsChange, this,
            &FormulaHighlighter::textChanged);
    setDocument(memo->document());
    memo->viewport()->installEventFilter(this);
    memo->installEventFilter(this);
    // Scrolling, and any other change of what the editor shows; what it
    // shows is known once it has been laid out again.
    viewFollower_ = connect(memo, &QPlainTextEdit::updateRequest, this, [this] {
        if (followQueued_ || document()->characterCount() - 1 <= kLongestHighlighted) return;
        followQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                followQueued_ = false;
                followView();
            },
            Qt::QueuedConnection);
    });
    // A name added, removed or renamed changes how the formula is cut.
    connect(&session, &Session::namesChanged, this, &FormulaHighlighter::namesChanged);
}

// The base class takes the colours off the document, which lives on with
// the session; what that changes is no longer this object's concern. Taking
// them off makes the editor ask for an update, which must not reach this
// object's members once they are gone.
FormulaHighlighter::~FormulaHighlighter() {
    disconnect(viewFollower_);
    if (document()) disconnect(document(), nullptr, this, nullptr);
}

void FormulaHighlighter::followPalette() {
    Formats formats = FormatsFor(memo_->palette());
    if (formats == formats_) return;
    formats_ = std::move(formats);
    if (active_) rehighlight();
}

void FormulaHighlighter::setActive(bool active) {
    active_ = active;
    stale_ = true;
    rehighlight();
}

void FormulaHighlighter::namesChanged(Document table) {
    (table == Document::Constants ? constants_ : variables_) = session_.table(table);
    stale_ = true;
    if (active_) rehighlight();
}

void FormulaHighlighter::ensureAnalysed() {
    if (stale_) analyse();
}

// A long text is cut only around what the editor shows, from the start of
// an equation to the end of one, so that its equations are cut as in the
// whole text.
void FormulaHighlighter::analyse() {
    stale_ = false;
    spans_.clear();
    const QString text = EditorText(document());
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size()));
    std::size_t begin = 0;
    std::size_t end = units.size();
    int firstEquation = 1;
    if (text.size() > kLongestHighlighted) {
        const int margin = std::max(0, (kLongestHighlighted - (shownTo_ - shownFrom_)) / 2);
        const auto from = static_cast<std::size_t>(std::max(0, shownFrom_ - margin));
        const auto to = std::min(units.size(), static_cast<std::size_t>(shownTo_ + margin));
        begin = EquationBoundaryAtOrBefore(units, from);
        end = EquationBoundaryAtOrAfter(units, to);
        windowBegin_ = static_cast<int>(from);
        windowEnd_ = static_cast<int>(to);
        // Equations this long would slow typing down as a long text would.
        if (end - begin > 2 * std::size_t{kLongestHighlighted}) return;
        firstEquation = CountEquationsEndingBy(units, begin) + 1;
    }
    windowBegin_ = static_cast<int>(begin);
    windowEnd_ = static_cast<int>(end);
    const Utf8Text utf8 = ToUtf8(text.mid(windowBegin_, windowEnd_ - windowBegin_));
    for (const TokenSpan& token :
         ClassifyFormula(utf8.bytes, indexes_.follow(constants_, variables_), firstEquation)) {
        // An unknown word is underlined where a run's outcome places it.
        const std::size_t begin = token.failure ? token.failure->place->begin : token.begin;
        const std::size_t end = token.failure ? token.failure->place->end : token.end;
        spans_.push_back(
            {token.kind, windowBegin_ + utf8.positions[begin], windowBegin_ + utf8.positions[end],
             token.failure ? QString::fromStdString(token.failure->message) : QString()});
    }
}

// The editor has scrolled or changed size: a long text is cut again where
// it now shows what lies beyond the part last cut.
void FormulaHighlighter::followView() {
    if (!active_ || document()->characterCount() - 1 <= kLongestHighlighted) return;
    const QRect area = memo_->viewport()->rect();
    shownFrom_ = memo_->cursorForPosition(area.topLeft()).position();
    shownTo_ = memo_->cursorForPosition(area.bottomRight()).position();
    if (!stale_ && windowBegin_ <= shownFrom_ && shownTo_ <= windowEnd_) return;
    analyse();
    for (QTextBlock block = document()->findBlock(windowBegin_);
         block.isValid() && block.position() <= windowEnd_; block = block.next()) {
        rehighlightBlock(block);
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
    for (QTextBlock block = document()->findBlock(windowBegin_);
         block.isValid() && block.position() <= windowEnd_; block = block.next()) {
        if (block.userState() != signature(block.position(), block.length() - 1)) {
            rehighlightBlock(block);
        }
    }
    followView();
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
    // A new application palette, too, reaches the editor as a change of its
    // own palette, once it has taken it up.
    if (event->type() == QEvent::PaletteChange && watched == memo_) {
        followPalette();
        return false;
    }
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
