#pragma once

#include <QString>

namespace quantaro {

struct TextSize {
    int width = 0;
    int height = 0;
};

// What the print channel needs from a page: the printable area and the font's
// metrics in device units, drawing, and page breaks. The surface keeps one
// font for the whole document.
class PrintSurface {
  public:
    virtual ~PrintSurface() = default;

    // Size of the printable area; (0, 0) is its top-left corner.
    virtual int pageWidth() const = 0;
    virtual int pageHeight() const = 0;

    virtual TextSize textSize(const QString& text) const = 0;
    // The full character height of the font, used for lines with no text.
    virtual int metricHeight() const = 0;
    virtual int averageCharWidth() const = 0;

    // y is the top of the line, not the baseline.
    virtual void drawText(int x, int y, const QString& text) = 0;
    virtual void newPage() = 0;
};

}  // namespace quantaro
