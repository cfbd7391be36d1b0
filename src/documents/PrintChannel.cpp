#include "documents/PrintChannel.h"

#include <algorithm>

namespace quantaro {
namespace {

constexpr int kTabStopChars = 8;
constexpr int kLineGap = 2;

bool IsControl(QChar c) {
    return c == u'\n' || c == u'\r' || c == u'\t' || c == u'\f';
}

}  // namespace

PrintChannel::PrintChannel(PrintSurface& surface)
    : surface_(surface),
      pageWidth_(surface.pageWidth()),
      pageHeight_(surface.pageHeight()),
      metricHeight_(surface.metricHeight()),
      tabWidth_(kTabStopChars * std::max(1, surface.averageCharWidth())) {}

void PrintChannel::write(QStringView text) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!IsControl(c)) continue;
        writePiece(text.sliced(start, i - start));
        start = i + 1;
        if (c == u'\n') {
            endLine();
        } else if (c == u'\t') {
            tab();
        } else if (c == u'\f') {
            pageBreak();
        }
    }
    writePiece(text.sliced(start));
}

void PrintChannel::writeLine(QStringView text) {
    write(text);
    endLine();
}

void PrintChannel::writePiece(QStringView piece) {
    while (!piece.isEmpty()) {
        qsizetype length = fittingLength(piece);
        if (length == 0) {
            if (x_ > 0) {
                endLine();
                continue;
            }
            // Not even one character fits on an empty line: draw one anyway,
            // or the text would never be used up.
            length = (piece.size() > 1 && piece[0].isHighSurrogate()) ? 2 : 1;
        }
        const QString part = piece.first(length).toString();
        const TextSize size = surface_.textSize(part);
        draw(part);
        lineHasText_ = true;
        tallestOnLine_ = std::max(tallestOnLine_, size.height);
        x_ += size.width;
        piece = piece.sliced(length);
        // The rest of a cut piece continues on a new line.
        if (!piece.isEmpty()) endLine();
    }
}

qsizetype PrintChannel::fittingLength(QStringView piece) const {
    const auto fits = [&](qsizetype length) {
        return x_ + surface_.textSize(piece.first(length).toString()).width <= pageWidth_;
    };
    if (fits(piece.size())) return piece.size();
    // Widths grow with the length, so the longest fitting prefix is found by
    // bisection: fits(low) holds and fits(high) does not.
    qsizetype low = 0;
    qsizetype high = piece.size();
    while (high - low > 1) {
        const qsizetype middle = low + (high - low) / 2;
        (fits(middle) ? low : high) = middle;
    }
    // Never separate the halves of a surrogate pair.
    if (low > 0 && piece[low - 1].isHighSurrogate() && piece[low].isLowSurrogate()) --low;
    return low;
}

void PrintChannel::endLine() {
    const bool hadText = lineHasText_;
    const int lineHeight = hadText ? tallestOnLine_ + kLineGap : metricHeight_;
    x_ = 0;
    y_ += lineHeight;
    lineHasText_ = false;
    tallestOnLine_ = 0;
    const int lastTop = hadText ? pageHeight_ - 2 * lineHeight : pageHeight_;
    if (y_ > lastTop) pageBreak();
}

void PrintChannel::tab() {
    x_ = (x_ / tabWidth_ + 1) * tabWidth_;
    if (x_ > pageWidth_) endLine();
}

void PrintChannel::pageBreak() {
    x_ = 0;
    y_ = 0;
    lineHasText_ = false;
    tallestOnLine_ = 0;
    ++pendingPages_;
}

void PrintChannel::draw(const QString& text) {
    for (; pendingPages_ > 0; --pendingPages_) surface_.newPage();
    surface_.drawText(x_, y_, text);
}

}  // namespace quantaro
