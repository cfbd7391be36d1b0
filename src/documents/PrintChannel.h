#pragma once

#include <QString>
#include <QStringView>

#include "documents/PrintSurface.h"

namespace quantaro {

// A line-oriented text stream over a print surface. It keeps the current
// position, cuts text that is wider than the page, and starts new pages by
// itself. LF ends a line, CR is ignored, a tab moves to the next tab stop and
// a form feed starts a new page.
class PrintChannel {
  public:
    explicit PrintChannel(PrintSurface& surface);

    void write(QStringView text);
    // The text followed by a line break.
    void writeLine(QStringView text = {});

  private:
    void writePiece(QStringView piece);
    qsizetype fittingLength(QStringView piece) const;
    void endLine();
    void tab();
    void pageBreak();
    void draw(const QString& text);

    PrintSurface& surface_;
    const int pageWidth_;
    const int pageHeight_;
    const int metricHeight_;
    const int tabWidth_;

    int x_ = 0;
    int y_ = 0;
    bool lineHasText_ = false;
    int tallestOnLine_ = 0;
    // Page breaks not yet passed to the surface: a page is started only when
    // something is drawn on it, so that a document never ends on a blank page.
    int pendingPages_ = 0;
};

}  // namespace quantaro
