#include "documents/PrintDocument.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPoint>
#include <QPrinter>

namespace quantaro {
namespace {

constexpr int kPrintPointSize = 10;

// A printer page seen through a painter already begun on it.
class PrinterSurface final : public PrintSurface {
  public:
    PrinterSurface(QPrinter& printer, QPainter& painter)
        : printer_(printer), painter_(painter), metrics_(painter.fontMetrics()) {}

    int pageWidth() const override { return printer_.width(); }
    int pageHeight() const override { return printer_.height(); }

    TextSize textSize(const QString& text) const override {
        return {metrics_.horizontalAdvance(text), metrics_.height()};
    }
    int metricHeight() const override { return metrics_.height(); }
    int averageCharWidth() const override { return metrics_.averageCharWidth(); }

    void drawText(int x, int y, const QString& text) override {
        painter_.drawText(QPoint(x, y + metrics_.ascent()), text);
    }
    void newPage() override {
        if (!printer_.newPage()) pageFailed_ = true;
    }

    bool pageFailed() const { return pageFailed_; }

  private:
    QPrinter& printer_;
    QPainter& painter_;
    QFontMetrics metrics_;
    bool pageFailed_ = false;
};

QFont PrintFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(kPrintPointSize);
    return font;
}

}  // namespace

std::optional<QString> PrintDocument(QPrinter& printer,
                                     const std::function<void(PrintChannel&)>& printout) {
    QPainter painter;
    if (!painter.begin(&printer)) return QString::fromLatin1(kPrintStartFailed);
    painter.setFont(PrintFont());

    PrinterSurface surface(printer, painter);
    PrintChannel channel(surface);
    printout(channel);

    const bool ended = painter.end();
    if (surface.pageFailed()) return QString::fromLatin1(kPrintPageFailed);
    if (!ended) return QString::fromLatin1(kPrintEndFailed);
    return std::nullopt;
}

}  // namespace quantaro
