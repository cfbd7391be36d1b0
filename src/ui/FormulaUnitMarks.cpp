#include "ui/FormulaUnitMarks.h"

#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QToolTip>

#include <algorithm>

#include "engine/EquationSplitter.h"
#include "engine/Worksheet.h"
#include "interaction/HintSet.h"
#include "interaction/ReadableColours.h"
#include "session/FormulaText.h"
#include "session/Session.h"
#include "session/WorksheetUnits.h"

namespace quantaro {
namespace {

constexpr QRgb kDimensionColour = 0xd00000;
constexpr QRgb kScaleColour = 0xd08000;

QTextCharFormat MarkFormat(UnitFinding::Kind kind, const QPalette& palette) {
    const QColor ground = palette.color(QPalette::Active, QPalette::Base);
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(ReadableOn(
        ground, QColor(kind == UnitFinding::Dimension ? kDimensionColour : kScaleColour)));
    return format;
}

}  // namespace

FormulaUnitMarks::FormulaUnitMarks(QPlainTextEdit* memo, const Session& session)
    : QObject(memo), memo_(memo), session_(session) {
    rest_.setSingleShot(true);
    rest_.setInterval(kRestMilliseconds);
    connect(&rest_, &QTimer::timeout, this, &FormulaUnitMarks::checkNow);
    connect(&session, &Session::formulaChanged, this, &FormulaUnitMarks::schedule);
    connect(&session, &Session::formulaReplaced, this, &FormulaUnitMarks::schedule);
    connect(&session, &Session::namesChanged, this, &FormulaUnitMarks::schedule);
    connect(&session, &Session::valuesChanged, this, &FormulaUnitMarks::schedule);
    connect(&session, &Session::angleUnitChanged, this, &FormulaUnitMarks::schedule);
    connect(memo, &QPlainTextEdit::updateRequest, this, &FormulaUnitMarks::viewChanged);
    memo->viewport()->installEventFilter(this);
    memo->installEventFilter(this);
    schedule();
}

void FormulaUnitMarks::setActive(bool active) {
    active_ = active;
    if (active) {
        schedule();
        return;
    }
    rest_.stop();
    reasons_.clear();
    memo_->setExtraSelections({});
}

void FormulaUnitMarks::schedule() {
    if (active_) rest_.start();
}

// A long formula scrolled beyond the part last checked is checked again
// there once it rests.
void FormulaUnitMarks::viewChanged() {
    if (!active_ || rest_.isActive() || memo_->document()->characterCount() <= kLongestChecked)
        return;
    const QRect area = memo_->viewport()->rect();
    const int from = memo_->cursorForPosition(area.topLeft()).position();
    const int to = memo_->cursorForPosition(area.bottomRight()).position();
    if (from < checkedFrom_ || to > checkedTo_) schedule();
}

void FormulaUnitMarks::checkNow() {
    rest_.stop();
    if (!active_) return;
    UnitLibrary* units = WorksheetUnits(session_);
    if (!units) return;
    // The tables and the angle unit as a run takes them; the formula is the
    // part checked.
    Worksheet sheet;
    sheet.constants = session_.constants();
    sheet.variables = session_.variables();
    sheet.angle = session_.angleUnit();
    const QString text = EditorText(memo_->document());
    int from = 0;
    int to = static_cast<int>(text.size());
    if (text.size() > kLongestChecked) {
        const std::u16string_view chars(reinterpret_cast<const char16_t*>(text.utf16()),
                                        static_cast<std::size_t>(text.size()));
        const QRect area = memo_->viewport()->rect();
        const int shownFrom = memo_->cursorForPosition(area.topLeft()).position();
        const int shownTo = memo_->cursorForPosition(area.bottomRight()).position();
        const int margin = kMarginChecked;
        from = static_cast<int>(EquationBoundaryAtOrBefore(
            chars, static_cast<std::size_t>(std::max(0, shownFrom - margin))));
        to = static_cast<int>(EquationBoundaryAtOrAfter(
            chars, std::min(chars.size(), static_cast<std::size_t>(shownTo + margin))));
        // An equation this long is left unmarked, as it is left uncoloured.
        if (to - from > 2 * kLongestChecked) to = from;
    }
    checkedFrom_ = from;
    checkedTo_ = to;
    sheet.setFormula(WithCrLf(text.mid(from, to - from)).toStdString());
    const UnitReport report = CheckUnits(sheet, *units);
    const std::vector<int> positions = EditorPositions(sheet.formula());

    QList<QTextEdit::ExtraSelection> marks;
    reasons_.clear();
    for (const UnitFinding& finding : report.findings) {
        if (finding.kind == UnitFinding::NotUnderstood) continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(memo_->document());
        mark.cursor.setPosition(from + positions[finding.at]);
        mark.cursor.setPosition(from + positions[finding.at + finding.length],
                                QTextCursor::KeepAnchor);
        mark.format = MarkFormat(finding.kind, memo_->palette());
        marks.append(mark);
        reasons_.push_back(QString::fromStdString(FindingLine(finding)));
    }
    memo_->setExtraSelections(marks);
}

int FormulaUnitMarks::markCount() const {
    return static_cast<int>(reasons_.size());
}

QString FormulaUnitMarks::reasonAt(int position) const {
    const QList<QTextEdit::ExtraSelection> marks = memo_->extraSelections();
    for (qsizetype k = 0; k < marks.size() && k < static_cast<qsizetype>(reasons_.size()); ++k) {
        const QTextCursor& cursor = marks[k].cursor;
        if (cursor.selectionStart() <= position && position < cursor.selectionEnd())
            return reasons_[static_cast<std::size_t>(k)];
    }
    return {};
}

bool FormulaUnitMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::PaletteChange && watched == memo_) {
        schedule();
        return false;
    }
    if (event->type() != QEvent::ToolTip || watched != memo_->viewport()) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    const QTextCursor cursor = memo_->cursorForPosition(help->pos());
    int position = cursor.position();
    if (help->pos().x() < memo_->cursorRect(cursor).left()) --position;
    const QString reason = reasonAt(position);
    if (reason.isEmpty()) return false;
    QToolTip::showText(help->globalPos(), ToolTipText(reason), memo_->viewport());
    return true;
}

}  // namespace quantaro
