#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

#include <array>
#include <cstdint>
#include <vector>

#include "documents/DocumentState.h"
#include "engine/EngineTables.h"
#include "engine/FormulaTokens.h"
#include "engine/NameTable.h"

class QHelpEvent;
class QPalette;
class QPlainTextEdit;

namespace quantaro {

class Session;

// Colours the formula editor's tokens as a run would cut them with the
// session's current tables, and underlines in red each word that no run
// could cut; resting the pointer on such a word shows the run's message.
// Only the layout's formats change: the text, the formula stacks, the
// changed flags and the editor's revision are never touched. The colours
// are chosen to read on the editor's base colour and follow its palette.
class FormulaHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

  public:
    FormulaHighlighter(QPlainTextEdit* memo, const Session& session);
    ~FormulaHighlighter() override;

    // Switched off, the editor shows plain text.
    void setActive(bool active);
    bool isActive() const { return active_; }

    // Colours the text again with a table's new names; changed values need
    // nothing.
    void namesChanged(Document table);

    // The run's message for the unknown word at a text position, or empty.
    QString messageAt(int position);

    // A formula longer than this many characters is coloured only around
    // what the editor shows: cutting it whole on every key stroke would slow
    // typing down.
    static constexpr int kLongestHighlighted = 100000;

  protected:
    void highlightBlock(const QString& text) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A token's place in the editor's text, in characters.
    struct Span {
        TokenSpan::Kind kind;
        int begin;
        int end;
        QString message;
    };

    void textChanged();
    void analyse();
    void ensureAnalysed();
    void followView();
    // The spans that overlap the characters from..to, as indices into spans_.
    std::pair<std::size_t, std::size_t> spansOverlapping(int from, int to) const;
    int signature(int blockPosition, int blockLength) const;
    void refreshStaleBlocks();
    bool showMessage(QHelpEvent* event);

    using Formats = std::array<QTextCharFormat, TokenSpan::Unknown + 1>;
    // The formats of the token kinds, readable on the palette's base colour.
    static Formats FormatsFor(const QPalette& palette);
    void followPalette();

    QPlainTextEdit* memo_;
    QMetaObject::Connection viewFollower_;  // the editor's updates, to follow what it shows
    const Session& session_;
    // The names the text is cut with: copies of the session's tables, taken
    // whenever their names change, and the indexes of their names.
    NameTable constants_;
    NameTable variables_;
    TableIndexes indexes_;
    bool active_ = true;
    bool stale_ = true;
    bool refreshQueued_ = false;
    bool followQueued_ = false;
    // The characters the editor last showed, and those the spans cover.
    int shownFrom_ = 0;
    int shownTo_ = 0;
    int windowBegin_ = 0;
    int windowEnd_ = 0;
    std::vector<Span> spans_;
    Formats formats_;
};

}  // namespace quantaro
